#pragma once
// Text rules shared by every subsystem: presence, name order, case-insensitive equality.
// All text is Windows-1252 bytes.

#include <initializer_list>
#include <string>
#include <string_view>

namespace mv {

// A text is present when its first character is above the blank: not empty and not
// starting with a blank or a control character. Every "sorts after N blanks" test uses it.
bool isPresent(std::string_view text) noexcept;

// The one name order: case-insensitive, accented letters beside their base letters
// (Émile with Emile). compareNamesPrimary() ignores everything but that; compareNames()
// breaks ties by the exact bytes, so a sort is stable and deterministic.
int compareNamesPrimary(std::string_view a, std::string_view b) noexcept;
int compareNames(std::string_view a, std::string_view b) noexcept;
// A text folded as the name order sees it: two folded texts compared as plain bytes order
// like compareNamesPrimary() on the originals. Sorting many names folds each once.
std::string foldForNameOrder(std::string_view text);
// The same, added to the end of `out` (many texts folded into one buffer).
void appendFoldedForNameOrder(std::string& out, std::string_view text);

// Case-insensitive equality of whole texts (ASCII and Windows-1252 letters).
bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept;
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) noexcept;

// Fills the "%s" and "%d" of one of the program's message or file formats, in order, with
// texts already formatted. Used where a value must go in unchanged whatever it holds
// (a path or a name with a '%' in it).
std::string fillFormat(std::string_view format, std::initializer_list<std::string_view> args);

// Upper and lower case of one Windows-1252 byte.
unsigned char upperCp1252(unsigned char c) noexcept;
unsigned char lowerCp1252(unsigned char c) noexcept;

// The extension test used by New, Save As and Backup: ".adr" without regard to case.
bool hasExtensionIgnoreCase(std::string_view fileName, std::string_view dotExt) noexcept;

}  // namespace mv
