// The limits of a book, each written, reopened and written again byte for byte: notes of
// exactly the limit, fields of 70 characters, 1,901 records, all 2,000 slots, and every
// byte a field or the notes may hold.
#include "platform/Paths.h"
#include "store/AdrFormat.h"
#include "store/Book.h"
#include "store/session_Fixture.h"

namespace mv {
namespace {

// Every byte 0x01..0xFF that cleanFieldText keeps (not a line break, not 0x14..0x16).
std::string everyStorableByte(bool notes) {
  std::string bytes;
  for (int b = 1; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  return notes ? cleanNotesText(bytes) : cleanFieldText(bytes);
}

AddressRecord full(int i) {
  AddressRecord r;
  for (int f = 0; f < kFieldCount; ++f)
    r.fields[static_cast<size_t>(f)] =
        std::string(kMaxFieldChars - 6, static_cast<char>('a' + (f + i) % 26)) +
        std::to_string(100000 + i).substr(0, 6);
  r[FieldId::Group] = i % 3 ? "" : "Group " + std::to_string(i % 7);
  r.mark = i % 2;
  return r;
}

struct Limit {
  const char* name;
  std::function<std::vector<AddressRecord>()> records;
};

const Limit kLimits[] = {
    {"notesOfExactlyTheLimit",
     [] {
       AddressRecord r = test::person("Ann", "Lee");
       r.notes = std::string(kMaxNotesChars - 2, 'n') + "\r\n";
       AddressRecord s = test::person("Bob", "King");
       s.notes = std::string(kMaxNotesChars, '\xE9');
       return std::vector<AddressRecord>{r, s};
     }},
    {"seventyCharacterFields", [] { return std::vector<AddressRecord>{full(1), full(2)}; }},
    {"nineteenHundredAndOneRecords",
     [] {
       std::vector<AddressRecord> rs;
       for (int i = 0; i < 1901; ++i) rs.push_back(full(i));
       return rs;
     }},
    {"everySlotOfTheBook",
     [] {
       std::vector<AddressRecord> rs;
       for (int i = 0; i < adr::kMaxSlots; ++i) rs.push_back(test::person("P" + std::to_string(i), "Q"));
       return rs;
     }},
    {"everyByteTheBookMayStore",
     [] {
       const std::string field = everyStorableByte(false);
       AddressRecord r = test::person("Ann", "Lee");
       // 70 characters a field: the bytes spread over the fields after the name.
       for (size_t at = 0, f = 3; at < field.size(); at += kMaxFieldChars, ++f)
         r.fields[f] = field.substr(at, kMaxFieldChars);
       r.notes = everyStorableByte(true);
       return std::vector<AddressRecord>{r};
     }},
};

void PrintTo(const Limit& limit, std::ostream* os) { *os << limit.name; }

class Limits : public ::testing::TestWithParam<Limit> {
 protected:
  void SetUp() override { setScratchDirForTesting(scratch.path()); }
  void TearDown() override { setScratchDirForTesting({}); }
  test::TestDir dir, scratch;
};

TEST_P(Limits, survivesSaveAndReopenByteForByte) {
  const auto records = GetParam().records();
  const auto first = dir / "first.adr";
  test::writeFile(first, test::bookBytes(records));

  Book book;
  ASSERT_EQ(book.open(first), BookStatus::Ok);
  ASSERT_FALSE(book.isDamaged());
  ASSERT_EQ(book.saveAs(dir / "second.adr"), BookStatus::Ok);
  const std::string saved = test::readFile(dir / "second.adr");

  Book again;
  ASSERT_EQ(again.open(dir / "second.adr"), BookStatus::Ok);
  const auto back = again.recordsInListOrder();
  ASSERT_EQ(back.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(back[i].fields, records[i].fields) << "record " << i;
    ASSERT_EQ(back[i].notes, records[i].notes) << "record " << i;
    ASSERT_EQ(back[i].mark, records[i].mark) << "record " << i;
  }
  ASSERT_EQ(again.saveAs(dir / "third.adr"), BookStatus::Ok);
  EXPECT_EQ(test::readFile(dir / "third.adr"), saved);
}

INSTANTIATE_TEST_SUITE_P(Book, Limits, ::testing::ValuesIn(kLimits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LimitsOfStorableBytes, onlyLineBreaksAndTheDelimitersAreLeftOut) {
  EXPECT_EQ(everyStorableByte(false).size(), 255u - 5u);  // CR, LF, 0x14, 0x15, 0x16
  EXPECT_EQ(everyStorableByte(true).size(), 255u - 3u);   // notes keep their line breaks
}

}  // namespace
}  // namespace mv
