#pragma once
// The escapers every writer of RTF or of XML and HTML text goes through, so that a value
// such as "{x}" or "<b>" comes out as typed in the summary, the letters, the web pages
// and the MIME package alike.

#include <string>
#include <string_view>

namespace mv {

// What an escaper does with a byte above 127.
enum class HighBytes {
  Kept,     // as it is: the document's own code page says what it means
  Escaped,  // as a reference to its Windows-1252 character (see each escaper)
};

// Text for RTF: backslash and braces escaped, so that no value opens a group or starts a
// control word. Escaped writes a byte above 127 as \'hh (lower-case hex).
std::string rtfEscape(std::string_view cp1252, HighBytes high);

// Text or an attribute value for XML and HTML: &, <, > and " as entities. Escaped writes a
// byte above 127 as the numeric character reference of its Windows-1252 character (for a
// page that declares iso-8859-1, which does not hold every Windows-1252 character); a
// byte Windows-1252 leaves undefined becomes U+FFFD.
std::string xmlEscape(std::string_view text, HighBytes high);

}  // namespace mv
