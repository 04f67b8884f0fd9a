// vCard files as phones and mail programs write them, read into records; the book
// written as vCard 4.0 and read back.
#include "exchange/Vcard.h"

#include <gtest/gtest.h>

#include <QString>

namespace mv::vcard {
namespace {

std::string crlf(std::string_view lf) {
  std::string out;
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Contacts of a phone (3.0): grouped properties, repeated TYPE parameters, a folded
// note, two addresses of which the work one wins, a third e-mail that has no field.
const std::string kPhoneCard = crlf(
    "BEGIN:VCARD\n"
    "VERSION:3.0\n"
    "PRODID:-//Apple Inc.//iPhone OS 17.0//EN\n"
    "N:Appleseed;John;Quincy;Dr.;\n"
    "FN:Dr. John Quincy Appleseed\n"
    "ORG:Apple Inc.;Engineering;\n"
    "TITLE:Engineer\n"
    "item1.EMAIL;type=INTERNET;type=pref:John.Appleseed@example.com\n"
    "item2.EMAIL;type=INTERNET:john@home.example\n"
    "EMAIL;type=INTERNET:third@example.com\n"
    "TEL;type=CELL;type=VOICE;type=pref:(555) 123-4567\n"
    "TEL;type=HOME;type=VOICE:555 111 2222\n"
    "TEL;type=WORK;type=VOICE:555 333 4444\n"
    "TEL;type=WORK;type=VOICE:555 333 5555\n"
    "TEL;type=HOME;type=FAX:555 999 0000\n"
    "item3.ADR;type=HOME;type=pref:;;1 Home Road;Hometown;CA;90001;USA\n"
    "item4.ADR;type=WORK:;Suite 5;1 Infinite Loop;Cupertino;CA;95014;United States\n"
    "NOTE:Met at the conference\\nLikes tea\\, not coffee\\; ask abo\n"
    " ut the\n"
    "\tgarden\n"
    "CATEGORIES:Friends,Work\n"
    "URL;type=pref:https://example.com/john\n"
    "END:VCARD\n");

// A mail program's export (3.0, UTF-8): characters Windows-1252 has, one it has not
// and an emoji; an organisation that is the card's name.
const std::string kMailCard =
    "BEGIN:VCARD\n"
    "VERSION:3.0\n"
    "FN:Zo\xC3\xAB M\xC3\xBCller\n"
    "N:M\xC3\xBCller;Zo\xC3\xAB;;;\n"
    "EMAIL;TYPE=INTERNET;TYPE=HOME:zoe@example.org\n"
    "TEL;TYPE=CELL:+49 170 1234567\n"
    "ADR;TYPE=HOME:;;Hauptstra\xC3\x9F"
    "e 5;Berlin;;10115;Germany\n"
    "ORG:\xC5\x81" "ukasz \xF0\x9F\x98\x80 GmbH\n"
    "END:VCARD\n"
    "BEGIN:VCARD\n"
    "VERSION:3.0\n"
    "FN:Smith\\, Jones\\; Partners\n"
    "N:;;;;\n"
    "ORG:Smith\\, Jones\\; Partners;Legal\\\\Tax\n"
    "END:VCARD\n";

// A mail program of the 2.1 days: bare types, QUOTED-PRINTABLE with a soft break and a
// CHARSET, a value in Windows-1252 bytes without one.
const std::string kOldCard = crlf(
    "BEGIN:VCARD\n"
    "VERSION:2.1\n"
    "N;LANGUAGE=de:Gr\xFCn;J\xFCrgen;;Herr\n"
    "FN:J\xFCrgen Gr\xFCn\n"
    "ORG:Contoso;Sales\n"
    "TEL;WORK;VOICE:(425) 555-0100\n"
    "TEL;HOME;VOICE:(425) 555-0101\n"
    "TEL;WORK;FAX:(425) 555-0102\n"
    "TEL;PAGER:(425) 555-0103\n"
    "ADR;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:;;Stra=C3=9Fe 1=0D=0AHinter=\n"
    "haus;K=C3=B6ln;;50667;Deutschland\n"
    "EMAIL;PREF;INTERNET:j@contoso.example\n"
    "NOTE;ENCODING=QUOTED-PRINTABLE:First line=0D=0ASecond line\n"
    "PHOTO;ENCODING=BASE64;TYPE=JPEG:\n"
    " /9j/4AAQSkZJRgABAQ\n"
    "\n"
    "AGENT:\n"
    "BEGIN:VCARD\n"
    "N:Assistant;Ann\n"
    "END:VCARD\n"
    "END:VCARD\n");

// 4.0: cards without N, a tel: URI, an organisation by KIND, a group card.
const std::string kNewCards =
    "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:org\r\nFN:Northwind Traders\r\n"
    "TEL;VALUE=uri;TYPE=work:tel:+1-555-555-0199\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Jane van Dyke\r\nEMAIL:jane@example.com\r\n"
    "TEL;VALUE=uri:tel:+44-20-7946-0000\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:The Team\r\n"
    "MEMBER:urn:uuid:1\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Cher\r\nEND:VCARD";  // left open at the end

// A phone's export starts with a byte-order mark; contacts that are only an e-mail
// address or a number, and one with nothing to be known by.
const std::string kBareCards =
    "\xEF\xBB\xBF" "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:solo@example.com\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nTEL;TYPE=CELL:+46 70 123 45 67\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:nothing else\r\nEND:VCARD\r\n";

// The same text as UTF-16 with its byte-order mark, as some Windows programs write it.
std::string utf16(const std::string& utf8, bool littleEndian) {
  const QString text = QString::fromUtf8(utf8);
  std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (const QChar c : text) {
    const char high = static_cast<char>(c.unicode() >> 8);
    const char low = static_cast<char>(c.unicode() & 0xFF);
    out += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return out;
}

const std::string& at(const imp::ImportedBook& b, std::size_t record, FieldId f) {
  return b.records.at(record)[f];
}

TEST(VcardImport, mapsCardsOfCommonPrograms) {
  const imp::ImportedBook phone = importCards(kPhoneCard);
  const imp::ImportedBook mail = importCards(kMailCard);
  const imp::ImportedBook old = importCards(kOldCard);
  const imp::ImportedBook fresh = importCards(kNewCards);
  const imp::ImportedBook bare = importCards(kBareCards);
  const imp::ImportedBook wideLe = importCards(utf16(kMailCard, true));
  const imp::ImportedBook wideBe = importCards(utf16(kMailCard, false));
  ASSERT_EQ(bare.records.size(), 2u);  // the card with nothing to be known by is left out
  EXPECT_EQ(bare.namelessLeftOut, 1);
  ASSERT_EQ(wideLe.records.size(), 2u);
  ASSERT_EQ(wideBe.records.size(), 2u);
  ASSERT_EQ(phone.records.size(), 1u);
  ASSERT_EQ(mail.records.size(), 2u);
  ASSERT_EQ(old.records.size(), 1u);  // the AGENT card inside is no card of its own
  ASSERT_EQ(fresh.records.size(), 3u);  // the group card is no entry
  const struct {
    const char* what;
    const imp::ImportedBook& book;
    std::size_t record;
    FieldId field;
    std::string expected;
  } cases[] = {
      {"N family", phone, 0, FieldId::Last, "Appleseed"},
      {"N given", phone, 0, FieldId::First, "John"},
      {"N prefix", phone, 0, FieldId::MrMs, "Dr."},
      {"ORG", phone, 0, FieldId::Company, "Apple Inc."},
      {"ORG unit", phone, 0, FieldId::Dept, "Engineering"},
      {"TITLE", phone, 0, FieldId::Title, "Engineer"},
      {"first e-mail", phone, 0, FieldId::Email, "John.Appleseed@example.com"},
      {"second e-mail", phone, 0, FieldId::Email2, "john@home.example"},
      {"cell", phone, 0, FieldId::Mobile, "(555) 123-4567"},
      {"home", phone, 0, FieldId::Home, "555 111 2222"},
      {"work", phone, 0, FieldId::Office, "555 333 4444"},
      {"second work", phone, 0, FieldId::Office2, "555 333 5555"},
      {"fax beats home", phone, 0, FieldId::Fax, "555 999 0000"},
      {"work address wins", phone, 0, FieldId::Address1, "1 Infinite Loop"},
      {"extended address", phone, 0, FieldId::Address2, "Suite 5"},
      {"locality", phone, 0, FieldId::City, "Cupertino"},
      {"region", phone, 0, FieldId::State, "CA"},
      {"code", phone, 0, FieldId::Zip, "95014"},
      {"country", phone, 0, FieldId::Country, "United States"},
      {"first category", phone, 0, FieldId::Group, "Friends"},
      {"URL", phone, 0, FieldId::WebSite, "https://example.com/john"},
      {"UTF-8 to Windows-1252", mail, 0, FieldId::Last, "M\xFCller"},
      {"UTF-8 street", mail, 0, FieldId::Address1, "Hauptstra\xDF" "e 5"},
      {"'?' for what Windows-1252 lacks", mail, 0, FieldId::Company, "?ukasz ? GmbH"},
      {"escaped comma and semicolon", mail, 1, FieldId::Company, "Smith, Jones; Partners"},
      {"escaped backslash", mail, 1, FieldId::Dept, "Legal\\Tax"},
      {"empty N: FN equal to ORG is the company", mail, 1, FieldId::First, ""},
      {"Windows-1252 bytes kept", old, 0, FieldId::Last, "Gr\xFCn"},
      {"2.1 prefix", old, 0, FieldId::MrMs, "Herr"},
      {"2.1 bare WORK", old, 0, FieldId::Office, "(425) 555-0100"},
      {"2.1 bare HOME", old, 0, FieldId::Home, "(425) 555-0101"},
      {"2.1 WORK FAX", old, 0, FieldId::Fax, "(425) 555-0102"},
      {"QUOTED-PRINTABLE soft break, line break a blank", old, 0, FieldId::Address1,
       "Stra\xDF" "e 1 Hinterhaus"},
      {"QUOTED-PRINTABLE with CHARSET", old, 0, FieldId::City, "K\xF6ln"},
      {"KIND:org without N", fresh, 0, FieldId::Company, "Northwind Traders"},
      {"tel: URI without its scheme", fresh, 0, FieldId::Office, "+1-555-555-0199"},
      {"FN split at the last blank: first", fresh, 1, FieldId::First, "Jane van"},
      {"FN split at the last blank: last", fresh, 1, FieldId::Last, "Dyke"},
      {"untyped tel: the first free number", fresh, 1, FieldId::Home, "+44-20-7946-0000"},
      {"one word", fresh, 2, FieldId::Last, "Cher"},
      {"after a byte-order mark, an e-mail alone names the card", bare, 0, FieldId::Last,
       "solo@example.com"},
      {"and is still the e-mail", bare, 0, FieldId::Email, "solo@example.com"},
      {"a number alone names the card", bare, 1, FieldId::Last, "+46 70 123 45 67"},
      {"UTF-16, little-endian", wideLe, 0, FieldId::Last, "M\xFCller"},
      {"UTF-16, big-endian", wideBe, 0, FieldId::Address1, "Hauptstra\xDF" "e 5"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(at(c.book, c.record, c.field), c.expected) << c.what;

  // Folded lines joined, escapes read, line breaks as the notes store them.
  EXPECT_EQ(phone.records[0].notes,
            "Met at the conference\r\nLikes tea, not coffee; ask about thegarden");
  EXPECT_EQ(old.records[0].notes, "First line\r\nSecond line");
  // What found no field: the third e-mail, the home address; the pager.
  EXPECT_EQ(phone.valuesLeftOut, 2);
  EXPECT_EQ(old.valuesLeftOut, 1);
  EXPECT_EQ(mail.replaced, 2);  // the emoji counts once, as in the CSV import
  EXPECT_EQ(phone.replaced, 0);
}

TEST(VcardImport, cutsLongValuesAndTellsOnce) {
  const std::string title(80, 'T');
  const imp::ImportedBook b = importCards("BEGIN:VCARD\nVERSION:4.0\nN:Lee;Ann;;;\nTITLE:" +
                                          title + "\nEMAIL:a@x\nEMAIL:b@x\nEMAIL:c@x\nEND:VCARD\n");
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(at(b, 0, FieldId::Title), std::string(kMaxFieldChars, 'T'));
  EXPECT_EQ(b.valuesCut, 1);
  EXPECT_EQ(imp::importNotice(b, "card was", "cards were"),
            "1 value was longer than a field holds, cut to fit.\n"
            "1 value had no field to go into and left out.");
}

TEST(VcardImport, takes1900Of1901CardsAndMarksRepeatedNames) {
  std::string file;
  for (int i = 0; i < 1901; ++i) {
    file += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Last" + std::to_string(i % 1899) + ";First;;;\r\n" +
            "EMAIL:p" + std::to_string(i) + "@example.com\r\nEND:VCARD\r\n";
  }
  const imp::ImportedBook b = importCards(file);
  EXPECT_EQ(b.records.size(), 1900u);
  EXPECT_EQ(b.linesLeftOut, 1);
  EXPECT_EQ(b.duplicates, 1);  // card 1,900 repeats card 1's name
  EXPECT_EQ(at(b, 1899, FieldId::First), "First[Dup:1900]");
  EXPECT_NE(imp::importNotice(b, "card was", "cards were").find("the last 1 card was left out"),
            std::string::npos);
}

AddressRecord fullRecord() {
  AddressRecord r;
  const char* values[kFieldCount] = {
      "Friends", "Ms.", "Ren\xE9" "e", "O'Hara, Smith; Jr", "Head of \\ things", "R&D",
      "Acme, Inc.", "12 Long Street", "Building 7", "Z\xFCrich", "ZH", "8001", "Switzerland",
      "+41 44 000 00 01", "(555) 123-4567", "555.123.4567", "renee@example.com",
      "https://example.com/a,b;c", "+41 44 000 00 09", "", "", "+41 44 000 00 02",
      "+41 44 000 00 03", "second@example.com", "https://example.org", "", "", ""};
  for (int f = 0; f < kFieldCount; ++f) r.fields[static_cast<std::size_t>(f)] = values[f];
  r.notes = "Line one\r\n" + std::string(60, '\xE9') + ", then; more\r\n\r\nafter a blank line";
  return r;
}

TEST(VcardExport, writesFoldedUtf8Version4) {
  const std::string out = exportCards({fullRecord()});
  EXPECT_EQ(out.substr(0, 26), "BEGIN:VCARD\r\nVERSION:4.0\r\n");
  std::size_t start = 0;
  int folded = 0;
  while (start < out.size()) {
    const std::size_t end = out.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
    const std::string line = out.substr(start, end - start);
    EXPECT_LE(line.size(), 75u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
    // No fold splits a character.
    EXPECT_EQ(QString::fromUtf8(line).toUtf8().toStdString(), line);
    folded += !line.empty() && line.front() == ' ';
    start = end + 2;
  }
  EXPECT_GT(folded, 0);
  EXPECT_NE(out.find("N:O'Hara\\, Smith\\; Jr;Ren\xC3\xA9" "e;;Ms.;\r\n"), std::string::npos);
  EXPECT_NE(out.find("TITLE:Head of \\\\ things\r\n"), std::string::npos);
  // An entry with no name and no company still has a name to show, not an empty FN.
  AddressRecord onlyMail;
  onlyMail[FieldId::Email] = "solo@example.com";
  EXPECT_EQ(exportCards({onlyMail}),
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:solo@example.com\r\n"
            "EMAIL:solo@example.com\r\nEND:VCARD\r\n");
}

TEST(VcardExport, roundTripGivesBackEveryMappedField) {
  AddressRecord company;
  company[FieldId::Company] = "Northwind Traders";
  company[FieldId::Office] = "555 0199";
  AddressRecord streetOnly;
  streetOnly[FieldId::Last] = "Solo";
  streetOnly[FieldId::City] = "Oslo";
  const std::vector<AddressRecord> records{fullRecord(), company, streetOnly};
  const imp::ImportedBook back = importCards(exportCards(records));
  ASSERT_EQ(back.records.size(), records.size());
  EXPECT_EQ(back.replaced + back.valuesCut + back.valuesLeftOut + back.duplicates, 0);
  for (std::size_t r = 0; r < records.size(); ++r) {
    for (int f = 0; f < kFieldCount; ++f) {
      const FieldId id = static_cast<FieldId>(f);
      // Description and the news, FTP and other addresses have no vCard property.
      if (id == FieldId::Describe || id == FieldId::Buffer || id >= FieldId::NewsGroup) continue;
      EXPECT_EQ(back.records[r][id], records[r][id]) << "record " << r << " field " << f;
    }
    EXPECT_EQ(back.records[r].notes, records[r].notes) << r;
  }
}

}  // namespace
}  // namespace mv::vcard
