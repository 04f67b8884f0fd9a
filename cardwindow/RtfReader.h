#pragma once
// Reads the small RTF subset this program writes for its summary (paragraphs, tabs,
// fonts, sizes, colours, bold, italic, underline, escaped characters) into runs of text
// with their attributes, so the summary view shows exactly what the file holds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

struct RtfColor {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const RtfColor&) const = default;
};

struct RtfFormat {
  int font = 0;        // index into the font table
  int halfPoints = 24; // \fs: size in half points
  int color = 0;       // index into the colour table
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const RtfFormat&) const = default;
};

// One stretch of text with one format. Paragraph ends are '\n', tabs '\t'; text is
// Windows-1252 bytes.
struct RtfRun {
  std::string text;
  RtfFormat format;
  bool operator==(const RtfRun&) const = default;
};

struct RtfDocument {
  std::vector<RtfRun> runs;
  std::vector<RtfColor> colors;     // the colour table; empty when the text has none
  std::vector<std::string> fonts;   // font names by index (missing indices are empty)

  // The plain text, every run after the other.
  std::string text() const;
  // Format of the character at a position of text(); the last run's for positions past
  // the end (the default format for an empty document).
  RtfFormat formatAt(size_t position) const;
  // The colour of a table index; black when the index is not in the table.
  RtfColor color(int index) const;
};

RtfDocument readRtf(std::string_view rtf);

// What a click on the summary at a character position asks for.
struct SummaryLink {
  enum class Kind { None, Command, Web, Email };
  Kind kind = Kind::None;
  int command = 0;    // Kind::Command: the window command to send
  std::string text;   // the underlined text
  size_t start = 0;   // the link's first character in the document's text
  bool operator==(const SummaryLink&) const = default;
};

// The link rule: the underlined characters around the position (at most 50 each way)
// are the link; a number of up to five characters right after it is the command to
// send; without one, a text beginning with "http" is a web address and a text holding
// "@" an e-mail address.
SummaryLink linkAt(const RtfDocument& document, size_t position);

// True when the character at the position is underlined (the hand cursor).
bool isLinkCharacter(const RtfDocument& document, size_t position);

}  // namespace mv
