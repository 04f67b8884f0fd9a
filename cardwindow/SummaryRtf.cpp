#include "cardwindow/SummaryRtf.h"

#include "commands/Commands.h"
#include "platform/Escape.h"
#include "platform/Text.h"


namespace mv {
namespace {

constexpr const char* kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 MS Sans Serif;}"
    "{\\f3\\froman Times New Roman;}{\\f4\\fswiss\\fprq2 Arial;}}\n"
    "{\\colortbl\\red0\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;"
    "\\red239\\green239\\blue239;\\red128\\green128\\blue128;}\n"
    "\\deflang1033\\pard\\plain\\f2\\fs1\\cf0";

constexpr const char* kSpacer = "\\par \\plain\\f4\\fs6\\cf0  \\plain\\f2\\fs1\\cf0  \n";

// A line is written only for a field of at least two characters: a stray single letter
// is not worth a line of the summary.
bool worthShowing(const std::string& value) { return value.size() >= 2; }

struct LinkedLine {
  FieldId field;
  const char* label;
  int command;
};

// A labelled line of the telephone or internet block. With a command the value is
// underlined and followed by the command number in colour 3, invisible on the view's
// background: the link the view sends when the value is clicked.
std::string labelledLine(const char* label, const std::string& value, char colour,
                         int command) {
  const std::string valueColour = std::string("\\plain\\f2\\fs1\\cf") + colour;
  std::string out = "\\par  \\plain\\f4\\fs16\\cf4\\b\\i ";
  out += label;
  out += "\\plain\\f2\\fs1\\cf0 \\tab  " + valueColour;
  if (command) {
    out += "\\ul " + rtfEscape(value, HighBytes::Kept) + "\\plain\\f2\\fs1\\cf3 ";
    out += std::to_string(command) + " ";
  } else {
    out += " " + rtfEscape(value, HighBytes::Kept);
  }
  return out + valueColour + "  \n";
}

}  // namespace

std::string summaryRtf(const AddressRecord& r) {
  // The summary declares Windows-1252: its letters above 127 stay as they are.
  auto esc = [&r](FieldId f) { return rtfEscape(r[f], HighBytes::Kept); };
  std::string out = kHeader;
  out += fillFormat("  %s %s\n", {esc(FieldId::First), esc(FieldId::Last)});

  const auto simple = [&](FieldId f) {
    if (worthShowing(r[f])) out += fillFormat("\\par  %s\n", {esc(f)});
  };
  simple(FieldId::Title);
  simple(FieldId::Dept);
  if (worthShowing(r[FieldId::Company])) {
    out += fillFormat("\\par  \\plain\\f2\\fs1\\cf0\\b %s\\plain\\f2\\fs1\\cf0\n",
                {esc(FieldId::Company)});
  }
  simple(FieldId::Address1);
  simple(FieldId::Address2);
  // The line is City, State; only City decides whether it is written.
  if (worthShowing(r[FieldId::City])) {
    out += fillFormat("\\par  %s, %s\n", {esc(FieldId::City), esc(FieldId::State)});
  }
  simple(FieldId::Zip);
  simple(FieldId::Country);

  out += kSpacer;
  if (worthShowing(r[FieldId::Describe])) {
    out += fillFormat(
        "\\par  \\plain\\f4\\fs16\\cf4\\b\\i Description:\\plain\\f2\\fs1\\cf0 \\par \\tab "
        "\\plain\\f2\\fs1\\cf0 %s\\plain\\f2\\fs1\\cf0  \n",
        {esc(FieldId::Describe)});
  }
  out += kSpacer;

  static constexpr LinkedLine kPhones[] = {
      {FieldId::Home, "Home:", cmd::kPhoneHome},
      {FieldId::Office, "Office:", cmd::kPhoneOffice},
      {FieldId::Mobile, "Mobile:", cmd::kPhoneMobile},
      {FieldId::Fax, "Fax:", 0},
      {FieldId::Home2, "Home':", cmd::kPhoneHome2},
      {FieldId::Office2, "Office':", cmd::kPhoneOffice2},
  };
  for (const auto& line : kPhones) {
    if (!worthShowing(r[line.field])) continue;
    out += labelledLine(line.label, r[line.field], '1', line.command);
  }
  out += kSpacer;

  static constexpr LinkedLine kInternet[] = {
      {FieldId::Email, "email:", cmd::kSendEmail},
      {FieldId::Email2, "email':", cmd::kSendEmail2},
      {FieldId::WebSite, "Web:", cmd::kOpenWebPage},
      {FieldId::Web2, "Web:'", cmd::kOpenWebPage2},
      {FieldId::NewsGroup, "News:", cmd::kNewsGroup},
      {FieldId::FtpSite, "FTP:", cmd::kFtpSite},
      {FieldId::Other, "Other:", 0},
  };
  for (const auto& line : kInternet) {
    if (!worthShowing(r[line.field])) continue;
    // Other is written in black, the addresses in blue.
    out += labelledLine(line.label, r[line.field], line.command ? '2' : '0', line.command);
  }
  out += "\\par \n}";
  return out;
}

}  // namespace mv
