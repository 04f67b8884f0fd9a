// The editing rules as the user meets them on the card: Add, Change, Delete, Add group,
// Clear card, and the commit when another name is selected.
#include "session_Fixture.h"

#include <functional>

namespace mv::test {
namespace {

using Editing = SessionTest;

constexpr const char* kNoFile =
    "There is no file selected\nto keep the addresses\n\nPlease Open or select a New File";
constexpr const char* kLimit =
    "Addressbook file is reaching its limit\n\t\tPlease save this file and open a new file for "
    "other entries.";

TEST_F(Editing, storingWithoutABookAsksForAFile) {
  card().type(FieldId::First, "John");
  EXPECT_EQ(s().storeCard(StoreCommand::Commit), StoreResult::None);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, kNoFile);
  EXPECT_EQ(prompter.last().icon, Icon::Information);
}

TEST_F(Editing, addOnAnUntouchedCardClearsItAndAsksForTheName) {
  openBook({person("Ann", "Lee", "", "Friends")});
  s().select(entry(NamesList::kMain, "Ann Lee "));
  dialogs.names.push_back(NameParts{"John", "Smith", ""});

  s().onCommand(cmd::kAddName);
  ASSERT_EQ(dialogs.prefills.size(), 1u);
  EXPECT_EQ(dialogs.prefills[0].first, "");  // the card was cleared first
  EXPECT_EQ(namesOf(NamesList::kMain), (std::vector<std::string>{"Ann Lee ", "John Smith "}));
  const EntryRef added = s().selection();
  ASSERT_TRUE(added.isName());
  EXPECT_EQ(s().names().name(added)->text, "John Smith ");
  EXPECT_EQ(recordAt(added)[FieldId::Last], "Smith");
  EXPECT_TRUE(s().book().workingFile().changed());
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Editing, addOfAnExistingNameSaysSoAndAddsNothing) {
  openBook({person("John", "Smith")});
  card().type(FieldId::First, "john");  // the key is compared without regard to case
  card().type(FieldId::Last, "SMITH");
  s().onCommand(cmd::kAddNameTool);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text,
            "john SMITH \nIs already added\n\nTo Add a NEW item:\n\tEnter a new 'FirstName', "
            "'LastName', and 'Company'      \n\nTo Change THIS item:\n\tClick on Change");
  EXPECT_EQ(prompter.last().caption, "This item is already added");
  EXPECT_EQ(s().names().count(), 1);
}

TEST_F(Editing, cancellingAddOnAnUntouchedCardGivesTheCardBack) {
  openBook({person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  dialogs.names.push_back(std::nullopt);
  s().onCommand(cmd::kAddName);
  EXPECT_EQ(card().text(FieldId::First), "John");
  EXPECT_FALSE(card().anyModified());
  EXPECT_EQ(s().names().count(), 1);
}

TEST_F(Editing, changeAfterEditingOnlyThePhoneReplacesInPlace) {
  openBook({person("Ann", "Lee"), person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  const EntryRef before = s().selection();
  const int slot = slotOf(before);
  const long oldOffset = s().book().workingFile().offset(slot);

  card().type(FieldId::Home, "555-0199");
  s().onCommand(cmd::kChangeName);
  EXPECT_TRUE(prompter.shown().empty());
  EXPECT_EQ(s().selection(), before);
  EXPECT_EQ(slotOf(before), slot);
  EXPECT_EQ(namesOf(NamesList::kMain), (std::vector<std::string>{"Ann Lee ", "John Smith "}));
  EXPECT_GT(s().book().workingFile().offset(slot), oldOffset);  // a new version appended
  EXPECT_EQ(recordAt(before)[FieldId::Home], "555-0199");
  EXPECT_FALSE(card().anyModified());
}

TEST_F(Editing, changeWithAnEditedLastNameAsksAndYesAddsASecondRecord) {
  openBook({person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  card().type(FieldId::Last, "Smythe");

  prompter.answer(Answer::No);
  s().onCommand(cmd::kChangeTool);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text,
            "John Smythe \nDoes not Exists\n\nDo you want to Add it to the Names List      ");
  EXPECT_EQ(prompter.last().caption, "Add?");
  EXPECT_EQ(prompter.last().buttons, Buttons::YesNo);
  EXPECT_EQ(s().names().count(), 1);

  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kChangeName);
  EXPECT_EQ(namesOf(NamesList::kMain), (std::vector<std::string>{"John Smith ", "John Smythe "}));
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "John Smith "))[FieldId::Last], "Smith");
  EXPECT_EQ(s().names().name(s().selection())->text, "John Smythe ");
}

TEST_F(Editing, changeToAnotherGroupMovesTheNameThere) {
  openBook({person("John", "Smith", "", "Friends"), person("Ann", "Lee", "", "Work")});
  s().select(entry(NamesList::kMain, "John Smith "));
  s().onCommand(4500 + 2);  // "&Change to" Work
  EXPECT_EQ(card().text(FieldId::Group), "Work");
  s().onCommand(cmd::kChangeName);
  // The list is rebuilt in the book's order; a group left without names is gone.
  const int work = s().names().findGroup("Work");
  EXPECT_EQ(namesOf(work), (std::vector<std::string>{"John Smith ", "Ann Lee "}));
  EXPECT_EQ(s().names().findGroup("Friends"), -1);
  EXPECT_EQ(s().selection(), entry(work, "John Smith "));
  EXPECT_EQ(card().text(FieldId::First), "John");
}

TEST_F(Editing, changeWithoutANameOnTheCardExplains) {
  openBook({person("John", "Smith")});
  s().onCommand(cmd::kChangeName);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text,
            "Plese Click on a name in the list\nModify address, numbers, and so on ...\nThen "
            "click on Change Button again");
  EXPECT_EQ(prompter.last().caption, "not enough info");
}

TEST_F(Editing, selectingAnotherNameStoresTheEditedCard) {
  openBook({person("Ann", "Lee"), person("John", "Smith")});
  s().select(entry(NamesList::kMain, "Ann Lee "));
  card().type(FieldId::City, "Springfield");
  s().select(entry(NamesList::kMain, "John Smith "));
  EXPECT_EQ(card().text(FieldId::First), "John");
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "Ann Lee "))[FieldId::City], "Springfield");
}

TEST_F(Editing, committingAnEditedNameKeepsTheOldEntryAndAddsTheNewOne) {
  // The name is the entry's identity: a renamed card is a new entry and the old one stays.
  // "John Smith " only begins like "John Smith Acme": that other person is left alone.
  openBook({person("John", "Smith", "Acme"), person("Mary", "Jones")});
  s().select(entry(NamesList::kMain, "Mary Jones "));
  card().type(FieldId::First, "John");
  card().type(FieldId::Last, "Smith");
  card().type(FieldId::Home, "555-0101");
  s().select(entry(NamesList::kMain, "John Smith Acme"));
  EXPECT_TRUE(prompter.shown().empty());
  EXPECT_EQ(namesOf(NamesList::kMain),
            (std::vector<std::string>{"John Smith ", "John Smith Acme", "Mary Jones "}));
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "John Smith Acme"))[FieldId::Home], "");
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "Mary Jones "))[FieldId::Home], "");
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "John Smith "))[FieldId::Home], "555-0101");
  EXPECT_EQ(notices, (std::vector<std::string>{"Added as a new entry: John Smith ; the entry "
                                               "before the change is kept"}));
}

TEST_F(Editing, onlyARenamedEntryStoredWithoutAQuestionIsAnnounced) {
  const std::string renamed =
      "Added as a new entry: Ann Leigh ; the entry before the change is kept";
  struct Row {
    const char* what;
    std::function<void()> edit;   // on the card of "Ann Lee "
    std::function<void()> store;
    std::vector<std::string> notices;
  };
  const Row rows[] = {
      {"renamed, then another name chosen", [&] { card().type(FieldId::Last, "Leigh"); },
       [&] { s().select(entry(NamesList::kMain, "Bob Ray ")); }, {renamed}},
      {"renamed, then saved", [&] { card().type(FieldId::Last, "Leigh"); },
       [&] { s().onCommand(cmd::kSave); }, {renamed}},
      {"only the phone changed", [&] { card().type(FieldId::Home, "555-0101"); },
       [&] { s().select(entry(NamesList::kMain, "Bob Ray ")); }, {}},
      // Change asks before it adds, so the user knows already.
      {"renamed, then Change answered Yes", [&] { card().type(FieldId::Last, "Leigh"); },
       [&] {
         prompter.answer(Answer::Yes);
         s().onCommand(cmd::kChangeName);
       },
       {}},
      // A name typed on a group's empty card is new, not renamed.
      {"a new name on a cleared card",
       [&] {
         s().onCommand(cmd::kClearCard);
         card().type(FieldId::First, "Zoe");
       },
       [&] { s().select(entry(NamesList::kMain, "Bob Ray ")); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    openBook({person("Ann", "Lee"), person("Bob", "Ray")});
    notices.clear();
    s().select(entry(NamesList::kMain, "Ann Lee "));
    row.edit();
    row.store();
    EXPECT_EQ(notices, row.notices);
    EXPECT_TRUE(entry(NamesList::kMain, "Ann Lee ").isValid());  // the old entry stays
  }
}

TEST_F(Editing, selectingAGroupStoresTheEditedCardInsteadOfWipingIt) {
  openBook({person("Ann", "Lee", "", "Friends")});
  const int friends = s().names().findGroup("Friends");
  s().select({friends, -1});
  card().type(FieldId::First, "Zoe");  // a new name typed on the group's empty card
  s().select({NamesList::kMain, -1});
  EXPECT_EQ(namesOf(friends), (std::vector<std::string>{"Ann Lee ", "Zoe  "}));
  EXPECT_EQ(s().selection(), (EntryRef{NamesList::kMain, -1}));
  EXPECT_EQ(card().text(FieldId::First), "");
}

TEST_F(Editing, addWithAGroupOnTheCardSelectsTheNameUnderThatGroup) {
  openBook({person("Ann", "Lee")});
  card().type(FieldId::Group, "Club");
  card().type(FieldId::First, "Zoe");
  s().onCommand(cmd::kAddName);
  const int club = s().names().findGroup("Club");
  ASSERT_GT(club, 0);
  EXPECT_EQ(s().selection(), entry(club, "Zoe  "));
  EXPECT_TRUE(entry(NamesList::kMain, "Zoe  ").isValid());
}

TEST_F(Editing, theChosenNameStaysChosenWhenStoringRenumbersTheBook) {
  openBook({person("Ann", "Lee"), person("Bob", "Roe"), person("John", "Smith")});
  s().select(entry(NamesList::kMain, "Bob Roe "));
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kDeleteName);
  s().select(entry(NamesList::kMain, "Ann Lee "));
  card().type(FieldId::First, "Zed");  // a new key: storing it needs a fresh slot
  // The slots have run out: the next new record compacts the book first, and the
  // records are numbered again from 0.
  s().book().names().setNextSlot(adr::kMaxSlots);
  s().select(entry(NamesList::kMain, "John Smith "));
  EXPECT_EQ(namesOf(NamesList::kMain),
            (std::vector<std::string>{"Ann Lee ", "John Smith ", "Zed Lee "}));
  ASSERT_TRUE(s().selection().isName());
  EXPECT_EQ(s().names().name(s().selection())->text, "John Smith ");
  EXPECT_EQ(card().text(FieldId::First), "John");
}

TEST_F(Editing, storedTextNeverBreaksTheFile) {
  openBook({});
  card().type(FieldId::First, "Jo\r\nhn");
  card().type(FieldId::City, "Spring\x14" "field\x16");
  card().typeNotes("first\r\nsecond\x15");
  s().onCommand(cmd::kAddName);
  const EntryRef e = entry(NamesList::kMain, "John  ");
  ASSERT_TRUE(e.isValid());
  const AddressRecord r = recordAt(e);
  EXPECT_EQ(r[FieldId::City], "Springfield");
  EXPECT_EQ(r.notes, "first\r\nsecond");
  // The working file still holds exactly one record start after the magic line.
  const std::string bytes = s().book().workingFile().readAll();
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\x14'), 1);
}

TEST_F(Editing, overNineteenHundredRecordsAddAndChangeAreRefusedButTheCommitStores) {
  std::vector<AddressRecord> many;
  for (int i = 0; i < 1901; ++i) many.push_back(person("P" + std::to_string(i), "X"));
  openBook(many);

  card().type(FieldId::First, "New");
  s().onCommand(cmd::kAddName);
  s().onCommand(cmd::kChangeName);
  ASSERT_EQ(prompter.shown().size(), 2u);
  for (const auto& m : prompter.shown()) {
    EXPECT_EQ(m.text, kLimit);
    EXPECT_EQ(m.caption, "Too many entries");
    EXPECT_EQ(m.icon, Icon::Stop);
  }
  EXPECT_EQ(s().names().count(), 1901);

  s().select(entry(NamesList::kMain, "P0 X "));  // the commit on selection still stores
  EXPECT_EQ(s().names().count(), 1902);
  EXPECT_TRUE(entry(NamesList::kMain, "New  ").isValid());
}

TEST_F(Editing, deletingANameUnderAGroupRemovesBothEntriesFoundBySlot) {
  // Two different records share the text "John Smith " (a book from before a rescan):
  // the twin under "Main" of the deleted group entry is the one with the same slot.
  openBook({person("John", "Smith"), person("John", "Smith", "", "Friends"),
            person("Ann", "Lee", "", "Friends")});
  const int friends = s().names().findGroup("Friends");
  const EntryRef victim = entry(friends, "John Smith ");
  const int slot = slotOf(victim);
  ASSERT_EQ(slot, 1);
  s().select(victim);
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kDeleteName);

  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "John Smith ");
  EXPECT_EQ(prompter.last().caption, "Delete this name?");
  EXPECT_EQ(namesOf(friends), (std::vector<std::string>{"Ann Lee "}));
  ASSERT_EQ(s().names().count(), 2);
  EXPECT_EQ(s().names().mainNames()[0].slot, 0);  // the other John Smith stays
  EXPECT_EQ(s().book().workingFile().offset(slot), WorkingFile::kDeleted);
  // The entry after the deleted one is selected and shown.
  EXPECT_EQ(s().selection(), entry(friends, "Ann Lee "));
  EXPECT_EQ(card().text(FieldId::First), "Ann");
  EXPECT_TRUE(s().book().workingFile().changed());
}

TEST_F(Editing, deleteAnswersByWhatIsSelected) {
  s().onCommand(cmd::kDeleteTool);  // nothing selected yet
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         "Select an item in the Names List\nthen click on Delete again"}));
  EXPECT_EQ(prompter.last().caption, "item not found");
  openBook({person("John", "Smith", "", "Friends")});
  const int empty = s().book().names().addGroup("Empty");
  struct Row {
    const char* what;
    EntryRef selected;
    std::vector<std::string> messages;
    int groupsAfter;
  };
  const Row rows[] = {
      {"Main", {NamesList::kMain, -1},
       {"Can not delete the \"Main\" group\nThis group contains all names in the addressbook"},
       3},
      {"a group with names", {1, -1},
       {"Can't delete a group without first deleting the names in it"}, 3},
      {"an empty group goes without a question", {empty, -1}, {}, 2},
  };
  for (const auto& row : rows) {
    prompter.clear();
    if (row.selected.isValid()) s().select(row.selected);
    s().onCommand(cmd::kDeleteGroup);
    EXPECT_EQ(texts(), row.messages) << row.what;
    EXPECT_EQ(s().names().groupCount(), row.groupsAfter) << row.what;
  }
  EXPECT_EQ(s().names().findGroup("Empty"), -1);
}

TEST_F(Editing, addGroupAddsANewNameOnceAndIgnoresBlanks) {
  openBook({person("John", "Smith", "", "Friends")});
  dialogs.groups = {std::string("Club"), std::string("FRIENDS"), std::string("   "),
                    std::nullopt};
  for (int i = 0; i < 4; ++i) s().onCommand(cmd::kAddGroup);
  EXPECT_EQ(dialogs.groupAsks, 4);
  ASSERT_EQ(s().names().groupCount(), 3);
  EXPECT_EQ(s().names().group(2).name, "Club");
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Editing, clearCardSelectsTheGroupSoTheNextNameJoinsIt) {
  openBook({person("John", "Smith", "", "Friends")});
  const int friends = s().names().findGroup("Friends");
  s().select(entry(friends, "John Smith "));
  s().onCommand(cmd::kClearCard);
  EXPECT_EQ(s().selection(), (EntryRef{friends, -1}));
  EXPECT_EQ(card().text(FieldId::First), "");
  EXPECT_EQ(card().text(FieldId::Group), "Friends");
  EXPECT_TRUE(s().isCommandEnabled(cmd::kDeleteGroup));  // a group is selected
}

TEST_F(Editing, enablingFollowsTheSelectionAndTheOpenBook) {
  EXPECT_FALSE(s().isCommandEnabled(cmd::kSave));
  EXPECT_FALSE(s().isCommandEnabled(cmd::kBackup));
  EXPECT_FALSE(s().isCommandEnabled(cmd::kDeleteName));
  openBook({person("John", "Smith")});
  EXPECT_TRUE(s().isCommandEnabled(cmd::kSaveAs));
  s().select(entry(NamesList::kMain, "John Smith "));
  EXPECT_TRUE(s().isCommandEnabled(cmd::kChangeName));
  EXPECT_FALSE(s().isCommandEnabled(cmd::kDeleteGroup));  // a name, not a group
}

}  // namespace
}  // namespace mv::test

namespace mv {
namespace {

// The notes hold 7,989 characters as stored, where a line end is CR LF and counts twice.
TEST(NotesCapacity, lineEndsCountTwiceAndWhatDoesNotFitIsLeftOut) {
  struct Row {
    const char* what;
    size_t characters, lineEnds, replaced;
    std::string text;
    std::string fitted;
  };
  const std::vector<Row> rows = {
      {"empty notes take anything short", 0, 0, 0, "ab\r\ncd", "ab\ncd"},
      {"one character left", 7988, 0, 0, "xy", "x"},
      {"a line end needs two", 7988, 0, 0, "\nx", ""},
      {"line ends already there count twice", 7981, 8, 0, "x", ""},
      {"a selection that is typed over gives its room back", 7989, 0, 3, "abcd", "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const int room = notesRoom(row.characters, row.lineEnds, row.replaced);
    EXPECT_EQ(room, 7989 - static_cast<int>(row.characters + row.lineEnds - row.replaced));
    EXPECT_EQ(fitNotes(row.text, room), row.fitted);
  }
}

}  // namespace
}  // namespace mv
