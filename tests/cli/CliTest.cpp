// mervane-cli's verbs, run through the same entry point as the binary.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "store/AtomicFile.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "support/CliRunner.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <sstream>

namespace mv {
namespace {

using test::addRecord;
using test::makeRecord;
using test::readFile;
using test::TestDir;
using test::writeFile;

class CliTest : public test::CliRunner {
 protected:
  void SetUp() override {
    CliRunner::SetUp();
    Book book(scratch_.path());
    ASSERT_EQ(book.createNew(book_), BookStatus::Ok);
    AddressRecord john = makeRecord("John", "Smith", "", "Friends", 1);
    john.notes = "say \"hi\"\r\n\x01\\ caf\xE9";
    addRecord(book, john);
    addRecord(book, makeRecord("Amy", "Young", "Zeta"));
    addRecord(book, makeRecord("Zoe", "Adams", "", "friends"));
    ASSERT_EQ(book.save(), BookStatus::Ok);  // list order: Amy, John, Zoe
  }


};

TEST_F(CliTest, checkTellsCurrentOlderAndForeignFilesApart) {
  EXPECT_EQ(run({"check", book_}), 0);
  EXPECT_EQ(out_.str(),
            "first word: TVXADR_307\nrecords: 3\ngroup: Main (3)\ngroup: Friends (2)\n");
  writeFile(dir_ / "old.adr", "TVXADR_1800\n");
  EXPECT_EQ(run({"check", dir_ / "old.adr"}), 1);
  writeFile(dir_ / "text.adr", "name,phone\n");
  struct Row {
    std::vector<std::string> args;
    const char* error;  // a part of the one sentence on stderr
  };
  const Row rows[] = {
      {{"check", dir_ / "missing.adr"}, "does not exist"},
      {{"check", dir_ / "text.adr"}, "is not a Mervane address book"},
      {{"list", dir_ / "old.adr"}, "convert it first"},
      {{"dump", dir_.path()}, "cannot be read"},  // a folder
      {{"list", book_, "--sort", "age"}, "--sort first, last or company"},
      {{"sort", book_}, "--by first, last or company"},
      {{"frobnicate", book_}, "usage"},
      {{"check", book_, book_}, "usage: mervane-cli check BOOK\n"},  // one book only
  };
  for (const Row& row : rows) {
    EXPECT_EQ(run(row.args), 2) << row.args[0];
    EXPECT_NE(err_.str().find(row.error), std::string::npos) << err_.str();
    EXPECT_TRUE(out_.str().empty()) << row.args[0];
  }
}

TEST_F(CliTest, listShowsMainThenEachGroupInListOrder) {
  EXPECT_EQ(run({"list", book_}), 0);
  EXPECT_EQ(out_.str(),
            "Main\n  Amy Young Zeta\n  John Smith \n  Zoe Adams \n"
            "Friends\n  John Smith \n  Zoe Adams \n");
  EXPECT_EQ(run({"list", book_, "--sort", "last"}), 0);
  EXPECT_EQ(out_.str(),
            "Main\n  Adams Zoe \n  Smith John \n  Young Amy Zeta\n"
            "Friends\n  Adams Zoe \n  Smith John \n");
}

TEST_F(CliTest, dumpWritesEveryRecordAsUtf8Json) {
  EXPECT_EQ(run({"dump", book_}), 0);
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out_.str()), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << out_.str();
  const QJsonArray records = doc.array();
  ASSERT_EQ(records.size(), 3);
  const QJsonObject amy = records[0].toObject();
  EXPECT_EQ(amy["slot"].toInt(), 0);
  EXPECT_EQ(amy["initial"].toString(), "A");
  EXPECT_EQ(amy["mark"].toInt(), 0);
  const QJsonObject john = records[1].toObject();
  EXPECT_EQ(john["mark"].toInt(), 1);
  const QJsonArray fields = john["fields"].toArray();
  ASSERT_EQ(fields.size(), kFieldCount);
  EXPECT_EQ(fields[0].toString(), "Friends");
  EXPECT_EQ(fields[2].toString(), "John");
  // Quotes, backslashes, control characters and CP1252 letters come back as they were.
  EXPECT_EQ(john["notes"].toString(), QString::fromUtf8("say \"hi\"\r\n\x01\\ caf\xC3\xA9"));
  // The text is UTF-8: the euro sign (0x80 in CP1252) as its three bytes.
  Book book(scratch_.path());
  ASSERT_EQ(book.open(book_), BookStatus::Ok);
  addRecord(book, makeRecord("Euro\x80", "Sign"));
  ASSERT_EQ(book.save(), BookStatus::Ok);
  EXPECT_EQ(run({"dump", book_}), 0);
  EXPECT_NE(out_.str().find("Euro\xE2\x82\xAC"), std::string::npos);
}

TEST_F(CliTest, sortSavesTheBookInTheNewOrder) {
  EXPECT_EQ(run({"sort", book_, "--by", "company"}), 0);
  EXPECT_EQ(out_.str(), "sorted 3 entries by company\n");
  // By company: John Smith (none), Zeta Amy Young, Zoe Adams; listed in that file order.
  EXPECT_EQ(run({"list", book_}), 0);
  EXPECT_EQ(out_.str(),
            "Main\n  John Smith \n  Amy Young Zeta\n  Zoe Adams \n"
            "Friends\n  John Smith \n  Zoe Adams \n");
  EXPECT_NE(readFile(book_).find("\x14 0 J 1\nFriends\n"), std::string::npos);  // mark kept
}

TEST_F(CliTest, convertBringsAnOlderBookUpToDate) {
  EXPECT_EQ(run({"convert", book_}), 0);
  EXPECT_EQ(out_.str(), "already in the current format\n");
  // One TVXADR_1800 record: First, Last, Mr/Ms... (21 lines), then its notes.
  std::string old = "TVXADR_1800\n\x14 0 A\nAnn\nLee\n";
  for (int i = 3; i <= 21; ++i) old += "\n";
  old += "old notes\n\x15\n";
  writeFile(dir_ / "old.adr", old);
  EXPECT_EQ(run({"convert", dir_ / "old.adr"}), 0) << err_.str();
  EXPECT_EQ(run({"list", dir_ / "old.adr"}), 0);
  EXPECT_EQ(out_.str(), "Main\n  Ann Lee \n");
  EXPECT_EQ(readFile(dir_ / "old.adr").substr(0, 11), "TVXADR_307\n");
}

// An old book of `records` TVXADR_1800 records.
std::string oldBook(int records) {
  std::string old = "TVXADR_1800\n";
  for (int r = 0; r < records; ++r) {
    old += "\x14 0 A\nAnn" + std::to_string(r) + "\nLee\n";
    for (int i = 3; i <= 21; ++i) old += "\n";
    old += "notes\r\n\x15\n";
  }
  return old;
}

TEST_F(CliTest, convertWritesNothingWhenTheBookWouldBeTooLarge) {
  const std::string old = oldBook(2001);
  writeFile(dir_ / "old.adr", old);
  EXPECT_EQ(run({"convert", dir_ / "old.adr"}), 2);
  EXPECT_NE(err_.str().find("holds 2001 entries"), std::string::npos) << err_.str();
  EXPECT_EQ(readFile(dir_ / "old.adr"), old);
  // Still the old book, it can be converted once it is made smaller.
  EXPECT_EQ(run({"check", dir_ / "old.adr"}), 1);
}

TEST_F(CliTest, convertLeavesTheOldBookWhicheverFileWriteFails) {
  const std::string old = oldBook(3);
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    writeFile(dir_ / "old.adr", old);
    failFileWriteForTesting(n);
    const int rc = run({"convert", dir_ / "old.adr"});
    const bool faulted = !fileWriteFailurePending();
    failFileWriteForTesting(0);
    if (!faulted) {  // fewer than n files written: every write had its turn
      EXPECT_EQ(rc, 0) << err_.str();
      EXPECT_GT(n, 1);
      break;
    }
    // The failure is told as it is, and it is true: the file is the old book.
    EXPECT_EQ(rc, 2);
    EXPECT_NE(err_.str().find("unchanged"), std::string::npos) << err_.str();
    EXPECT_EQ(readFile(dir_ / "old.adr"), old);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              2);  // the book made in SetUp and the old one
  }
  EXPECT_EQ(run({"list", dir_ / "old.adr"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "Main\n  Ann0 Lee \n  Ann1 Lee \n  Ann2 Lee \n");
}

// A verb reads a book and writes it back in one go; another copy that saves the book in
// between keeps its version, and the verb says so with exit code 2.
TEST_F(CliTest, aVerbLeavesABookWrittenByAnotherProgramWhileItRan) {
  const std::string original = readFile(book_);
  const std::string theirs = original + "\n";  // what another copy saved meanwhile
  struct Row {
    std::vector<std::string> args;
    bool meanwhile;  // the file written while the verb ran
    int code;
  };
  const Row rows[] = {
      {{"sort", book_, "--by", "last"}, true, 2},
      {{"rescan", book_}, true, 2},
      {{"convert", dir_ / "old.adr"}, true, 2},
      // Only a change of the bytes counts: a file merely touched is sorted.
      {{"sort", book_, "--by", "company"}, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const std::filesystem::path target = row.args[1];
    writeFile(target, row.args[0] == "convert" ? oldBook(2) : original);
    const std::string written = row.meanwhile ? theirs : readFile(target);
    beforeNextDiskCheckForTesting([&] {
      writeFile(target, written);
      std::filesystem::last_write_time(target, std::filesystem::file_time_type::clock::now());
    });
    EXPECT_EQ(run(row.args), row.code) << err_.str();
    beforeNextDiskCheckForTesting({});
    if (row.meanwhile) {
      EXPECT_EQ(readFile(target), written);
      EXPECT_TRUE(out_.str().empty()) << out_.str();
      EXPECT_NE(err_.str().find("was changed by another program while"), std::string::npos)
          << err_.str();
    } else {
      EXPECT_NE(readFile(target), written);
    }
  }
}

TEST_F(CliTest, theBinaryReportsThroughItsExitCodeAndStreams) {
  const QString program = QCoreApplication::applicationDirPath() + "/mervane-cli";
  if (!QFileInfo::exists(program)) GTEST_SKIP() << "mervane-cli is not built";
  QProcess cli;
  cli.start(program, {"list", QString::fromStdString(book_.string())});
  ASSERT_TRUE(cli.waitForFinished(10000));
  EXPECT_EQ(cli.exitCode(), 0);
  EXPECT_TRUE(cli.readAllStandardOutput().startsWith("Main\n  Amy Young Zeta\n"));
  cli.start(program, {"check", QString::fromStdString((dir_ / "missing.adr").string())});
  ASSERT_TRUE(cli.waitForFinished(10000));
  EXPECT_EQ(cli.exitCode(), 2);
  EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
  EXPECT_TRUE(cli.readAllStandardError().contains("does not exist"));
}

TEST_F(CliTest, rescanMarksRepeatedNamesAndSaves) {
  EXPECT_EQ(run({"rescan", book_}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "File looks okay :-)\nrescanned 3 entries\n");
  // A second John Smith: the first of the two in list order gets the suffix.
  {
    Book book(scratch_.path());
    ASSERT_EQ(book.open(book_), BookStatus::Ok);
    addRecord(book, makeRecord("John", "Smith", "", "", 0));
    ASSERT_EQ(book.save(), BookStatus::Ok);  // both keys "John Smith " are now listed
  }
  EXPECT_EQ(run({"rescan", book_}), 0) << err_.str();
  EXPECT_NE(out_.str().find("Duplicate entries were found!!"), std::string::npos);
  EXPECT_TRUE(err_.str().empty()) << err_.str();  // a report, not a failure
  EXPECT_EQ(run({"list", book_}), 0);
  EXPECT_EQ(out_.str(),
            "Main\n  Amy Young Zeta\n  John[Dup:1] Smith \n  John Smith \n  Zoe Adams \n"
            "Friends\n  John[Dup:1] Smith \n  Zoe Adams \n");
}

TEST_F(CliTest, rescanToldAsAFailureWhicheverFileStepFails) {
  const std::string before = readFile(book_);
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    failFileStepForTesting(n);
    const int rc = run({"rescan", book_});
    const bool hit = fileStepsTakenForTesting() >= n;
    failFileStepForTesting(0);
    if (!hit) {  // every step had its turn
      EXPECT_EQ(rc, 0) << err_.str();
      EXPECT_GT(n, 3);
      break;
    }
    // Opening, the scratch copy, the working file taking it over, the save: each failure
    // ends the command with stderr only, and the book as it was.
    EXPECT_EQ(rc, 2);
    EXPECT_TRUE(out_.str().empty()) << out_.str();
    EXPECT_NE(err_.str().find("mervane-cli: "), std::string::npos) << err_.str();
    EXPECT_EQ(readFile(book_), before);
  }
}

// The help lists each verb, and each verb it lists runs: without its arguments it answers
// with its own usage, not with the whole listing an unknown verb gets.
TEST_F(CliTest, helpListsEveryVerbThatRuns) {
  ASSERT_EQ(run({"--help"}), 0);
  const std::string usage = out_.str();
  EXPECT_TRUE(err_.str().empty());
  struct Row {
    std::vector<std::string> args;
    int code;
    bool onStdout;  // else the listing goes to stderr
  };
  const Row rows[] = {
      {{"-h"}, 0, true},
      {{"help"}, 0, true},
      {{}, 2, false},                     // nothing to do
      {{"frobnicate", book_}, 2, false},  // no such verb
      {{"--help", "sort"}, 2, false},     // help takes nothing after it
  };
  for (const Row& row : rows) {
    EXPECT_EQ(run(row.args), row.code) << ::testing::PrintToString(row.args);
    EXPECT_EQ((row.onStdout ? out_ : err_).str(), usage);
    EXPECT_TRUE((row.onStdout ? err_ : out_).str().empty());
  }

  std::vector<std::string> listed;
  std::istringstream lines(usage);
  for (std::string line; std::getline(lines, line);) {
    for (const std::string lead : {"usage: mervane-cli ", "       mervane-cli "}) {
      if (line.starts_with(lead))
        listed.push_back(line.substr(lead.size(), line.find(' ', lead.size()) - lead.size()));
    }
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"check", "list", "dump", "sort", "rescan",
                                              "convert", "import", "duplicates", "export",
                                              "sync", "print", "labels-import", "labels-choose",
                                              "calibrate", "calibration-sheet", "layouts"}));
  // The one verb that takes nothing refuses anything.
  EXPECT_EQ(run({"layouts"}), 0);
  EXPECT_NE(out_.str().find("1076  3 Line Address  (Addressbook, 3 Line per subject)\n"),
            std::string::npos);
  listed.pop_back();
  listed.push_back("layouts x");
  for (const std::string& verb : listed) {
    out_.str("");
    const auto words = verb == "layouts x" ? std::vector<std::string>{"layouts", "x"}
                                           : std::vector<std::string>{verb};
    EXPECT_EQ(run(words), 2) << verb;
    EXPECT_TRUE(err_.str().starts_with("usage: mervane-cli " + words[0])) << err_.str();
    EXPECT_NE(err_.str(), usage);
    EXPECT_TRUE(out_.str().empty()) << verb;
  }
}

}  // namespace
}  // namespace mv
