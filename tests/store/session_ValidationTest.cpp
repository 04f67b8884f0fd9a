#include "store/BookValidation.h"

#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "store/AtomicFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

constexpr const char* kOldQuestion =
    "Old AddressBook Format!\nFile is about to be modified\n\nYou can click cancel, quite TVX, "
    "and make a backup copy    \nof your AddressBook file if you haven't done so.\n\nClick OK "
    "to Convert";

class Validation : public ::testing::Test {
 protected:
  void SetUp() override { setScratchDirForTesting(scratch.path()); }
  void TearDown() override { setScratchDirForTesting({}); }
  test::TestDir scratch;
  test::TestDir dir;
  ScriptedPrompter prompter;
};

TEST_F(Validation, outcomesByFirstWordAndAnswer) {
  const std::string oldRecord = "\x14 0 J\nJohn\n";
  struct Row {
    const char* what;
    std::string content;
    std::optional<Answer> answer;  // the old-format question's answer, if asked
    BookCheck expected;
    bool converted;  // file now starts with the current magic
  };
  const Row rows[] = {
      {"current book passes without a word", "TVXADR_307\n", {}, BookCheck::Passed, true},
      {"306 converted after OK", "TVXADR_306\n" + oldRecord, Answer::Ok, BookCheck::Converted,
       true},
      {"1800 converted after OK", "TVXADR_1800\n" + oldRecord, Answer::Ok,
       BookCheck::Converted, true},
      {"Cancel keeps the old book", "TVXADR_1800\n" + oldRecord, Answer::Cancel,
       BookCheck::Refused, false},
  };
  for (const auto& row : rows) {
    prompter.clear();
    const auto path = dir / "book.adr";
    test::writeFile(path, row.content);
    if (row.answer) prompter.answer(*row.answer);
    EXPECT_EQ(checkBookFile(path, prompter), row.expected) << row.what;
    EXPECT_EQ(test::readFile(path).rfind("TVXADR_307\n", 0) == 0, row.converted) << row.what;
    if (row.answer) {
      ASSERT_EQ(prompter.shown().size(), 1u) << row.what;
      const Message& m = prompter.last();
      EXPECT_EQ(m.text, kOldQuestion);
      EXPECT_EQ(m.caption, "Mervane");
      EXPECT_EQ(m.buttons, Buttons::OkCancel);
      EXPECT_EQ(m.icon, Icon::Information);
    } else {
      EXPECT_TRUE(prompter.shown().empty()) << row.what;
    }
  }
}

TEST_F(Validation, anotherFirstWordIsRefusedWithTheInvalidFormatMessage) {
  const auto path = dir / "notes.txt";
  test::writeFile(path, "TVXADR\nhello");  // the bare word is not convertible either
  EXPECT_EQ(checkBookFile(path, prompter), BookCheck::Refused);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text,
            "Can not open:\n" + pathText(path) + "\n\nThis is not a valid Mervane file format");
  EXPECT_EQ(prompter.last().caption, "Invalid file format");
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_EQ(test::readFile(path), "TVXADR\nhello");
}

TEST_F(Validation, absentOrUnreadablePathsAreRefusedSilently) {
  EXPECT_EQ(checkBookFile("", prompter), BookCheck::Refused);
  EXPECT_EQ(checkBookFile(" leading-blank.adr", prompter), BookCheck::Refused);
  EXPECT_EQ(checkBookFile(dir / "missing.adr", prompter), BookCheck::Refused);
  EXPECT_FALSE(validateBookFile(dir / "missing.adr", prompter));
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Validation, aFailedConversionIsReportedAndKeepsTheOldFile) {
  const auto path = dir / "old.adr";
  const std::string old = "TVXADR_306\n\x14 0 J\nJohn\nSmith\n";
  test::writeFile(path, old);
  prompter.answer(Answer::Ok);
  failNextAtomicWriteForTesting(5);  // the disk fills up while the book is replaced
  EXPECT_EQ(checkBookFile(path, prompter), BookCheck::Refused);
  EXPECT_EQ(test::readFile(path), old);
  ASSERT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_NE(prompter.last().text.find(pathText(path)), std::string::npos);
}

}  // namespace
}  // namespace mv
