// The plain-text export: which lines a record gives, in which order, and what never
// appears.
#include "exchange/ExportText.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

const std::string kRule = std::string(35, '_') + "\n\n";

AddressRecord with(std::initializer_list<std::pair<FieldId, std::string>> set,
                   std::string notes = {}) {
  AddressRecord r;
  for (const auto& [f, v] : set) r[f] = v;
  r.notes = std::move(notes);
  return r;
}

TEST(ExportText, eachLineAppearsOnlyWhenItsFieldIsPresent) {
  using F = FieldId;
  const struct {
    const char* what;
    AddressRecord record;
    std::string text;
  } kCases[] = {
      {"only a first name: the name and a blank", with({{F::First, "Ann"}}), "Ann \n" + kRule},
      {"nothing at all: a lone blank is no name line", with({}), kRule},
      {"salutation before the name", with({{F::MrMs, "Dr."}, {F::First, "A"}, {F::Last, "Lee"}}),
       "Dr. A Lee\n" + kRule},
      {"a one-letter state is written",
       with({{F::Last, "Lee"}, {F::State, "K"}}), " Lee\n K \n" + kRule},
      {"city, state and zip on one line",
       with({{F::First, "Ann"}, {F::City, "Rome"}, {F::State, "RM"}, {F::Zip, "00100"}}),
       "Ann \nRome RM 00100\n" + kRule},
      {"a value of blanks counts as absent", with({{F::First, "Ann"}, {F::Title, "   "}}),
       "Ann \n" + kRule},
      {"group, department and buffer never appear",
       with({{F::First, "Ann"}, {F::Group, "Friends"}, {F::Dept, "Sales"}, {F::Buffer, "x"}}),
       "Ann \n" + kRule},
      {"every labelled line in its order",
       with({{F::First, "A"}, {F::Title, "Boss"}, {F::Company, "Acme"}, {F::Address1, "1 Rd"},
             {F::Address2, "Flat 2"}, {F::Country, "Italy"}, {F::Describe, "friend"},
             {F::Home, "1"}, {F::Office, "2"}, {F::Mobile, "3"}, {F::Fax, "4"},
             {F::Home2, "5"}, {F::Office2, "6"}, {F::Email, "a@b"}, {F::Email2, "c@d"},
             {F::WebSite, "w.org"}, {F::Web2, "v.org"}, {F::FtpSite, "ftp.x"},
             {F::NewsGroup, "comp.x"}, {F::Other, "more"}}),
       "A \nBoss\nAcme\n1 Rd\nFlat 2\nCountry: Italy\nDescribe: friend\nHome: 1\nOffice: 2\n"
       "Mobile: 3\nFax: 4\nHome': 5\nOffice': 6\nemail: a@b\nemail': c@d\nWeb Page: w.org\n"
       "Web Page': v.org\nFTP: ftp.x\nNews Group: comp.x\nOther Information: more\n" + kRule},
      {"notes with their line breaks as LF",
       with({{F::First, "Ann"}}, "one\r\ntwo\rthree\nfour"),
       "Ann \nNotes:\none\ntwo\nthree\nfour\n" + kRule},
      {"Windows-1252 text as it stands", with({{F::First, "Ren\xe9"}, {F::City, "K\xf6ln"}}),
       "Ren\xe9 \nK\xf6ln  \n" + kRule},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(textExportBytes({c.record}), c.text);
  }
}

TEST(ExportText, recordsFollowOneAnotherInTheOrderGiven) {
  EXPECT_EQ(textExportBytes({with({{FieldId::First, "B"}}), with({{FieldId::First, "A"}})}),
            "B \n" + kRule + "A \n" + kRule);
  EXPECT_EQ(textExportBytes({}), "");
}

}  // namespace
}  // namespace mv
