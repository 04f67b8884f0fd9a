#include "exchange/ExportText.h"

#include "platform/Text.h"

namespace mv {
namespace {

// Notes keep their text; their line breaks (CR LF as the card stores them, or a lone CR)
// become this platform's LF.
std::string notesWithLf(const std::string& notes) {
  std::string out;
  out.reserve(notes.size());
  for (size_t i = 0; i < notes.size(); ++i) {
    if (notes[i] == '\r') {
      out += '\n';
      if (i + 1 < notes.size() && notes[i + 1] == '\n') ++i;
    } else {
      out += notes[i];
    }
  }
  return out;
}

}  // namespace

std::string textExportBytes(const std::vector<AddressRecord>& records) {
  std::string out;
  for (const AddressRecord& r : records) {
    const auto has = [&r](FieldId f) { return isPresent(r[f]); };
    const auto labelled = [&](const char* label, FieldId f) {
      if (has(f)) out.append(label).append(r[f]).append("\n");
    };

    std::string name = has(FieldId::MrMs) ? r[FieldId::MrMs] + " " : std::string();
    name += r[FieldId::First] + " " + r[FieldId::Last];
    if (name.size() > 1) out.append(name).append("\n");
    for (FieldId f : {FieldId::Title, FieldId::Company, FieldId::Address1, FieldId::Address2})
      labelled("", f);
    if (has(FieldId::City) || has(FieldId::State) || has(FieldId::Zip))
      out.append(r[FieldId::City] + " " + r[FieldId::State] + " " + r[FieldId::Zip] + "\n");
    labelled("Country: ", FieldId::Country);
    labelled("Describe: ", FieldId::Describe);
    labelled("Home: ", FieldId::Home);
    labelled("Office: ", FieldId::Office);
    labelled("Mobile: ", FieldId::Mobile);
    labelled("Fax: ", FieldId::Fax);
    labelled("Home': ", FieldId::Home2);
    labelled("Office': ", FieldId::Office2);
    labelled("email: ", FieldId::Email);
    labelled("email': ", FieldId::Email2);
    labelled("Web Page: ", FieldId::WebSite);
    labelled("Web Page': ", FieldId::Web2);
    labelled("FTP: ", FieldId::FtpSite);
    labelled("News Group: ", FieldId::NewsGroup);
    labelled("Other Information: ", FieldId::Other);
    if (!r.notes.empty()) out.append("Notes:\n").append(notesWithLf(r.notes)).append("\n");
    out.append(std::string(35, '_')).append("\n\n");
  }
  return out;
}

}  // namespace mv
