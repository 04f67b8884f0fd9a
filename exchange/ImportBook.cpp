#include "exchange/ImportBook.h"

#include "exchange/Csv.h"
#include "platform/Text.h"
#include "store/AdrFormat.h"

#include <unordered_set>

namespace mv::imp {
namespace {

// The headers other programs write for our fields. When a file has several of them for
// one field, the earlier row wins: business addresses before home addresses.
struct KnownHeader {
  std::string_view name;
  FieldId field;
};
constexpr KnownHeader kKnownHeaders[] = {
    {"Given Name", FieldId::First},
    {"First", FieldId::First},
    {"Forename", FieldId::First},
    {"Family Name", FieldId::Last},
    {"Surname", FieldId::Last},
    {"Last", FieldId::Last},
    {"Name Prefix", FieldId::MrMs},
    {"Prefix", FieldId::MrMs},
    {"Organization", FieldId::Company},
    {"Organisation", FieldId::Company},
    {"Organization 1 - Name", FieldId::Company},
    {"Company Name", FieldId::Company},
    {"Organization 1 - Title", FieldId::Title},
    {"Organization 1 - Department", FieldId::Dept},
    {"Business Street", FieldId::Address1},
    {"Work Address", FieldId::Address1},
    {"Home Street", FieldId::Address1},
    {"Home Address", FieldId::Address1},
    {"Street", FieldId::Address1},
    {"Street Address", FieldId::Address1},
    {"Address", FieldId::Address1},
    {"Business Street 2", FieldId::Address2},
    {"Work Address 2", FieldId::Address2},
    {"Home Street 2", FieldId::Address2},
    {"Home Address 2", FieldId::Address2},
    {"Business City", FieldId::City},
    {"Work City", FieldId::City},
    {"Home City", FieldId::City},
    {"Town", FieldId::City},
    {"Business State", FieldId::State},
    {"Work State", FieldId::State},
    {"Home State", FieldId::State},
    {"State/Province", FieldId::State},
    {"Province", FieldId::State},
    {"Region", FieldId::State},
    {"Business Postal Code", FieldId::Zip},
    {"Work ZipCode", FieldId::Zip},
    {"Home Postal Code", FieldId::Zip},
    {"Home ZipCode", FieldId::Zip},
    {"ZIP", FieldId::Zip},
    {"Zip Code", FieldId::Zip},
    {"Postcode", FieldId::Zip},
    {"Business Country/Region", FieldId::Country},
    {"Work Country", FieldId::Country},
    {"Home Country/Region", FieldId::Country},
    {"Home Country", FieldId::Country},
    {"Country/Region", FieldId::Country},
    {"Phone", FieldId::Home},
    {"Home Phone 2", FieldId::Home2},
    {"Work Phone", FieldId::Office},
    {"Office Phone", FieldId::Office},
    {"Business Phone 2", FieldId::Office2},
    {"Mobile Phone", FieldId::Mobile},
    {"Mobile Number", FieldId::Mobile},
    {"Cell Phone", FieldId::Mobile},
    {"Cellular Phone", FieldId::Mobile},
    {"E-mail", FieldId::Email},
    {"Email", FieldId::Email},
    {"Email Address", FieldId::Email},
    {"E-mail 1 - Value", FieldId::Email},
    {"Primary Email", FieldId::Email},
    {"E-mail 2 Address", FieldId::Email2},
    {"E-mail 2 - Value", FieldId::Email2},
    {"Secondary Email", FieldId::Email2},
    {"Web Page", FieldId::WebSite},
    {"Web Page 1", FieldId::WebSite},
    {"Website", FieldId::WebSite},
    {"Web Address", FieldId::WebSite},
    {"Personal Web Page", FieldId::WebSite},
    {"Website 1 - Value", FieldId::WebSite},
    {"Web Page 2", FieldId::Web2},
    {"Business Fax", FieldId::Fax},
    {"Fax Number", FieldId::Fax},
    {"Fax Phone", FieldId::Fax},
    {"Home Fax", FieldId::Fax},
    {"Description", FieldId::Describe},
};

std::string_view trimBlanks(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A field value on one line: each line break (CR LF counting as one) and each record
// delimiter becomes a blank.
std::string fieldValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    out.push_back(c == '\r' || c == '\n' || adr::isControlByte(c) ? ' ' : c);
  }
  return out;
}

// Notes keep their line breaks the way the notes editor stores them, as CR LF.
std::string notesValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out.push_back(adr::isControlByte(c) ? ' ' : c);
    }
  }
  return out;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string_view programFieldName(int index) noexcept {
  if (index < 0 || index >= kFieldCount) return {};
  return fieldTable()[static_cast<std::size_t>(index)].importName;
}

int programFieldNamed(std::string_view name) noexcept {
  name = trimBlanks(name);
  for (int p = 0; p < kFieldCount; ++p) {
    if (equalsIgnoreCase(name, programFieldName(p))) return p;
  }
  return kNoMatch;
}

int knownHeaderField(std::string_view name) noexcept {
  name = trimBlanks(name);
  for (const KnownHeader& known : kKnownHeaders) {
    if (equalsIgnoreCase(name, known.name)) return toInt(known.field);
  }
  return kNoMatch;
}

ImportFile parseImportFile(std::string_view bytes) {
  ImportFile file;
  csv::DecodedText decoded = csv::decodeToCp1252(bytes);
  file.utf8 = decoded.utf8;
  file.replaced = decoded.replaced;
  file.separator = csv::detectSeparator(decoded.text);
  csv::Reader reader(decoded.text, file.separator);
  std::vector<std::string> values;
  if (!reader.next(values)) return file;
  if (values.size() > static_cast<std::size_t>(kMaxImportFields)) values.resize(kMaxImportFields);
  for (std::string& name : values) {
    // A quote left in a name (text after a closing quote) is no part of it.
    std::erase(name, '"');
    name = fieldValue(name);
    if (name.size() > kMaxNameChars) name.resize(kMaxNameChars);
  }
  // A header of one empty value is an empty line: the file names no fields.
  if (!(values.size() == 1 && values[0].empty())) file.names = std::move(values);
  while (reader.next(values)) file.lines.push_back(values);
  return file;
}

FieldMatch::FieldMatch(int importCount)
    : programOf_(static_cast<std::size_t>(std::max(importCount, 0)), kNoMatch),
      included_(programOf_.size(), false) {
  importOf_.fill(kNoMatch);
}

int FieldMatch::programOf(int importField) const noexcept {
  if (importField < 0 || importField >= importCount()) return kNoMatch;
  return programOf_[static_cast<std::size_t>(importField)];
}

int FieldMatch::importOf(int programField) const noexcept {
  if (programField < 0 || programField >= kFieldCount) return kNoMatch;
  return importOf_[static_cast<std::size_t>(programField)];
}

bool FieldMatch::included(int importField) const noexcept {
  if (importField < 0 || importField >= importCount()) return false;
  return included_[static_cast<std::size_t>(importField)];
}

void FieldMatch::autoMatch(const std::vector<std::string>& names) {
  *this = FieldMatch(static_cast<int>(names.size()));
  for (int i = 0; i < importCount(); ++i) {
    const int p = programFieldNamed(names[static_cast<std::size_t>(i)]);
    if (p != kNoMatch && p != kNotesField) match(i, p);
  }
  for (const KnownHeader& known : kKnownHeaders) {
    const int p = toInt(known.field);
    if (importOf(p) != kNoMatch) continue;
    for (int i = 0; i < importCount(); ++i) {
      if (programOf(i) == kNoMatch &&
          equalsIgnoreCase(trimBlanks(names[static_cast<std::size_t>(i)]), known.name)) {
        match(i, p);
        break;
      }
    }
  }
}

std::vector<int> FieldMatch::holdersOf(int programField, int importField) const {
  std::vector<int> out;
  for (int i = 0; i < importCount(); ++i) {
    if (i != importField && programOf(i) == programField) out.push_back(i);
  }
  return out;
}

void FieldMatch::match(int importField, int programField) {
  if (importField < 0 || importField >= importCount()) return;
  if (programField < 0 || programField >= kFieldCount) return;
  unmatch(importField);
  for (int other : holdersOf(programField, importField)) unmatch(other);
  programOf_[static_cast<std::size_t>(importField)] = programField;
  importOf_[static_cast<std::size_t>(programField)] = importField;
  included_[static_cast<std::size_t>(importField)] = true;
}

void FieldMatch::unmatch(int importField) {
  const int p = programOf(importField);
  if (p == kNoMatch) return;
  programOf_[static_cast<std::size_t>(importField)] = kNoMatch;
  if (importOf(p) == importField) importOf_[static_cast<std::size_t>(p)] = kNoMatch;
}

void FieldMatch::setIncluded(int importField, bool included) {
  if (importField < 0 || importField >= importCount()) return;
  included_[static_cast<std::size_t>(importField)] = included;
}

ImportedBook importRecords(const ImportFile& file, const FieldMatch& match,
                           const ImportProgress& progress) {
  ImportedBook out;
  out.replaced = file.replaced;
  // The columns that fill a field: matched and checked.
  std::array<int, kFieldCount> column{};
  for (int p = 0; p < kFieldCount; ++p) {
    const int i = match.importOf(p);
    column[static_cast<std::size_t>(p)] = match.included(i) ? i : kNoMatch;
  }
  static const std::string kEmpty;
  std::unordered_set<std::string> seenKeys;
  for (const std::vector<std::string>& line : file.lines) {
    const auto valueOf = [&](int p) -> const std::string& {
      const int i = column[static_cast<std::size_t>(p)];
      return i >= 0 && static_cast<std::size_t>(i) < line.size()
                 ? line[static_cast<std::size_t>(i)]
                 : kEmpty;
    };
    bool usable = false;
    for (int p = 0; p < kFieldCount && !usable; ++p) usable = isPresent(valueOf(p));
    if (!usable) continue;
    if (static_cast<int>(out.records.size()) >= kMaxImportRecords) {
      ++out.linesLeftOut;
      continue;
    }
    AddressRecord record;
    record.slot = static_cast<int>(out.records.size());
    for (int p = 0; p < kFieldCount; ++p) {
      if (column[static_cast<std::size_t>(p)] == kNoMatch) continue;
      if (p == kNotesField) {
        record.notes = notesValue(valueOf(p));
        if (record.notes.size() > kMaxNotesChars) {
          record.notes.resize(kMaxNotesChars);
          ++out.valuesCut;
        }
        continue;
      }
      std::string& value = record.fields[static_cast<std::size_t>(p)];
      value = fieldValue(valueOf(p));
      if (value.size() > kMaxFieldChars) {
        value.resize(kMaxFieldChars);
        ++out.valuesCut;
      }
    }
    std::string key = record[FieldId::First] + ',' + record[FieldId::Last] + ',' +
                      record[FieldId::Company];
    const int number = static_cast<int>(out.records.size()) + 1;
    if (!seenKeys.insert(lowered(key)).second) {
      for (FieldId f : {FieldId::First, FieldId::Last, FieldId::Company}) {
        if (column[static_cast<std::size_t>(toInt(f))] == kNoMatch) continue;
        const std::string suffix = duplicateSuffix(number);
        std::string& value = record[f];
        // The mark always fits: the value gives way to it.
        if (value.size() + suffix.size() > kMaxFieldChars) {
          value.resize(kMaxFieldChars - suffix.size());
          ++out.valuesCut;
        }
        value += suffix;
        ++out.duplicates;
        break;
      }
    }
    record.initial = savedInitial(nameKey(record, 0));
    out.keys.push_back(std::move(key));
    out.records.push_back(std::move(record));
    if (progress && out.records.size() % 10 == 0) progress(static_cast<int>(out.records.size()));
  }
  return out;
}

std::optional<std::string> bookBytes(const std::vector<AddressRecord>& records) {
  if (records.size() > static_cast<std::size_t>(adr::kMaxSlots)) return std::nullopt;
  std::string out;
  out.reserve(64 + records.size() * 200);
  out += adr::kMagic;
  out += '\n';
  int slot = 0;
  for (const AddressRecord& record : records) {
    adr::appendRecord(out, record, slot++, record.initial, record.mark);
  }
  return out;
}

std::string importNotice(const ImportedBook& result, const char* lineOne,
                         const char* lineMany) {
  const auto counted = [](int n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
  };
  std::string out;
  if (result.replaced > 0) {
    out += fillFormat("%s no place in this program's character set: each became \"?\".\n",
                      {counted(result.replaced, "character of the file has",
                               "characters of the file have")});
  }
  if (result.valuesCut > 0) {
    out += fillFormat("%s longer than a field holds, cut to fit.\n",
                      {counted(result.valuesCut, "value was", "values were")});
  }
  if (result.valuesLeftOut > 0) {
    out += fillFormat("%s no field to go into and left out.\n",
                      {counted(result.valuesLeftOut, "value had", "values had")});
  }
  if (result.linesLeftOut > 0) {
    out += fillFormat("One import takes at most %d entries: the last %s left out.\n",
                      {std::to_string(kMaxImportRecords),
                       counted(result.linesLeftOut, lineOne, lineMany)});
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace mv::imp
