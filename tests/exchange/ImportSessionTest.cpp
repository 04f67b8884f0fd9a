// The import's scratch files and the steps after Finish: the new book is named, written
// and the intermediate book removed, or kept when the user cancels.
#include "exchange/ImportSession.h"

#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv::imp {
namespace {

namespace fs = std::filesystem;

class ImportSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(scratch());
    setScratchDirForTesting(scratch());
    test::writeFile(csv(), "First Name,Last Name\nAnn,Lee\nBo,Ray\n");
  }
  fs::path scratch() const { return dir_ / "scratch"; }
  fs::path csv() const { return dir_ / "people.csv"; }
  fs::path copy() const { return scratch() / kImportCopyName; }
  fs::path intermediate() const { return scratch() / kImportBookName; }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
};

TEST_F(ImportSessionTest, worksFromACopyRemovedWithTheSession) {
  {
    ImportSession session;
    ASSERT_TRUE(session.open(csv()));
    EXPECT_EQ(test::readFile(copy()), test::readFile(csv()));
    EXPECT_EQ(session.stage(), 1);
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.stage(), 2);
    EXPECT_EQ(session.result().records.size(), 2u);
    EXPECT_EQ(test::readFile(intermediate()).substr(0, 11), "TVXADR_307\n");
  }
  EXPECT_FALSE(fs::exists(copy()));
  EXPECT_TRUE(fs::exists(intermediate()));  // until Finish has copied it
}

TEST_F(ImportSessionTest, anUnreadableFileCreatesNothing) {
  test::writeFile(dir_ / "picture.csv", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
  const std::pair<fs::path, const char*> cases[] = {
      {dir_ / "missing.csv", "cannot be read"},
      {dir_.path(), "cannot be read"},
      {dir_ / "picture.csv", "is not a text file"},
  };
  for (const auto& [path, says] : cases) {
    ImportSession session;
    EXPECT_FALSE(session.open(path)) << path;
    EXPECT_NE(session.error().find(says), std::string::npos) << session.error();
    EXPECT_FALSE(fs::exists(copy()));
    EXPECT_FALSE(fs::exists(intermediate()));
  }
}

TEST_F(ImportSessionTest, finishWritesTheNewBookAndRemovesTheIntermediate) {
  ImportSession session;
  ASSERT_TRUE(session.open(csv()));
  ASSERT_TRUE(session.run());
  const std::string bytes = test::readFile(intermediate());
  chooser_.answer(dir_ / "New.ADR.txt");  // no .adr at the end: one is added
  const auto path = saveImportedBook(prompter_, chooser_, {});
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, dir_ / "New.ADR.txt.adr");
  EXPECT_EQ(test::readFile(*path), bytes);
  EXPECT_FALSE(fs::exists(intermediate()));

  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().text, "Next,\n\nCreate a NEW FILE\nto save the imported data.");
  EXPECT_EQ(prompter_.last().caption, "Mervane");
  EXPECT_EQ(prompter_.last().icon, Icon::Information);
  ASSERT_EQ(chooser_.requests().size(), 1u);
  const FileRequest& request = chooser_.requests()[0];
  EXPECT_EQ(request.kind, FileRequest::Kind::Save);
  EXPECT_EQ(request.title, "Enter a NEW file name");
  EXPECT_EQ(request.filter, kBookFilter);
  EXPECT_TRUE(request.overwritePrompt);
}

TEST_F(ImportSessionTest, aNameWithTheExtensionInAnyCaseKeepsIt) {
  ImportSession session;
  ASSERT_TRUE(session.open(csv()));
  ASSERT_TRUE(session.run());
  chooser_.answer(dir_ / "people.ADR");
  EXPECT_EQ(saveImportedBook(prompter_, chooser_, {}), dir_ / "people.ADR");
}

TEST_F(ImportSessionTest, cancelKeepsTheIntermediateAndCreatesNothing) {
  ImportSession session;
  ASSERT_TRUE(session.open(csv()));
  ASSERT_TRUE(session.run());
  chooser_.cancel();
  EXPECT_FALSE(saveImportedBook(prompter_, chooser_, {}));
  EXPECT_TRUE(fs::exists(intermediate()));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);
}

TEST_F(ImportSessionTest, theOpenBookIsNeverReplaced) {
  const fs::path open = dir_ / "open.adr";
  test::writeFile(open, "TVXADR_307\n");
  ImportSession session;
  ASSERT_TRUE(session.open(csv()));
  ASSERT_TRUE(session.run());
  chooser_.answer(dir_ / "open");  // becomes open.adr
  chooser_.answer(dir_ / "other.adr");
  EXPECT_EQ(saveImportedBook(prompter_, chooser_, open), dir_ / "other.adr");
  EXPECT_EQ(test::readFile(open), "TVXADR_307\n");
  ASSERT_EQ(prompter_.shown().size(), 2u);
  EXPECT_NE(prompter_.last().text.find("is the address book that is open"), std::string::npos);
  EXPECT_EQ(chooser_.requests().size(), 2u);
}

TEST_F(ImportSessionTest, anEmptyFileStillGivesABook) {
  test::writeFile(csv(), "");
  ImportSession session;
  ASSERT_TRUE(session.open(csv()));
  EXPECT_EQ(session.match().importCount(), 0);
  ASSERT_TRUE(session.run());
  EXPECT_EQ(test::readFile(intermediate()), "TVXADR_307\n");
}

}  // namespace
}  // namespace mv::imp
