#include "cardwindow/RtfReader.h"

#include "platform/Text.h"

#include <cctype>
#include <cstdlib>

namespace mv {
namespace {

// What the group being read contributes to: ordinary text, the font table, the colour
// table, or an ignored destination (\* groups and the tables' unknown neighbours).
enum class Destination { Text, FontTable, ColorTable, Skip };

struct GroupState {
  RtfFormat format;
  Destination destination = Destination::Text;
};

// A small state machine over the bytes: '{' pushes a group state, '}' pops it, '\'
// starts a control word or symbol, everything else is text of the current destination.
// Unlike a full RTF reader it knows no Unicode (\u), pictures or tables: the summary
// never holds them, and unknown control words are simply ignored.
class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  RtfDocument read() {
    stack_.push_back(GroupState{});
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      switch (c) {
        case '{':
          stack_.push_back(stack_.back());
          break;
        case '}':
          endGroup();
          break;
        case '\\':
          controlWord();
          break;
        case '\r':
        case '\n':
          break;  // line ends in RTF source carry no text
        default:
          character(c);
      }
    }
    return std::move(doc_);
  }

 private:
  GroupState& state() { return stack_.back(); }

  void endGroup() {
    if (state().destination == Destination::FontTable && !fontName_.empty()) finishFont();
    if (stack_.size() > 1) stack_.pop_back();
  }

  void character(char c) {
    switch (state().destination) {
      case Destination::Text:
        append(std::string(1, c));
        break;
      case Destination::FontTable:
        if (c == ';') {
          finishFont();
        } else {
          fontName_ += c;
        }
        break;
      case Destination::ColorTable:
        if (c == ';') {
          doc_.colors.push_back(color_);
          color_ = RtfColor{};
        }
        break;
      case Destination::Skip:
        break;
    }
  }

  void finishFont() {
    if (currentFont_ >= 0) {
      if (doc_.fonts.size() <= static_cast<size_t>(currentFont_)) {
        doc_.fonts.resize(static_cast<size_t>(currentFont_) + 1);
      }
      std::string name = fontName_;
      while (!name.empty() && name.front() == ' ') name.erase(name.begin());
      doc_.fonts[static_cast<size_t>(currentFont_)] = name;
    }
    fontName_.clear();
  }

  void append(const std::string& text) {
    if (!doc_.runs.empty() && doc_.runs.back().format == state().format) {
      doc_.runs.back().text += text;
    } else {
      doc_.runs.push_back(RtfRun{text, state().format});
    }
  }

  void controlWord() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++pos_;
      controlSymbol(c);
      return;
    }
    std::string word;
    while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) {
      word += in_[pos_++];
    }
    bool hasParam = false;
    bool negative = false;
    int param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
      hasParam = true;
      param = param * 10 + (in_[pos_++] - '0');
      if (param > 1000000) param = 1000000;  // a hostile number must not overflow
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting blank
    apply(word, hasParam, param);
  }

  void controlSymbol(char c) {
    if (c == '\'') {
      // \'hh: one byte by its hexadecimal value.
      if (pos_ + 2 <= in_.size()) {
        const std::string hex(in_.substr(pos_, 2));
        char* end = nullptr;
        const long value = std::strtol(hex.c_str(), &end, 16);
        if (end == hex.c_str() + 2) {
          pos_ += 2;
          character(static_cast<char>(value));
        }
      }
      return;
    }
    if (c == '*') {
      state().destination = Destination::Skip;
      return;
    }
    if (c == '~') {
      character(' ');
      return;
    }
    if (c == '\n' || c == '\r') {
      character('\n');  // "\" before a line end is a paragraph mark
      return;
    }
    character(c);  // \\ \{ \} and anything else stand for themselves
  }

  void apply(const std::string& word, bool hasParam, int param) {
    auto& f = state().format;
    const bool on = !hasParam || param != 0;
    if (word == "par" || word == "line") {
      if (state().destination == Destination::Text) append("\n");
    } else if (word == "tab") {
      if (state().destination == Destination::Text) append("\t");
    } else if (word == "plain") {
      const int font = f.font;
      f = RtfFormat{};
      f.font = defaultFont_ >= 0 ? defaultFont_ : font;
    } else if (word == "deff") {
      defaultFont_ = param;
    } else if (word == "f") {
      if (state().destination == Destination::FontTable) {
        if (!fontName_.empty()) finishFont();
        currentFont_ = param;
      } else {
        f.font = param;
      }
    } else if (word == "fs") {
      f.halfPoints = hasParam ? param : 24;
    } else if (word == "cf") {
      f.color = param;
    } else if (word == "b") {
      f.bold = on;
    } else if (word == "i") {
      f.italic = on;
    } else if (word == "ul") {
      f.underline = on;
    } else if (word == "ulnone") {
      f.underline = false;
    } else if (word == "fonttbl") {
      state().destination = Destination::FontTable;
    } else if (word == "colortbl") {
      state().destination = Destination::ColorTable;
    } else if (word == "red") {
      color_.red = param;
    } else if (word == "green") {
      color_.green = param;
    } else if (word == "blue") {
      color_.blue = param;
    } else if (word == "stylesheet" || word == "info" || word == "pict" || word == "header" ||
               word == "footer") {
      state().destination = Destination::Skip;
    }
    // Everything else (\rtf, \ansi, \pard, \deflang, \fswiss...) changes nothing shown.
  }

  std::string_view in_;
  size_t pos_ = 0;
  std::vector<GroupState> stack_;
  RtfDocument doc_;
  RtfColor color_;
  std::string fontName_;
  int currentFont_ = -1;
  int defaultFont_ = -1;
};

constexpr size_t kMaxLinkReach = 50;
constexpr size_t kCommandChars = 5;

}  // namespace

std::string RtfDocument::text() const {
  std::string out;
  for (const auto& run : runs) out += run.text;
  return out;
}

RtfFormat RtfDocument::formatAt(size_t position) const {
  size_t start = 0;
  for (const auto& run : runs) {
    if (position < start + run.text.size()) return run.format;
    start += run.text.size();
  }
  return runs.empty() ? RtfFormat{} : runs.back().format;
}

RtfColor RtfDocument::color(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= colors.size()) return RtfColor{};
  return colors[static_cast<size_t>(index)];
}

RtfDocument readRtf(std::string_view rtf) { return Reader(rtf).read(); }

bool isLinkCharacter(const RtfDocument& document, size_t position) {
  size_t start = 0;
  for (const auto& run : document.runs) {
    if (position < start + run.text.size()) return run.format.underline;
    start += run.text.size();
  }
  return false;
}

SummaryLink linkAt(const RtfDocument& document, size_t position) {
  const std::string text = document.text();
  if (position >= text.size()) return {};
  std::vector<bool> underlined(text.size(), false);
  size_t at = 0;
  for (const auto& run : document.runs) {
    for (size_t i = 0; i < run.text.size(); ++i) underlined[at + i] = run.format.underline;
    at += run.text.size();
  }
  if (!underlined[position]) return {};

  size_t first = position;
  while (first > 0 && position - first < kMaxLinkReach && underlined[first - 1]) --first;
  size_t end = position + 1;
  while (end < text.size() && end - position < kMaxLinkReach && underlined[end]) ++end;

  SummaryLink link;
  link.text = text.substr(first, end - first);
  link.start = first;
  const std::string after = text.substr(end, kCommandChars);
  const long command = std::strtol(after.c_str(), nullptr, 10);
  if (command > 0) {
    link.kind = SummaryLink::Kind::Command;
    link.command = static_cast<int>(command);
  } else if (startsWithIgnoreCase(link.text, "http")) {
    link.kind = SummaryLink::Kind::Web;
  } else if (link.text.find('@') != std::string::npos) {
    link.kind = SummaryLink::Kind::Email;
  }
  return link;
}

}  // namespace mv
