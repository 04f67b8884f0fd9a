#include "store/CardModel.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

AddressRecord recordWithSecondSet() {
  AddressRecord r;
  r[FieldId::First] = "John";
  r[FieldId::Buffer] = "stale copy";  // field 20 of a file is never shown
  r[FieldId::Home2] = "555-0102";
  r[FieldId::Web2] = "www.smith.example";
  r[FieldId::Other] = "other";
  r.notes = "line 1\r\nline 2";
  return r;
}

TEST(CardModel, loadShowsTheChosenSecondSetFieldInTheSharedEditor) {
  CardModel card;
  card.showSecondSet(toInt(FieldId::Web2));
  card.load(recordWithSecondSet());
  EXPECT_EQ(card.text(FieldId::Buffer), "www.smith.example");
  EXPECT_EQ(card.text(FieldId::Home2), "555-0102");
  EXPECT_EQ(card.notes(), "line 1\r\nline 2");
  EXPECT_FALSE(card.anyModified());
}

TEST(CardModel, switchingHome2ToWeb2AndBackKeepsBothValues) {
  CardModel card;
  card.load(AddressRecord{});
  card.showSecondSet(toInt(FieldId::Home2));
  card.type(FieldId::Buffer, "555-1111");
  card.showSecondSet(toInt(FieldId::Web2));
  EXPECT_EQ(card.text(FieldId::Buffer), "");
  card.type(FieldId::Buffer, "www.example.org");
  card.showSecondSet(toInt(FieldId::Home2));
  EXPECT_EQ(card.text(FieldId::Buffer), "555-1111");
  EXPECT_EQ(card.text(FieldId::Web2), "www.example.org");
  EXPECT_TRUE(card.isModified(FieldId::Web2));

  const AddressRecord r = card.toRecord();
  EXPECT_EQ(r[FieldId::Home2], "555-1111");
  EXPECT_EQ(r[FieldId::Web2], "www.example.org");
  EXPECT_EQ(r[FieldId::Buffer], "555-1111");  // a copy of the field shown when stored
}

TEST(CardModel, storedTextIsCleanAndFitsAFileLine) {
  struct Row {
    const char* what;
    std::string typed;
    std::string stored;
  };
  const Row rows[] = {
      {"line break pasted into a field", "Jo\r\nhn", "John"},
      {"record delimiters", "\x14Sm\x15it\x16h", "Smith"},
      {"longer than a file line", std::string(80, 'x'), std::string(70, 'x')},
  };
  for (const auto& row : rows) {
    CardModel card;
    card.type(FieldId::Last, row.typed);
    EXPECT_EQ(card.toRecord()[FieldId::Last], row.stored) << row.what;
  }
  CardModel card;
  card.typeNotes("keep\r\nbreaks\x14 but not \x16markers");
  EXPECT_EQ(card.toRecord().notes, "keep\r\nbreaks but not markers");
}

TEST(CardModel, undoAfterClearGivesBackWhatWasShown) {
  CardModel card;
  card.load(recordWithSecondSet());
  card.put(FieldId::Group, "Friends");
  card.clear();
  EXPECT_EQ(card.text(FieldId::First), "");
  EXPECT_EQ(card.text(FieldId::Group), "Friends");  // Clear card keeps the group
  card.undoLastEdit();
  EXPECT_EQ(card.text(FieldId::First), "John");
  EXPECT_EQ(card.notes(), "line 1\r\nline 2");
  EXPECT_FALSE(card.anyModified());
}

}  // namespace
}  // namespace mv
