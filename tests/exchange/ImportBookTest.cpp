// Matching, duplicates, the lines an import takes, and files as other programs write
// them, read into records and into a book that the store opens.
#include "exchange/ImportBook.h"

#include "exchange/Csv.h"
#include "platform/Cp1252.h"
#include "store/AdrFormat.h"
#include "store/Book.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv::imp {
namespace {

// Reads `csv` and imports it with the automatic matches plus `extra` (import field
// index -> program field).
ImportedBook importText(const std::string& csv,
                        std::initializer_list<std::pair<int, int>> extra = {}) {
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  for (auto [i, p] : extra) match.match(i, p);
  return importRecords(file, match);
}

const std::string& field(const ImportedBook& b, std::size_t record, FieldId f) {
  return b.records.at(record)[f];
}

TEST(ImportMatch, matchesHeadersAutomatically) {
  const struct {
    const char* what;
    std::string header;
    std::vector<int> expected;  // program field of each import field
  } cases[] = {
      {"quoted and mixed-case names", "\"First Name\",\"LAST NAME\",company\n", {2, 3, 6}},
      {"notes never automatically", "First Name,Notes,NOTES\n", {2, -1, -1}},
      {"apostrophe names", "Home Phone',E-mail Address'\n", {21, 23}},
      {"names of a mail program", "Given Name,Family Name,E-mail 1 - Value,Organization\n",
       {2, 3, 16, 6}},
      {"more synonyms", "Email,ZIP,Mobile Phone,Business Fax,Web Page,Zip Code\n",
       {16, 11, 15, 18, 17, -1}},
      {"business street before home street", "Home Street,Business Street\n", {-1, 7}},
      {"an exact name before a synonym", "E-mail,E-mail Address\n", {-1, 16}},
      {"of two equal names the later one", "First Name,First Name\n", {-1, 2}},
      {"blanks around a name", " Company ,City\n", {6, 9}},
      {"unknown names", "Birthday,Nickname\n", {-1, -1}},
  };
  for (const auto& c : cases) {
    const ImportFile file = parseImportFile(c.header);
    FieldMatch match;
    match.autoMatch(file.names);
    ASSERT_EQ(match.importCount(), static_cast<int>(c.expected.size())) << c.what;
    for (int i = 0; i < match.importCount(); ++i) {
      EXPECT_EQ(match.programOf(i), c.expected[static_cast<std::size_t>(i)]) << c.what << " " << i;
      if (c.expected[static_cast<std::size_t>(i)] >= 0) {
        EXPECT_EQ(match.importOf(c.expected[static_cast<std::size_t>(i)]), i) << c.what;
      }
    }
  }
}

TEST(ImportMatch, rematchingReleasesTheEarlierField) {
  FieldMatch match(3);
  match.match(0, 2);
  match.match(0, 3);  // the same column to a second field
  EXPECT_EQ(match.importOf(2), kNoMatch);
  EXPECT_EQ(match.importOf(3), 0);
  match.match(1, 3);  // a second column to the same field
  EXPECT_EQ(match.programOf(0), kNoMatch);
  EXPECT_EQ(match.importOf(3), 1);
  EXPECT_EQ(match.holdersOf(3, 2), std::vector<int>{1});
  EXPECT_TRUE(match.holdersOf(3, 1).empty());
}

TEST(ImportMatch, aColumnFillsOneFieldOnly) {
  const ImportedBook b = importText("First Name,Last Name\nAnn,Lee\n", {{0, 3}});
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(field(b, 0, FieldId::First), "");
  EXPECT_EQ(field(b, 0, FieldId::Last), "Ann");
}

TEST(ImportMatch, anUncheckedFieldIsLeftOut) {
  const ImportFile file = parseImportFile("First Name,City\nAnn,Rome\n");
  FieldMatch match;
  match.autoMatch(file.names);
  match.setIncluded(1, false);
  const ImportedBook b = importRecords(file, match);
  EXPECT_EQ(field(b, 0, FieldId::City), "");
  EXPECT_EQ(match.programOf(1), 9);  // the match is kept for a later check
}

TEST(ImportDuplicates, repeatedNamesAreMarkedWithTheirRecordNumber) {
  const struct {
    const char* what;
    std::string csv;
    FieldId marked;
    std::vector<std::string> values;
  } cases[] = {
      {"three identical lines, any case", "First Name,Last Name,Company\nAnn,Lee,Acme\n"
       "ann,LEE,acme\nANN,lee,Acme\n", FieldId::First, {"Ann", "ann[Dup:2]", "ANN[Dup:3]"}},
      {"no first name column: the last name", "Last Name,Company\nLee,Acme\nLee,Acme\n",
       FieldId::Last, {"Lee", "Lee[Dup:2]"}},
      {"neither first nor last: the company", "Company,City\nAcme,Rome\nAcme,Oslo\n",
       FieldId::Company, {"Acme", "Acme[Dup:2]"}},
      {"empty first name still takes the mark", "First Name,Last Name\n,Lee\n,Lee\n",
       FieldId::First, {"", "[Dup:2]"}},
      {"different companies are different entries", "First Name,Company\nAnn,A\nAnn,B\n",
       FieldId::First, {"Ann", "Ann"}},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.csv);
    ASSERT_EQ(b.records.size(), c.values.size()) << c.what;
    for (std::size_t r = 0; r < c.values.size(); ++r)
      EXPECT_EQ(field(b, r, c.marked), c.values[r]) << c.what << " " << r;
  }
  const ImportedBook three = importText(cases[0].csv);
  EXPECT_EQ(three.duplicates, 2);
  EXPECT_EQ(three.keys[2], "ANN,lee,Acme");  // the key as read, before the mark
}

TEST(ImportDuplicates, theMarkAlwaysFits) {
  const std::string name69(69, 'n');
  const ImportedBook b =
      importText("First Name,Last Name\n" + name69 + ",Lee\n" + name69 + ",Lee\n");
  ASSERT_EQ(b.records.size(), 2u);
  EXPECT_EQ(field(b, 0, FieldId::First), name69);
  EXPECT_EQ(field(b, 1, FieldId::First), std::string(63, 'n') + "[Dup:2]");
  // And the book reads back with the mark in place.
  const std::string bytes = *bookBytes(b.records);
  EXPECT_NE(bytes.find(std::string(63, 'n') + "[Dup:2]\n"), std::string::npos);
}

TEST(ImportLines, takesUsableLinesOnly) {
  const struct {
    const char* what;
    std::string csv;
    std::vector<std::string> firsts;  // First Name of each record
  } cases[] = {
      {"blank matched values skipped, not counted",
       "First Name,Last Name,Birthday\nAnn,,\n , ,1990\n,,\nAnn,,\n", {"Ann", "Ann[Dup:2]"}},
      {"percent sign written unchanged", "First Name\n100%s %d\n", {"100%s %d"}},
      {"fewer values than fields", "Birthday,First Name,Last Name\n1990\nx,Bo\n", {"Bo"}},
      {"more values than fields", "First Name\nAnn,extra,more\n", {"Ann"}},
      {"a record delimiter byte becomes a blank", "First Name\nA\x14\x15\x16Z\n", {"A   Z"}},
      {"a line break in a field becomes a blank", "First Name\n\"Ann\r\nMarie\"\n",
       {"Ann Marie"}},
      {"header only", "First Name,Last Name\n", {}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.csv);
    ASSERT_EQ(b.records.size(), c.firsts.size()) << c.what;
    for (std::size_t r = 0; r < c.firsts.size(); ++r)
      EXPECT_EQ(field(b, r, FieldId::First), c.firsts[r]) << c.what;
  }
}

TEST(ImportLines, oneImportTakes1900Entries) {
  std::string csv = "First Name\n";
  for (int i = 1; i <= 1905; ++i) csv += "P" + std::to_string(i) + "\n";
  csv += ",\n";  // a blank line at the end is not a left-out line
  int calls = 0;
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  const ImportedBook b = importRecords(file, match, [&](int n) { calls = n; });
  ASSERT_EQ(b.records.size(), 1900u);
  EXPECT_EQ(b.records.back()[FieldId::First], "P1900");
  EXPECT_EQ(b.linesLeftOut, 5);
  EXPECT_EQ(calls, 1900);
  EXPECT_NE(importNotice(b).find("the last 5 lines of the file were left out"), std::string::npos);
}

TEST(ImportLines, longValuesAreCutAndCounted) {
  const ImportedBook b =
      importText("First Name,City\n" + std::string(75, 'a') + "," + std::string(70, 'c') + "\n");
  EXPECT_EQ(field(b, 0, FieldId::First), std::string(70, 'a'));
  EXPECT_EQ(field(b, 0, FieldId::City), std::string(70, 'c'));
  EXPECT_EQ(b.valuesCut, 1);
  EXPECT_EQ(importNotice(b), "1 value was longer than a field holds, cut to fit.");
}

TEST(ImportLines, notesGoIntoTheNotes) {
  // Notes matched by hand (import field 1 to program field 20).
  const ImportedBook b = importText(
      "First Name,Notes\nAnn,\"line one\nline two\rthree\"\n", {{1, kNotesField}});
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(b.records[0].notes, "line one\r\nline two\r\nthree");
  EXPECT_EQ(field(b, 0, FieldId::Buffer), "");
  const ImportedBook longNotes =
      importText("Notes\n" + std::string(8000, 'x') + "\n", {{0, kNotesField}});
  EXPECT_EQ(longNotes.records.at(0).notes.size(), kMaxNotesChars);
  EXPECT_EQ(longNotes.valuesCut, 1);
}

TEST(ImportFiles, readsFilesAsOtherProgramsWriteThem) {
  const struct {
    const char* what;
    std::string bytes;
    std::string first, last, company, city;
    int replaced;
  } cases[] = {
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF\"First Name\",Last Name\nJos\xC3\xA9,D\xC3\xBCrr\n",
       "Jos\xE9", "D\xFCrr", "", "", 0},
      {"Windows-1252", "First Name,Last Name\nJos\xE9,D\xFCrr\n", "Jos\xE9", "D\xFCrr", "", "", 0},
      {"semicolons", "First Name;Company;City\nAnn;Smith, Jones & Partners;K\xC3\xB6ln\r\n", "Ann",
       "", "Smith, Jones & Partners", "K\xF6ln", 0},
      {"tabs", "First Name\tCity\nAnn\tNew York\n", "Ann", "", "", "New York", 0},
      {"quoted commas, doubled quotes, line breaks",
       "First Name,Company,City\n\"Ann \"\"Bee\"\"\",\"Smith, Jones\",\"New\nYork\"\n",
       "Ann \"Bee\"", "", "Smith, Jones", "New York", 0},
      {"no final line end", "First Name,City\nAnn,Rome", "Ann", "", "", "Rome", 0},
      {"characters beyond Windows-1252", "First Name\n\xE6\x9D\x8E\xE5\xA8\x9C\n", "??", "", "",
       "", 2},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.bytes);
    ASSERT_EQ(b.records.size(), 1u) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::First), c.first) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::Last), c.last) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::Company), c.company) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::City), c.city) << c.what;
    EXPECT_EQ(b.replaced, c.replaced) << c.what;
  }
}

// A contacts export shaped like a common mail program's: its own header names, quoted
// commas, UTF-8 accents, a semicolon inside a value, a multi-line note, a group.
TEST(ImportFiles, mailProgramExportLandsInTheRightFields) {
  const std::string csv =
      "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Work Phone,"
      "Home Phone,Fax Number,Mobile Number,Home Address,Home City,Home State,Home ZipCode,"
      "Home Country,Work Address,Work City,Job Title,Department,Organization,Web Page 1,"
      "Notes,Group\r\n"
      "Zo\xC3\xAB,\"M\xC3\xBCller, Jr.\",Zo\xC3\xAB M\xC3\xBCller,zoe,zoe@example.org,z@work.example,"
      "+49 30 1234,030 555,+49 30 999,0170 1,\"Hauptstra\xC3\x9F\x65 5; Hof\",Berlin,,10115,"
      "Germany,\"Suite 2, Unter den Linden 1\",Berlin,Engineer,R&D,\"Smith, Jones & Partners\","
      "https://zoe.example,\"Met in M\xC3\xA1laga\nLikes tea\",Friends\r\n";
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  match.match(21, kNotesField);  // the user matches Notes by hand
  const ImportedBook b = importRecords(file, match);
  ASSERT_EQ(b.records.size(), 1u);
  const AddressRecord& r = b.records[0];
  const std::pair<FieldId, std::string> expected[] = {
      {FieldId::Group, "Friends"},
      {FieldId::First, "Zo\xEB"},
      {FieldId::Last, "M\xFCller, Jr."},
      {FieldId::Title, "Engineer"},
      {FieldId::Dept, "R&D"},
      {FieldId::Company, "Smith, Jones & Partners"},
      {FieldId::Address1, "Suite 2, Unter den Linden 1"},  // work address first
      {FieldId::City, "Berlin"},
      {FieldId::Zip, "10115"},
      {FieldId::Country, "Germany"},
      {FieldId::Home, "030 555"},
      {FieldId::Office, "+49 30 1234"},
      {FieldId::Mobile, "0170 1"},
      {FieldId::Email, "zoe@example.org"},
      {FieldId::Email2, "z@work.example"},
      {FieldId::WebSite, "https://zoe.example"},
      {FieldId::Fax, "+49 30 999"},
  };
  for (const auto& [f, value] : expected) EXPECT_EQ(r[f], value) << toInt(f);
  EXPECT_EQ(r.notes, "Met in M\xE1laga\r\nLikes tea");

  // The store opens the new book and puts the entry into its group.
  test::TestDir dir;
  const auto path = dir / "zoe.adr";
  test::writeFile(path, *bookBytes(b.records));
  Book book(dir.path());
  ASSERT_EQ(book.open(path), BookStatus::Ok);
  const std::vector<AddressRecord> back = book.recordsInListOrder();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].fields, r.fields);
  EXPECT_EQ(back[0].notes, r.notes);
  ASSERT_EQ(book.names().groups().size(), 2u);
  EXPECT_EQ(book.names().groups()[1].name, "Friends");
}

// Windows-1252 bytes of a text written here in UTF-8.
std::string cp(const char* utf8) { return toCp1252(QString::fromUtf8(utf8)); }

// One line of a file: the values joined by the separator, quoted where needed or always
// (as Outlook writes them).
std::string line(const std::vector<std::string>& values, char separator = ',',
                 bool quoteAll = false) {
  std::string out;
  for (const std::string& v : values) {
    if (!out.empty()) out += separator;
    if (quoteAll) {
      out += '"' + v + '"';
    } else {
      out += csv::quoteValue(v, separator);
    }
  }
  return out + "\r\n";
}

struct ExportFileCase {
  const char* what;
  std::string bytes;
  std::vector<std::pair<FieldId, std::string>> fields;  // Windows-1252, all others empty
  std::vector<std::string> notMatched;
  int valuesLeftOut;
};

// Google Contacts: numbered Type/Value pairs, " ::: " between values of one cell, the work
// address chosen over the home one, and the web site past the 100th column.
ExportFileCase googleContacts() {
  std::vector<std::string> names = {
      "Name", "Given Name", "Family Name", "Birthday", "Group Membership", "E-mail 1 - Type",
      "E-mail 1 - Value", "Phone 1 - Type", "Phone 1 - Value", "Phone 2 - Type",
      "Phone 2 - Value", "Phone 3 - Type", "Phone 3 - Value", "Phone 4 - Type",
      "Phone 4 - Value", "Phone 5 - Type", "Phone 5 - Value"};
  std::vector<std::string> values = {
      "Zoë Groß", "Zoë", "Groß", "1980-02-03", "* myContacts", "* Home",
      "zoe@example.org ::: zoe@work.example", "Mobile", "+49 170 1234", "Work",
      "+49 30 111 ::: +49 30 222", "Work Fax", "+49 30 999", "* Home", "030 555", "Mobile",
      "0171 2"};
  for (const char* part : {"Type", "Formatted", "Street", "City", "PO Box", "Region",
                                  "Postal Code", "Country", "Extended Address"}) {
    names.push_back(std::string("Address 1 - ") + part);
    names.push_back(std::string("Address 2 - ") + part);
  }
  const std::vector<std::string> home = {"Home", "Am Weg 1\nBerlin", "Am Weg 1", "Berlin", "",
                                         "", "10115", "Germany", ""};
  const std::vector<std::string> work = {"Work", "…", "Straße des 17. Juni 135", "Berlin", "",
                                         "Berlin", "10623", "Germany", "Raum 4"};
  for (std::size_t k = 0; k < home.size(); ++k) {
    values.push_back(home[k]);
    values.push_back(work[k]);
  }
  names.insert(names.end(), {"Organization 1 - Name", "Organization 1 - Title"});
  values.insert(values.end(), {"TU Berlin", "Professorin"});
  std::vector<std::string> notMatched = {"Name", "Birthday", "Group Membership",
                                         "E-mail 1 - Type", "Address 1 - Formatted",
                                         "Address 2 - Formatted"};
  for (int n = 1; names.size() < 104; ++n) {
    for (const char* part : {" - Type", " - Value"}) {
      names.push_back("Custom Field " + std::to_string(n) + part);
      values.emplace_back();
      notMatched.push_back(names.back());
    }
  }
  names.insert(names.end(), {"Website 1 - Type", "Website 1 - Value"});
  values.insert(values.end(), {"Profile", "https://zoe.example ::: https://blog.example"});
  notMatched.push_back("Website 1 - Type");
  return {"Google Contacts, UTF-8",
          line(names) + line(values),
          {{FieldId::First, cp("Zoë")},
           {FieldId::Last, cp("Groß")},
           {FieldId::Company, "TU Berlin"},
           {FieldId::Title, "Professorin"},
           {FieldId::Email, "zoe@example.org"},
           {FieldId::Email2, "zoe@work.example"},
           {FieldId::Mobile, "+49 170 1234"},
           {FieldId::Office, "+49 30 111"},
           {FieldId::Office2, "+49 30 222"},
           {FieldId::Fax, "+49 30 999"},
           {FieldId::Home, "030 555"},
           {FieldId::Address1, cp("Straße des 17. Juni 135")},
           {FieldId::Address2, "Raum 4"},
           {FieldId::City, "Berlin"},
           {FieldId::State, "Berlin"},
           {FieldId::Zip, "10623"},
           {FieldId::Country, "Germany"},
           {FieldId::WebSite, "https://zoe.example"},
           {FieldId::Web2, "https://blog.example"}},
          notMatched,
          // The second mobile has no field; the home address's street, city, code, country.
          5};
}

// Thunderbird in German, as published, with its trailing comma; a personal book that has
// only the home address filled.
ExportFileCase thunderbirdGerman(bool utf8) {
  const std::vector<std::string> names = {
      "Vorname", "Nachname", "Anzeigename", "Spitzname", "Primäre E-Mail-Adresse",
      "Sekundäre E-Mail-Adresse", "Messenger-Name", "Tel. dienstlich", "Tel. privat",
      "Fax-Nummer", "Pager-Nummer", "Mobil-Tel.-Nr.", "Privat: Adresse", "Privat: Adresse 2",
      "Privat: Ort", "Privat: Bundesland", "Privat: PLZ", "Privat: Land",
      "Dienstlich: Adresse", "Dienstlich: Adresse 2", "Dienstlich: Ort",
      "Dienstlich: Bundesland", "Dienstlich: PLZ", "Dienstlich: Land", "Arbeitstitel",
      "Abteilung", "Organisation", "Webseite 1", "Webseite 2", "Geburtsjahr", "Geburtsmonat",
      "Geburtstag", "Benutzerdef. 1", "Benutzerdef. 2", "Benutzerdef. 3", "Benutzerdef. 4",
      "Notizen", ""};
  const std::vector<std::string> values = {
      "Jürgen", "Groß", "Jürgen Groß", "", "jg@example.de", "", "", "+49 89 1", "+49 89 2",
      "+49 89 3", "", "+49 171 4", "Rosenweg 2", "Hinterhaus", "Köln", "NRW", "50667",
      "Deutschland", "", "", "", "", "", "", "Einkäufer", "Einkauf", "Müller & Söhne GmbH",
      "https://ms.example", "", "1970", "5", "6", "", "", "", "", "Notiz mit ä", ""};
  std::string bytes = line(names) + line(values);
  if (!utf8) bytes = cp(bytes.c_str());
  return {utf8 ? "Thunderbird, German, UTF-8" : "Thunderbird, German, Windows-1252",
          bytes,
          {{FieldId::First, cp("Jürgen")},
           {FieldId::Last, cp("Groß")},
           {FieldId::Email, "jg@example.de"},
           {FieldId::Office, "+49 89 1"},
           {FieldId::Home, "+49 89 2"},
           {FieldId::Fax, "+49 89 3"},
           {FieldId::Mobile, "+49 171 4"},
           {FieldId::Address1, "Rosenweg 2"},
           {FieldId::Address2, "Hinterhaus"},
           {FieldId::City, cp("Köln")},
           {FieldId::State, "NRW"},
           {FieldId::Zip, "50667"},
           {FieldId::Country, "Deutschland"},
           {FieldId::Title, cp("Einkäufer")},
           {FieldId::Dept, "Einkauf"},
           {FieldId::Company, cp("Müller & Söhne GmbH")},
           {FieldId::WebSite, "https://ms.example"}},
          {"Anzeigename", "Spitzname", "Messenger-Name", "Pager-Nummer", "Geburtsjahr",
           "Geburtsmonat", "Geburtstag", "Benutzerdef. 1", "Benutzerdef. 2", "Benutzerdef. 3",
           "Benutzerdef. 4", "Notizen"},
          0};
}

TEST(ImportFiles, exportsOfCommonProgramsLandInTheirFields) {
  const ExportFileCase cases[] = {
      googleContacts(),
      thunderbirdGerman(true),
      thunderbirdGerman(false),
      {"Outlook, German, every value quoted, Windows-1252: business before home",
       cp((line({"Anrede", "Vorname", "Nachname", "Firma", "Abteilung", "Position",
                 "Straße geschäftlich", "Ort geschäftlich", "Region geschäftlich",
                 "Postleitzahl geschäftlich", "Land/Region geschäftlich", "Straße privat",
                 "Ort privat", "Fax geschäftlich", "Telefon geschäftlich",
                 "Telefon geschäftlich 2", "Telefon privat", "Mobiltelefon", "E-Mail-Adresse",
                 "E-Mail 2: Adresse", "Webseite", "Notizen"},
                ',', true) +
           line({"Frau", "Anna", "Schäfer", "Bäckerei Schäfer", "Verkauf", "Inhaberin",
                 "Marktplatz 3", "Würzburg", "Bayern", "97070", "Deutschland", "Gartenweg 9",
                 "Würzburg", "0931 99", "0931 11", "0931 12", "0931 22", "0160 33",
                 "anna@example.de", "anna@privat.example", "www.example.de", "Kundin"},
                ',', true))
              .c_str()),
       {{FieldId::MrMs, "Frau"},
        {FieldId::First, "Anna"},
        {FieldId::Last, cp("Schäfer")},
        {FieldId::Company, cp("Bäckerei Schäfer")},
        {FieldId::Dept, "Verkauf"},
        {FieldId::Title, "Inhaberin"},
        {FieldId::Address1, "Marktplatz 3"},
        {FieldId::City, cp("Würzburg")},
        {FieldId::State, "Bayern"},
        {FieldId::Zip, "97070"},
        {FieldId::Country, "Deutschland"},
        {FieldId::Fax, "0931 99"},
        {FieldId::Office, "0931 11"},
        {FieldId::Office2, "0931 12"},
        {FieldId::Home, "0931 22"},
        {FieldId::Mobile, "0160 33"},
        {FieldId::Email, "anna@example.de"},
        {FieldId::Email2, "anna@privat.example"},
        {FieldId::WebSite, "www.example.de"}},
       {"Notizen"},
       2},  // the home street and city: the business address came whole
      {"Windows Live Mail, German, semicolons, Windows-1252",
       cp((line({"Vorname", "Nachname", "Name", "E-Mail-Adresse", "Straße privat",
                 "Ort privat", "Postleitzahl privat", "Land/Region privat", "Telefon privat",
                 "Mobiltelefon", "Straße geschäftlich", "Ort geschäftlich",
                 "Telefon geschäftlich", "Firma"},
                ';') +
           line({"Jörg", "Weiß", "Jörg Weiß", "joerg@example.at", "Lindenallee 4, Hof",
                 "Graz", "8010", "Österreich", "+43 316 1", "+43 664 2", "", "", "", ""},
                ';'))
              .c_str()),
       {{FieldId::First, cp("Jörg")},
        {FieldId::Last, cp("Weiß")},
        {FieldId::Email, "joerg@example.at"},
        {FieldId::Address1, "Lindenallee 4, Hof"},
        {FieldId::City, "Graz"},
        {FieldId::Zip, "8010"},
        {FieldId::Country, cp("Österreich")},
        {FieldId::Home, "+43 316 1"},
        {FieldId::Mobile, "+43 664 2"}},
       {"Name"},
       0},
      {"Outlook, French",
       line({"Prénom", "Nom", "Société", "Rue (bureau)", "Ville (bureau)",
             "Code postal (bureau)", "Pays/Région (bureau)", "Téléphone (bureau)",
             "Tél. mobile", "Adresse de messagerie", "Catégories"}) +
           line({"Hélène", "Lefèvre", "Crème & Cie", "12 rue de l'Église", "Lyon", "69002",
                 "France", "04 72 00 00 01", "06 12 34 56 78", "helene@example.fr", "Amis"}),
       {{FieldId::First, cp("Hélène")},
        {FieldId::Last, cp("Lefèvre")},
        {FieldId::Company, cp("Crème & Cie")},
        {FieldId::Address1, cp("12 rue de l'Église")},
        {FieldId::City, "Lyon"},
        {FieldId::Zip, "69002"},
        {FieldId::Country, "France"},
        {FieldId::Office, "04 72 00 00 01"},
        {FieldId::Mobile, "06 12 34 56 78"},
        {FieldId::Email, "helene@example.fr"}},
       {cp("Catégories")},
       0},
      {"Outlook, Spanish",
       line({"Nombre", "Apellidos", "Organización", "Calle del trabajo", "Ciudad de trabajo",
             "Código postal del trabajo", "Teléfono del trabajo", "Teléfono móvil",
             "Dirección de correo electrónico"}) +
           line({"José", "Muñoz", "Añil S.L.", "Calle Mayor 1", "Cádiz", "11001", "956 000 001",
                 "600 000 002", "jose@example.es"}),
       {{FieldId::First, cp("José")},
        {FieldId::Last, cp("Muñoz")},
        {FieldId::Company, cp("Añil S.L.")},
        {FieldId::Address1, "Calle Mayor 1"},
        {FieldId::City, cp("Cádiz")},
        {FieldId::Zip, "11001"},
        {FieldId::Office, "956 000 001"},
        {FieldId::Mobile, "600 000 002"},
        {FieldId::Email, "jose@example.es"}},
       {},
       0},
      {"Outlook, Italian",
       line({"Nome", "Cognome", "Società", "Via (uff.)", "Città (uff.)", "CAP (uff.)",
             "Telefono ufficio", "Cellulare", "Indirizzo posta elettronica"}) +
           line({"Niccolò", "Rossi", "Caffè Srl", "Via Roma 1", "Forlì", "47121", "0543 1",
                 "333 2", "nico@example.it"}),
       {{FieldId::First, cp("Niccolò")},
        {FieldId::Last, "Rossi"},
        {FieldId::Company, cp("Caffè Srl")},
        {FieldId::Address1, "Via Roma 1"},
        {FieldId::City, cp("Forlì")},
        {FieldId::Zip, "47121"},
        {FieldId::Office, "0543 1"},
        {FieldId::Mobile, "333 2"},
        {FieldId::Email, "nico@example.it"}},
       {},
       0},
      {"Outlook, Dutch: names with commas, quoted",
       line({"Voornaam", "Achternaam", "Bedrijf", "Werkadres, straat", "Werkadres, plaats",
             "Werkadres, postcode", "Telefoon op werk", "Mobiele telefoon", "E-mailadres"}) +
           line({"Eefje", "de Vries", "Café Één", "Kerkstraat 1", "Utrecht", "3511 AA",
                 "030 1", "06 2", "eefje@example.nl"}),
       {{FieldId::First, "Eefje"},
        {FieldId::Last, "de Vries"},
        {FieldId::Company, cp("Café Één")},
        {FieldId::Address1, "Kerkstraat 1"},
        {FieldId::City, "Utrecht"},
        {FieldId::Zip, "3511 AA"},
        {FieldId::Office, "030 1"},
        {FieldId::Mobile, "06 2"},
        {FieldId::Email, "eefje@example.nl"}},
       {},
       0},
  };
  for (const ExportFileCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ImportedBook b = importText(c.bytes);
    ASSERT_EQ(b.records.size(), 1u);
    std::array<std::string, kFieldCount> expected{};
    for (const auto& [f, value] : c.fields) expected[static_cast<std::size_t>(toInt(f))] = value;
    for (std::size_t f = 0; f < expected.size(); ++f)
      EXPECT_EQ(b.records[0].fields[f], expected[f]) << "field " << f;
    EXPECT_EQ(b.columnsNotMatched, c.notMatched);
    EXPECT_EQ(b.valuesLeftOut, c.valuesLeftOut);
    EXPECT_EQ(b.valuesCut, 0);
  }
}

TEST(ImportFiles, aQuoteThatNeverClosesIsReportedWithItsLine) {
  const ImportedBook b = importText("First Name,City\nAnn,\"Rome\nBob,Oslo\nCy,Nice\n");
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(b.unclosedQuoteLine, 2);
  EXPECT_EQ(b.linesInUnclosedQuote, 2);
  EXPECT_EQ(importNotice(b),
            "A quote opened in line 2 is never closed: the 2 lines after it went into that one "
            "value and make no entries.");
}

TEST(ImportFiles, aFileThatIsNoTextGivesNothing) {
  const ImportFile file = parseImportFile(std::string("\x7F" "ELF\0\0First Name\nAnn\n", 20));
  EXPECT_FALSE(file.text);
  EXPECT_TRUE(file.names.empty());
  EXPECT_TRUE(file.lines.empty());
}

TEST(ImportBookBytes, writesTheMagicLineAndRefusesTooManyRecords) {
  EXPECT_EQ(*bookBytes({}), "TVXADR_307\n");
  std::vector<AddressRecord> many(static_cast<std::size_t>(adr::kMaxSlots) + 1);
  EXPECT_FALSE(bookBytes(many).has_value());
}

}  // namespace
}  // namespace mv::imp
