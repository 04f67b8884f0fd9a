#include "exchange/Vcard.h"

#include "exchange/Csv.h"
#include "exchange/ImportSession.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"

#include <QStringDecoder>

#include <algorithm>

namespace mv::vcard {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "=41" is 'A', "=\r\n" a soft break; a '=' that starts no pair stays as it is.
std::string decodeQuotedPrintable(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (s[i] != '=') {
      out.push_back(s[i]);
      continue;
    }
    if (i + 1 < n && s[i + 1] == '\r') {
      i += i + 2 < n && s[i + 2] == '\n' ? 2 : 1;
      continue;
    }
    if (i + 1 < n && s[i + 1] == '\n') {
      ++i;
      continue;
    }
    const int hi = i + 1 < n ? hexDigit(s[i + 1]) : -1;
    const int lo = i + 2 < n ? hexDigit(s[i + 2]) : -1;
    if (hi < 0 || lo < 0) {
      if (i + 1 < n) out.push_back('=');  // a '=' at the very end is a soft break
      continue;
    }
    out.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return out;
}

// The value's bytes in the card's character set as Windows-1252. UTF-8 (the rule from
// 3.0 on, and what a value without CHARSET usually is) goes through the CSV import's
// conversion so that both count the characters that become '?' alike; bytes that are not
// UTF-8 are taken as Windows-1252, as older programs wrote them.
std::string toCp1252Value(const std::string& bytes, std::string_view charset, int& replaced) {
  const std::string cs = upper(charset);
  if (cs == "WINDOWS-1252" || cs == "CP1252" || cs == "ISO-8859-1" || cs == "LATIN1" ||
      cs == "US-ASCII" || cs == "ASCII")
    return bytes;
  std::string utf8 = bytes;
  if (!cs.empty() && cs != "UTF-8" && cs != "UTF8") {
    QStringDecoder decoder(cs.c_str());
    if (decoder.isValid()) {
      const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
      utf8 = text.toUtf8().toStdString();
    }
  }
  csv::DecodedText decoded = csv::decodeToCp1252(utf8);
  replaced += decoded.replaced;
  return std::move(decoded.text);
}

// Splits "GROUP.NAME;P=V;BARE:value" into a property, the value still raw.
bool splitLine(std::string_view line, Property& p, std::string& rawValue) {
  // The value starts at the first ':' outside a quoted parameter value.
  bool quoted = false;
  std::size_t colon = std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return false;
  std::string_view head = line.substr(0, colon);
  rawValue.assign(line.substr(colon + 1));
  std::vector<std::string_view> parts;
  quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= head.size(); ++i) {
    if (i < head.size() && head[i] == '"') quoted = !quoted;
    if (i == head.size() || (head[i] == ';' && !quoted)) {
      parts.push_back(head.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string_view name = trim(parts.front());
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos)
    name.remove_prefix(dot + 1);  // "item1.EMAIL": the group is of no use here
  p.name = upper(name);
  p.params.clear();
  for (std::size_t k = 1; k < parts.size(); ++k) {
    const std::string_view part = trim(parts[k]);
    if (part.empty()) continue;
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos) {
      p.params.emplace_back("TYPE", std::string(part));  // 2.1: "TEL;HOME;VOICE"
      continue;
    }
    std::string value(trim(part.substr(eq + 1)));
    std::erase(value, '"');
    p.params.emplace_back(upper(trim(part.substr(0, eq))), std::move(value));
  }
  return true;
}

// Whether a line's head (up to its first ':') marks it QUOTED-PRINTABLE.
bool isQuotedPrintableHead(std::string_view line, std::size_t colon) {
  return upper(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

// The logical lines of the file, unfolded. Each physical line is looked at once: a line
// folded many times before its ':' is not searched again from its start at every fold.
std::vector<std::string> unfold(std::string_view text) {
  std::vector<std::string> logical;
  bool softBreak = false;  // the line before was a QUOTED-PRINTABLE one ending in '='
  std::size_t colon = std::string::npos;  // in the current logical line, once found
  bool quotedPrintable = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    std::size_t searchFrom = 0;
    if (!logical.empty() && softBreak) {
      // The soft break goes; the next line is the value's continuation as it stands.
      logical.back().pop_back();
      searchFrom = logical.back().size();
      logical.back() += line;
    } else if (!logical.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t')) {
      searchFrom = logical.back().size();
      logical.back() += line.substr(1);
    } else if (line.empty()) {
      softBreak = false;
      continue;
    } else {
      logical.emplace_back(line);
      colon = std::string::npos;
      quotedPrintable = false;
    }
    const std::string& current = logical.back();
    if (colon == std::string::npos) {
      colon = current.find(':', searchFrom);
      if (colon != std::string::npos) quotedPrintable = isQuotedPrintableHead(current, colon);
    }
    softBreak = quotedPrintable && !current.empty() && current.back() == '=';
  }
  return logical;
}

// Phones write a byte-order mark before the first card, and some Windows programs write
// UTF-16 with one: the text as UTF-8 (or the legacy bytes it was), without the mark.
// `wide` says the file was UTF-16, so that no CHARSET in it is believed.
std::string vcardText(std::string_view bytes, bool& wide) {
  wide = false;
  const auto startsWith = [bytes](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  const bool little = startsWith("\xFF\xFE");
  if (!little && !startsWith("\xFE\xFF")) return std::string(bytes);
  wide = true;
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(little ? a | b << 8 : a << 8 | b));
  }
  return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()))
      .toUtf8()
      .toStdString();
}

// The value as Windows-1252 text, its escapes kept.
void decodeValue(Property& p, std::string raw, bool wide) {
  p.replaced = 0;
  if (equalsIgnoreCase(p.param("ENCODING"), "QUOTED-PRINTABLE") || p.hasType("quoted-printable"))
    raw = decodeQuotedPrintable(raw);
  p.value = toCp1252Value(raw, wide ? "UTF-8" : p.param("CHARSET"), p.replaced);
}

std::vector<std::string> splitEscaped(std::string_view value, char separator) {
  std::vector<std::string> out(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      out.back() += c;
      out.back() += value[++i];
    } else if (c == separator) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  for (std::string& s : out) s = unescape(s);
  return out;
}

// ----- mapping

struct Line {
  std::vector<std::string> values = std::vector<std::string>(kFieldCount);
  int leftOut = 0;
  std::uint32_t* filled = nullptr;  // the fields the property being mapped went into
  std::string& operator[](FieldId f) { return values[static_cast<std::size_t>(toInt(f))]; }
  void noteFilled(int field) {
    if (filled) *filled |= std::uint32_t{1} << field;
  }
  // Fills the first empty field of `fields`; a value with none left is counted.
  void fillFirstFree(std::initializer_list<FieldId> fields, const std::string& value) {
    if (value.empty()) return;
    for (FieldId f : fields) {
      if ((*this)[f].empty()) {
        (*this)[f] = value;
        noteFilled(toInt(f));
        return;
      }
    }
    ++leftOut;
  }
};

constexpr std::uint32_t bit(FieldId f) noexcept { return std::uint32_t{1} << toInt(f); }
constexpr std::uint32_t kNotesBit = std::uint32_t{1} << imp::kNotesField;

// A value written with line breaks goes into a one-line field with blanks between.
std::string oneLine(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out.push_back(s[i] == '\n' || s[i] == '\r' ? ' ' : s[i]);
  }
  return std::string(trim(out));
}

std::string at(const std::vector<std::string>& parts, std::size_t i) {
  return i < parts.size() ? oneLine(parts[i]) : std::string();
}

// "tel:+1-555-0100" is the number "+1-555-0100".
std::string telNumber(std::string_view value) {
  std::string v = oneLine(unescape(value));
  if (startsWithIgnoreCase(v, "tel:")) v.erase(0, 4);
  return v;
}

void mapTelephone(const Property& p, Line& line) {
  const std::string number = telNumber(p.value);
  if (number.empty()) return;
  if (p.hasType("fax")) return line.fillFirstFree({FieldId::Fax}, number);
  if (p.hasType("cell") || p.hasType("mobile") || p.hasType("iphone"))
    return line.fillFirstFree({FieldId::Mobile}, number);
  if (p.hasType("work")) return line.fillFirstFree({FieldId::Office, FieldId::Office2}, number);
  if (p.hasType("home")) return line.fillFirstFree({FieldId::Home, FieldId::Home2}, number);
  for (const char* other : {"pager", "video", "textphone", "modem", "car", "isdn", "bbs"}) {
    if (p.hasType(other)) {
      ++line.leftOut;
      return;
    }
  }
  // A number said to be neither home nor work (2.1 "TEL;VOICE", plain "TEL") takes the
  // first telephone field still free.
  line.fillFirstFree({FieldId::Home, FieldId::Office, FieldId::Home2, FieldId::Office2}, number);
}

// Notes keep their line breaks as the notes editor stores them: CR LF.
std::string notesText(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// ----- writing

std::string utf8(std::string_view cp1252) {
  return fromCp1252(cp1252).toUtf8().toStdString();
}

// A text value with its commas, semicolons, backslashes and line breaks escaped.
std::string escape(std::string_view cp1252) {
  std::string out;
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const char c = cp1252[i];
    if (c == '\\' || c == ',' || c == ';') {
      out += '\\';
      out += c;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < cp1252.size() && cp1252[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      out += c;
    }
  }
  return utf8(out);
}

// One content line, folded so that no line has more than 75 octets; a fold never splits
// a UTF-8 sequence.
void appendLine(std::string& out, std::string_view line) {
  constexpr std::size_t kMax = 75;
  std::size_t room = kMax;
  std::size_t i = 0;
  while (line.size() - i > room) {
    std::size_t cut = i + room;
    while (cut > i && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line, i, cut - i);
    out += "\r\n ";
    i = cut;
    room = kMax - 1;  // the blank that starts a continuation line counts
  }
  out.append(line, i);
  out += "\r\n";
}

}  // namespace

// ---------------------------------------------------------------------------------------

std::vector<std::string> Property::types() const {
  std::vector<std::string> out;
  for (const auto& [name, value] : params) {
    if (name != "TYPE") continue;
    for (std::string& t : splitEscaped(value, ',')) out.push_back(lower(trim(t)));
  }
  return out;
}

bool Property::hasType(std::string_view type) const {
  const std::vector<std::string> all = types();
  return std::find(all.begin(), all.end(), type) != all.end();
}

std::string Property::param(std::string_view name) const {
  for (const auto& [n, v] : params)
    if (n == name) return v;
  return {};
}

const Property* Card::first(std::string_view name) const {
  for (const Property& p : properties)
    if (p.name == name) return &p;
  return nullptr;
}

std::string unescape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out.push_back(value[i]);
      continue;
    }
    const char next = value[++i];
    if (next == 'n' || next == 'N')
      out.push_back('\n');
    else
      out.push_back(next);
  }
  return out;
}

std::vector<std::string> components(std::string_view value) { return splitEscaped(value, ';'); }
std::vector<std::string> listItems(std::string_view value) { return splitEscaped(value, ','); }

std::vector<Card> parseCards(std::string_view bytes) {
  std::vector<Card> cards;
  int depth = 0;
  Property p;
  std::string raw;
  bool wide = false;
  const std::string text = vcardText(bytes, wide);
  for (const std::string& line : unfold(text)) {
    if (!splitLine(line, p, raw)) continue;
    const std::string value = upper(trim(raw));
    if (p.name == "BEGIN" && value == "VCARD") {
      if (depth++ == 0) cards.emplace_back();
      continue;
    }
    if (p.name == "END" && value == "VCARD") {
      if (depth > 0) --depth;
      continue;
    }
    if (depth != 1) continue;
    decodeValue(p, raw, wide);
    p.line = line;
    cards.back().properties.push_back(p);
  }
  return cards;
}

std::vector<std::string> cardValues(const Card& card, int& leftOut,
                                    std::vector<std::uint32_t>* filled) {
  Line line;
  if (filled) filled->assign(card.properties.size(), 0);
  const auto maskOf = [&](const Property* p) -> std::uint32_t* {
    return filled ? &(*filled)[static_cast<std::size_t>(p - card.properties.data())] : nullptr;
  };
  bool haveName = false;
  if (const Property* n = card.first("N")) {
    const std::vector<std::string> parts = components(n->value);
    line[FieldId::Last] = at(parts, 0);
    line[FieldId::First] = at(parts, 1);
    line[FieldId::MrMs] = at(parts, 3);
    haveName = !line[FieldId::Last].empty() || !line[FieldId::First].empty();
    if (std::uint32_t* m = maskOf(n)) *m = bit(FieldId::Last) | bit(FieldId::First) | bit(FieldId::MrMs);
  }
  const Property* adr = nullptr;
  const Property* categories = nullptr;
  int adrCount = 0;
  bool org = false;
  for (const Property& p : card.properties) {
    const std::string& name = p.name;
    line.filled = maskOf(&p);
    if (name == "ORG") {
      if (!line[FieldId::Company].empty()) continue;
      const std::vector<std::string> parts = components(p.value);
      line[FieldId::Company] = at(parts, 0);
      line[FieldId::Dept] = at(parts, 1);
      line.noteFilled(toInt(FieldId::Company));
      line.noteFilled(toInt(FieldId::Dept));
    } else if (name == "TITLE") {
      line.fillFirstFree({FieldId::Title}, oneLine(unescape(p.value)));
    } else if (name == "ADR") {
      ++adrCount;
      if (!adr || (!adr->hasType("work") && p.hasType("work"))) adr = &p;
    } else if (name == "TEL") {
      mapTelephone(p, line);
    } else if (name == "EMAIL") {
      line.fillFirstFree({FieldId::Email, FieldId::Email2}, oneLine(unescape(p.value)));
    } else if (name == "URL") {
      line.fillFirstFree({FieldId::WebSite, FieldId::Web2}, oneLine(unescape(p.value)));
    } else if (name == "NOTE") {
      std::string& notes = line.values[imp::kNotesField];
      const std::string text = notesText(unescape(p.value));
      if (!text.empty()) notes += (notes.empty() ? "" : "\r\n") + text;
      line.noteFilled(imp::kNotesField);
    } else if (name == "CATEGORIES") {
      if (!categories) {
        categories = &p;
        const std::vector<std::string> items = listItems(p.value);
        line[FieldId::Group] = items.empty() ? std::string() : oneLine(items.front());
        line.noteFilled(toInt(FieldId::Group));
      }
    } else if (name == "KIND" || name == "X-ABSHOWAS") {
      const std::string kind = lower(trim(p.value));
      org = org || kind == "org" || kind == "organization" || kind == "company";
    }
  }
  line.filled = nullptr;
  if (adr) {
    if (std::uint32_t* m = maskOf(adr))
      *m = bit(FieldId::Address1) | bit(FieldId::Address2) | bit(FieldId::City) |
           bit(FieldId::State) | bit(FieldId::Zip) | bit(FieldId::Country);
    const std::vector<std::string> parts = components(adr->value);
    // A post office box has no field of its own; it takes Street 2 when that is free.
    std::string street2 = at(parts, 1);
    if (street2.empty()) street2 = at(parts, 0);
    line[FieldId::Address2] = street2;
    line[FieldId::Address1] = at(parts, 2);
    line[FieldId::City] = at(parts, 3);
    line[FieldId::State] = at(parts, 4);
    line[FieldId::Zip] = at(parts, 5);
    line[FieldId::Country] = at(parts, 6);
    line.leftOut += adrCount - 1;
  }
  if (!haveName) {
    const Property* fn = card.first("FN");
    const std::string full = fn ? oneLine(unescape(fn->value)) : std::string();
    if (org || (!full.empty() && equalsIgnoreCase(full, line[FieldId::Company]))) {
      if (line[FieldId::Company].empty()) line[FieldId::Company] = full;
    } else if (const std::size_t blank = full.rfind(' '); blank != std::string::npos) {
      line[FieldId::First] = std::string(trim(std::string_view(full).substr(0, blank)));
      line[FieldId::Last] = full.substr(blank + 1);
    } else {
      line[FieldId::Last] = full;
    }
  }
  // Phones keep contacts that are only an address or a number: such a card is known by
  // its first e-mail address, else its first telephone number, rather than by no name.
  if (line[FieldId::Last].empty() && line[FieldId::First].empty() &&
      line[FieldId::Company].empty()) {
    if (const Property* email = card.first("EMAIL"))
      line[FieldId::Last] = oneLine(unescape(email->value));
    if (const Property* tel = card.first("TEL"); tel && line[FieldId::Last].empty())
      line[FieldId::Last] = telNumber(tel->value);
  }
  leftOut += line.leftOut;
  return std::move(line.values);
}

imp::ImportedBook importCards(std::string_view bytes, const imp::ImportProgress& progress) {
  // The cards become the lines of an import file whose fields are the program's own, so
  // that cutting, duplicate marks and the limit of one import are the CSV import's.
  imp::ImportFile file;
  for (int f = 0; f < kFieldCount; ++f) file.names.emplace_back(imp::programFieldName(f));
  imp::FieldMatch match(kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) match.match(f, f);
  int leftOut = 0;
  int replaced = 0;
  int nameless = 0;
  for (const Card& card : parseCards(bytes)) {
    const Property* kind = card.first("KIND");
    if (kind && equalsIgnoreCase(trim(kind->value), "group")) continue;  // a list of members
    int valuesLeftOut = 0;
    std::vector<std::string> values = cardValues(card, valuesLeftOut);
    // Nothing to know it by (no name, company, e-mail or telephone): an entry without a
    // name, or a "[Dup:2]" of another such, would only be in the way.
    const auto empty = [&values](FieldId f) { return values[static_cast<size_t>(toInt(f))].empty(); };
    if (empty(FieldId::Last) && empty(FieldId::First) && empty(FieldId::Company)) {
      ++nameless;
      continue;
    }
    for (const Property& p : card.properties) replaced += p.replaced;
    leftOut += valuesLeftOut;
    file.lines.push_back(std::move(values));
  }
  imp::ImportedBook out = imp::importRecords(file, match, progress);
  out.replaced = replaced;
  out.valuesLeftOut = leftOut;
  out.namelessLeftOut = nameless;
  return out;
}

namespace {

// What of a card an update leaves as it was written, so that the writer does not write it
// a second time.
struct KeptOnCard {
  std::uint32_t fields = 0;  // fields held by kept properties (bits as cardValues gives them)
  bool fn = false;           // the card's FN still names the record
  std::vector<std::string> otherCategories;  // the first CATEGORIES' values after the group
};

// The properties the mapping reads, written from the record: every one whose fields are
// not already held by a property kept from the card.
void appendMapped(std::string& out, const AddressRecord& r, const KeptOnCard& kept = {}) {
  const auto v = [&r](FieldId f) -> const std::string& { return r[f]; };
  const auto write = [&kept](std::uint32_t mask) { return (kept.fields & mask) != mask; };
  std::string full = v(FieldId::First);
  if (!v(FieldId::Last).empty()) full += (full.empty() ? "" : " ") + v(FieldId::Last);
  const bool person = !full.empty();
  const bool company = !person && !v(FieldId::Company).empty();
  if (company) full = v(FieldId::Company);
  if (company) appendLine(out, "KIND:org");
  // A card needs a name to show: an entry with neither a name nor a company is known
  // by its first address or number, as such a card is named when it is read.
  for (FieldId f : {FieldId::Email, FieldId::Email2, FieldId::Mobile, FieldId::Home,
                    FieldId::Office, FieldId::Home2, FieldId::Office2, FieldId::Fax})
    if (full.empty()) full = v(f);
  if (!kept.fn) appendLine(out, "FN:" + escape(full));
  if (write(bit(FieldId::Last) | bit(FieldId::First) | bit(FieldId::MrMs))) {
    if (person)
      appendLine(out, "N:" + escape(v(FieldId::Last)) + ';' + escape(v(FieldId::First)) + ";;" +
                          escape(v(FieldId::MrMs)) + ';');
    else if (!v(FieldId::MrMs).empty())
      appendLine(out, "N:;;;" + escape(v(FieldId::MrMs)) + ';');
  }
  if ((!v(FieldId::Company).empty() || !v(FieldId::Dept).empty()) &&
      write(bit(FieldId::Company) | bit(FieldId::Dept))) {
    std::string org = "ORG:" + escape(v(FieldId::Company));
    if (!v(FieldId::Dept).empty()) org += ';' + escape(v(FieldId::Dept));
    appendLine(out, org);
  }
  if (!v(FieldId::Title).empty() && write(bit(FieldId::Title)))
    appendLine(out, "TITLE:" + escape(v(FieldId::Title)));
  bool anyAddress = false;
  std::uint32_t addressMask = 0;
  for (FieldId f : {FieldId::Address1, FieldId::Address2, FieldId::City, FieldId::State,
                    FieldId::Zip, FieldId::Country}) {
    anyAddress = anyAddress || !v(f).empty();
    addressMask |= bit(f);
  }
  if (anyAddress && write(addressMask)) {
    appendLine(out, "ADR;TYPE=work:;" + escape(v(FieldId::Address2)) + ';' +
                        escape(v(FieldId::Address1)) + ';' + escape(v(FieldId::City)) + ';' +
                        escape(v(FieldId::State)) + ';' + escape(v(FieldId::Zip)) + ';' +
                        escape(v(FieldId::Country)));
  }
  const struct {
    FieldId field;
    const char* type;
  } kPhones[] = {{FieldId::Home, "home,voice"},   {FieldId::Office, "work,voice"},
                 {FieldId::Mobile, "cell,voice"}, {FieldId::Fax, "fax"},
                 {FieldId::Home2, "home,voice"},  {FieldId::Office2, "work,voice"}};
  for (const auto& phone : kPhones) {
    if (v(phone.field).empty() || !write(bit(phone.field))) continue;
    // TYPE lists are quoted: a bare comma there would be read as an escape by some.
    appendLine(out, std::string("TEL;TYPE=\"") + phone.type + "\":" + escape(v(phone.field)));
  }
  for (FieldId f : {FieldId::Email, FieldId::Email2})
    if (!v(f).empty() && write(bit(f))) appendLine(out, "EMAIL:" + escape(v(f)));
  for (FieldId f : {FieldId::WebSite, FieldId::Web2})
    if (!v(f).empty() && write(bit(f))) appendLine(out, "URL:" + escape(v(f)));
  if (!r.notes.empty() && write(kNotesBit)) appendLine(out, "NOTE:" + escape(r.notes));
  if (write(bit(FieldId::Group))) {
    // The group is the first category; the card's other categories stay behind it.
    std::string items = v(FieldId::Group).empty() ? std::string() : escape(v(FieldId::Group));
    for (const std::string& other : kept.otherCategories)
      items += (items.empty() ? "" : ",") + escape(other);
    if (!items.empty()) appendLine(out, "CATEGORIES:" + items);
  }
}

}  // namespace

std::string exportCards(const std::vector<AddressRecord>& records) {
  std::string out;
  out.reserve(records.size() * 300);
  for (const AddressRecord& r : records) {
    appendLine(out, "BEGIN:VCARD");
    appendLine(out, "VERSION:4.0");
    appendMapped(out, r);
    appendLine(out, "END:VCARD");
  }
  return out;
}

std::string exportCard(const AddressRecord& record, std::string_view uid) {
  std::string out;
  appendLine(out, "BEGIN:VCARD");
  appendLine(out, "VERSION:4.0");
  appendLine(out, "UID:" + escape(uid));
  appendMapped(out, record);
  appendLine(out, "END:VCARD");
  return out;
}

std::optional<AddressRecord> cardRecord(const Card& card) {
  const Property* kind = card.first("KIND");
  if (kind && equalsIgnoreCase(trim(kind->value), "group")) return std::nullopt;
  imp::ImportFile file;
  for (int f = 0; f < kFieldCount; ++f) file.names.emplace_back(imp::programFieldName(f));
  imp::FieldMatch match(kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) match.match(f, f);
  int leftOut = 0;
  file.lines.push_back(cardValues(card, leftOut));
  const auto& values = file.lines.front();
  const auto empty = [&values](FieldId f) { return values[static_cast<size_t>(toInt(f))].empty(); };
  if (empty(FieldId::Last) && empty(FieldId::First) && empty(FieldId::Company)) return std::nullopt;
  imp::ImportedBook made = imp::importRecords(file, match);
  if (made.records.empty()) return std::nullopt;
  return std::move(made.records.front());
}

std::string updateCard(const Card& old, const AddressRecord& record) {
  int leftOut = 0;
  std::vector<std::uint32_t> filled;
  cardValues(old, leftOut, &filled);
  // What the card gave, made as the book's records are, so that a value the book could
  // only hold cut (a long street, long notes) counts as unchanged and keeps its whole text.
  const AddressRecord given = cardRecord(old).value_or(AddressRecord{});
  const auto same = [&](std::uint32_t mask) {
    for (int f = 0; f < kFieldCount; ++f) {
      if (!(mask & (std::uint32_t{1} << f))) continue;
      const bool equal = f == imp::kNotesField ? given.notes == record.notes
                                               : given.fields[static_cast<std::size_t>(f)] ==
                                                     record.fields[static_cast<std::size_t>(f)];
      if (!equal) return false;
    }
    return true;
  };
  KeptOnCard kept;
  const bool sameNames = given[FieldId::First] == record[FieldId::First] &&
                         given[FieldId::Last] == record[FieldId::Last] &&
                         given[FieldId::Company] == record[FieldId::Company];
  std::string out;
  appendLine(out, "BEGIN:VCARD");
  bool version = false;
  std::vector<const Property*> keep;
  for (std::size_t i = 0; i < old.properties.size(); ++i) {
    const Property& p = old.properties[i];
    if (p.name == "KIND") continue;  // written from the record
    if (p.name == "VERSION") {
      // The card keeps its version: the properties kept are written as that version has them.
      if (!version) appendLine(out, p.line);
      version = true;
      continue;
    }
    if (p.name == "FN") {
      if (!sameNames || kept.fn) continue;
      kept.fn = true;
    } else if (filled[i] != 0) {
      if (!same(filled[i])) {
        if (p.name == "CATEGORIES") {
          const std::vector<std::string> items = listItems(p.value);
          kept.otherCategories.assign(items.begin() + (items.empty() ? 0 : 1), items.end());
        }
        continue;
      }
      kept.fields |= filled[i];
    }
    keep.push_back(&p);
  }
  if (!version) appendLine(out, "VERSION:4.0");
  for (const Property* p : keep) appendLine(out, p->line);
  appendMapped(out, record, kept);
  appendLine(out, "END:VCARD");
  return out;
}

std::optional<std::filesystem::path> importVcardFile(const std::filesystem::path& vcf,
                                                     Prompter& prompter, FileChooser& chooser,
                                                     const std::filesystem::path& openBook) {
  const auto stop = [&prompter](const std::string& text) {
    prompter.ask(Message{text, kAppCaption, Icon::Stop, Buttons::Ok, Answer::Ok,
                         TextCoding::Utf8});
    return std::nullopt;
  };
  std::string bytes;
  if (!readWholeFile(vcf, bytes))
    return stop(fillFormat("%s\n\ncannot be read. Nothing was imported.", {pathText(vcf)}));
  const imp::ImportedBook result = importCards(bytes);
  if (result.records.empty())
    return stop(fillFormat("%s\n\nholds no cards. Nothing was imported.", {pathText(vcf)}));
  const std::optional<std::string> book = imp::bookBytes(result.records);
  if (!book) return stop("The file holds more entries than one address book can keep.");
  // The new book is named before anything is said to be imported: a user who cancels
  // there has imported nothing, and is told nothing.
  const std::optional<std::filesystem::path> target =
      imp::chooseImportedBookPath(prompter, chooser, openBook);
  if (!target) return std::nullopt;
  if (!writeFileAtomically(*target, *book))
    return stop(fillFormat("%s\n\ncannot be written (%s). Nothing was imported.",
                           {pathText(*target), lastFileError()}));
  if (result.duplicates > 0) {
    prompter.ask(Message{imp::kDuplicatesMessage, imp::kDuplicatesCaption, Icon::Information,
                         Buttons::Ok});
  }
  // One summary: how many cards came in, then whatever did not fit.
  std::string summary = fillFormat("%s imported.", {std::to_string(result.records.size()) +
                                                   (result.records.size() == 1 ? " card was"
                                                                               : " cards were")});
  std::string notice = imp::importNotice(result, "card was", "cards were");
  if (result.namelessLeftOut > 0)
    notice += std::string(notice.empty() ? "" : "\n") + namelessNotice(result.namelessLeftOut);
  if (!notice.empty()) summary += "\n\n" + notice;
  prompter.inform(summary, kAppCaption, Icon::Information);
  return target;
}

std::string namelessNotice(int cards) {
  return cards == 1 ? "1 card had no name, company, e-mail address or telephone number and was "
                      "left out."
                    : std::to_string(cards) +
                          " cards had no name, company, e-mail address or telephone number and "
                          "were left out.";
}

}  // namespace mv::vcard
