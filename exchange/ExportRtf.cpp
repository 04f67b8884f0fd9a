#include "exchange/ExportRtf.h"

#include "platform/Escape.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"

namespace mv {
namespace {

constexpr const char* kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman"
    "\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 Arial;}{\\f3\\froman Times New Roman;}}"
    "{\\colortbl\\red0\\green0\\blue0;}\\pard\\plain\\f2\\fs20\\cf0 ";
constexpr const char* kPar = "\n\\par ";
// Each letter on a page of its own, so a word processor prints them apart.
constexpr const char* kPage = "\n\\page ";

// The letters name no code page, so a letter above 127 goes as \'hh.
std::string rtfText(std::string_view cp1252) { return rtfEscape(cp1252, HighBytes::Escaped); }

std::string letterRtf(std::string_view fileBytes) {
  std::string out;
  for (const std::string& line : letterLines(fileBytes)) out += rtfText(line) + kPar;
  return out;
}

void addressBlock(std::string& out, const AddressRecord& r) {
  const auto has = [&r](FieldId f) { return isPresent(r[f]); };
  const auto line = [&](const char* label, FieldId f) {
    if (has(f)) out += label + rtfText(r[f]) + kPar;
  };
  const std::string name =
      (has(FieldId::MrMs) ? r[FieldId::MrMs] + " " : std::string()) + r[FieldId::First] + " " +
      r[FieldId::Last];
  if (name.size() > 1) out += rtfText(name) + kPar;
  for (FieldId f : {FieldId::Title, FieldId::Company, FieldId::Address1, FieldId::Address2})
    line("", f);
  if (has(FieldId::City) || has(FieldId::State) || has(FieldId::Zip))
    out += rtfText(r[FieldId::City] + " " + r[FieldId::State] + " " + r[FieldId::Zip]) + kPar;
  // A letter abroad needs its country, on a line of its own under the town.
  line("", FieldId::Country);
  line("Home Tel: ", FieldId::Home);
  line("Office Tel: ", FieldId::Office);
  line("Mobile: ", FieldId::Mobile);
  line("Fax: ", FieldId::Fax);
  line("email: ", FieldId::Email);
  line("Web Page: ", FieldId::WebSite);
}

}  // namespace

std::vector<std::string> letterLines(std::string_view fileBytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < fileBytes.size()) {
    size_t end = fileBytes.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = fileBytes.size();
    std::string_view line = fileBytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::string letterFileBytes(std::string_view editText) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = editText.find('\n', start);
    std::string_view line = editText.substr(start, end == std::string_view::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '\n';
    out += lines[i];
  }
  if (isPresent(lines.back())) out += '\n';
  return out;
}

std::string letterEditText(std::string_view fileBytes) {
  std::string out;
  for (const std::string& line : letterLines(fileBytes)) out += line + "\r\n";
  return out;
}

std::string loadLetterText(const std::filesystem::path& file, std::string_view hint) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) return std::string(hint);
  return letterEditText(bytes);
}

std::string rtfLettersBytes(const std::vector<AddressRecord>& records,
                            std::string_view beforeFile, std::string_view afterFile) {
  const std::string before = letterRtf(beforeFile);
  const std::string after = letterRtf(afterFile);
  std::string out = kHeader;
  for (size_t i = 0; i < records.size(); ++i) {
    const AddressRecord& r = records[i];
    if (i > 0) out += kPage;
    out += before;
    out += std::string(kPar) + kPar;
    addressBlock(out, r);
    out += kPar;
    out += after;
    for (int i = 0; i < 5; ++i) out += kPar;
  }
  out += "}";
  return out;
}

std::vector<std::string> saveLetterTexts(const std::filesystem::path& folder,
                                         std::string_view beforeText, std::string_view afterText) {
  std::vector<std::string> failed;
  if (!writeFileAtomically(folder / kLetterBeforeFile, letterFileBytes(beforeText)))
    failed.emplace_back(kLetterBeforeFile);
  if (!writeFileAtomically(folder / kLetterAfterFile, letterFileBytes(afterText)))
    failed.emplace_back(kLetterAfterFile);
  return failed;
}

std::string rtfLettersFromFolder(const std::vector<AddressRecord>& records,
                                 const std::filesystem::path& folder) {
  std::string before, after;
  if (!readWholeFile(folder / kLetterBeforeFile, before)) before.clear();
  if (!readWholeFile(folder / kLetterAfterFile, after)) after.clear();
  return rtfLettersBytes(records, before, after);
}

}  // namespace mv
