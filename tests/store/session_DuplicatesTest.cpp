// Entries that look alike: found by name, e-mail and telephone, merged with the fields
// chosen, undone until the next save, and the book sound after each step.
#include "session_Fixture.h"

#include "store/Duplicates.h"

namespace mv::test {
namespace {

AddressRecord withContact(AddressRecord r, std::string email, std::string phone,
                          std::string notes = {}) {
  r[FieldId::Email] = std::move(email);
  r[FieldId::Office] = std::move(phone);
  r.notes = std::move(notes);
  return r;
}

class Duplicates : public SessionTest {
 protected:
  // Slots 0..4 in this order.
  void SetUp() override {
    SessionTest::SetUp();
    openBook({
        withContact(person("Ann", "Lee", "", "Friends"), "Ann.Lee@Example.com", "(555) 123-4567",
                    "Met in Rome"),
        withContact(person("Annie", "Lee"), "ann.lee@example.COM", "555.123.4567", "Likes tea"),
        withContact(person("Bob", "Ray"), "bob@example.com", "123"),
        withContact(person("Bob[Dup:4]", "Ray"), "", "12-3"),
        withContact(person("Cy", "Fox"), "cy@example.com", "555 000 1111"),
    });
  }
  Book& book() { return session->book(); }
};

TEST_F(Duplicates, groupsByNameEmailAndDigits) {
  const std::vector<DuplicateGroup> groups = findDuplicates(book());
  ASSERT_EQ(groups.size(), 3u);
  const struct {
    DuplicateReason reason;
    std::string shared;
    std::vector<int> members;
  } expected[] = {
      {DuplicateReason::Name, "bob ray", {2, 3}},  // the import's "[Dup:n]" mark left out
      {DuplicateReason::Email, "ann.lee@example.com", {0, 1}},  // letter case ignored
      {DuplicateReason::Phone, "5551234567", {0, 1}},  // "123" is too short to compare
  };
  for (std::size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i].reason, expected[i].reason) << i;
    EXPECT_EQ(groups[i].shared, expected[i].shared) << i;
    EXPECT_EQ(groups[i].members, expected[i].members) << i;
  }
}

TEST_F(Duplicates, mergedRecordTakesChosenFieldsAndJoinsNotes) {
  const AddressRecord ann = *book().readRecord(0);
  const AddressRecord annie = *book().readRecord(1);
  FieldChoice take = fillEmptyFields(ann, annie);
  EXPECT_FALSE(take[toInt(FieldId::First)]);  // Ann has a first name of her own
  take[toInt(FieldId::First)] = true;
  const AddressRecord m = mergedRecord(ann, annie, take);
  EXPECT_EQ(m[FieldId::First], "Annie");
  EXPECT_EQ(m[FieldId::Group], "Friends");
  EXPECT_EQ(m.notes, "Met in Rome\r\n\r\nLikes tea");
  EXPECT_EQ(mergedRecord(ann, ann, take).notes, "Met in Rome") << "the same notes once";
}

TEST_F(Duplicates, mergeThenUndoRestoresBothEntries) {
  const AddressRecord ann = *book().readRecord(0);
  const AddressRecord annie = *book().readRecord(1);
  FieldChoice take{};
  take[toInt(FieldId::First)] = true;
  DuplicateMerger merger(book());
  ASSERT_EQ(merger.merge(0, 1, mergedRecord(ann, annie, take)), MergeResult::Merged);
  EXPECT_EQ(namesOf(0), (std::vector<std::string>{"Annie Lee ", "Bob Ray ", "Bob[Dup:4] Ray ",
                                                  "Cy Fox "}));
  EXPECT_EQ(namesOf(1), (std::vector<std::string>{"Annie Lee "})) << "kept in Ann's group";
  EXPECT_FALSE(book().readRecord(1)) << "the other entry is gone";
  EXPECT_TRUE(book().workingFile().changed());
  EXPECT_TRUE(findDuplicates(book()).size() == 1u) << "only Bob's pair is left";

  ASSERT_TRUE(merger.canUndo());
  ASSERT_TRUE(merger.undo());
  EXPECT_EQ(*book().readRecord(0), ann);
  EXPECT_EQ(*book().readRecord(1), annie);
  EXPECT_EQ(namesOf(1), (std::vector<std::string>{"Ann Lee "}));
  EXPECT_EQ(findDuplicates(book()).size(), 3u);
  EXPECT_FALSE(merger.canUndo());

  // What was undone saves as it was before the merge.
  s().onCommand(cmd::kSave);
  Book reopened;
  ASSERT_EQ(reopened.open(bookPath), BookStatus::Ok);
  EXPECT_EQ(reopened.names().count(), 5);
}

TEST_F(Duplicates, saveEndsTheUndoAndTheSavedBookHoldsTheMerge) {
  DuplicateMerger merger(book());
  const AddressRecord bob = *book().readRecord(2);
  ASSERT_EQ(merger.merge(2, 3, mergedRecord(bob, *book().readRecord(3), {})),
            MergeResult::Merged);
  s().onCommand(cmd::kSave);
  EXPECT_FALSE(merger.canUndo());
  EXPECT_FALSE(merger.undo());
  Book reopened;
  ASSERT_EQ(reopened.open(bookPath), BookStatus::Ok);
  EXPECT_EQ(reopened.names().count(), 4);
  EXPECT_TRUE(findDuplicates(reopened).size() == 2u) << "Ann's e-mail and telephone";
}

TEST_F(Duplicates, refusesWhatWouldBreakTheBook) {
  DuplicateMerger merger(book());
  const AddressRecord ann = *book().readRecord(0);
  AddressRecord asCy = ann;
  asCy[FieldId::First] = "Cy";
  asCy[FieldId::Last] = "Fox";
  const struct {
    const char* what;
    int keep, other;
    AddressRecord merged;
    MergeResult expected;
  } cases[] = {
      {"the same entry twice", 0, 0, ann, MergeResult::NoSuchEntry},
      {"a slot without a record", 0, 42, ann, MergeResult::NoSuchEntry},
      {"a third entry's name", 0, 1, asCy, MergeResult::NameTaken},
  };
  for (const auto& c : cases) EXPECT_EQ(merger.merge(c.keep, c.other, c.merged), c.expected) << c.what;
  EXPECT_EQ(session->names().count(), 5);
  EXPECT_FALSE(merger.canUndo());

  // An edit of the merged entry since the merge: undo would lose it, so it is refused.
  ASSERT_EQ(merger.merge(0, 1, ann), MergeResult::Merged);
  s().select(entry(0, "Ann Lee "));
  card().type(FieldId::City, "Oslo");
  static_cast<void>(s().storeCard(StoreCommand::Commit));
  EXPECT_FALSE(merger.canUndo());
  EXPECT_EQ(book().readRecord(0)->fields[toInt(FieldId::City)], "Oslo");
}

TEST(PhoneDigits, keepsDigitsOnly) {
  EXPECT_EQ(phoneDigits("(555) 123-4567"), "5551234567");
  EXPECT_EQ(phoneDigits("555.123.4567"), "5551234567");
  EXPECT_EQ(phoneDigits("+1 555 123 4567 ext. 9"), "155512345679");
}

}  // namespace
}  // namespace mv::test
