// Damaged and unusual books, through the entry points mervane-cli and the window use:
// every record is read, a command either keeps every record or refuses and leaves the
// file as it was, and only the rescan rewrites a damaged book.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "store/AdrFormat.h"
#include "store/AtomicFile.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "support/CliRunner.h"
#include "support/TestDir.h"

#include "DumpCompare.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <sstream>

namespace mv {
namespace {

using test::readFile;
using test::writeFile;

// Three records as the writer lays them out (the notes hold a CR LF pair), with the given
// line end in place of every line feed outside the notes.
std::string threeRecords(const std::string& lineEnd) {
  std::string bytes = std::string(adr::kMagic) + "\n";
  const char* names[][2] = {{"Ann", "Baker"}, {"Bob", "Carter"}, {"Cy", "Dunn"}};
  int slot = 0;
  for (const auto& name : names) {
    AddressRecord r = test::makeRecord(name[0], name[1], "Acme", "Friends");
    r[FieldId::Other] = "other";
    r.notes = std::string("first\r\nsecond of ") + name[0];
    adr::appendRecord(bytes, r, slot, name[0][0], slot == 1 ? 1 : 0);
    ++slot;
  }
  bytes += "\x16\n3\nMain\n\x15  error!\n";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool inNotes = i > 0 && bytes[i - 1] == '\r';  // the notes' own CR LF
    out += bytes[i] == '\n' && !inNotes ? lineEnd : std::string(1, bytes[i]);
  }
  return out;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class DamagedBook : public test::CliRunner {
 protected:
  std::vector<std::string> dump() {
    EXPECT_EQ(run({"dump", book_}), 0) << err_.str();
    return test::dumpedRecords(out_.str()).value_or(std::vector<std::string>{"unreadable"});
  }
};

TEST_F(DamagedBook, everyRecordIsReadAndKeptOrTheCommandIsRefused) {
  const std::string lf = threeRecords("\n");
  struct Row {
    const char* what;
    std::string bytes;
    int records;         // what check counts and dump shows
    bool damaged;        // sort and save refuse it; the rescan repairs it
    int bobMark;         // the second record's mark as read
  };
  const Row rows[] = {
      {"LF line ends", lf, 3, false, 1},
      // a Windows editor or checkout: the CR is part of every line end
      {"CR LF line ends", threeRecords("\r\n"), 3, false, 1},
      // an old Mac editor: the record start bytes still begin three records
      {"CR line ends", threeRecords("\r"), 3, true, 1},
      // extra start bytes before a start line are one record start, mark kept
      {"extra start bytes", replaced(lf, "\x14 1 B 1\n", "\x14\x14\x14 1 B 1\n"), 3, false, 1},
      // a mark beyond int reads as 0 everywhere
      {"mark beyond int", replaced(lf, "\x14 1 B 1\n", "\x14 1 B 99999999999999999999\n"), 3,
       false, 0},
      // a NUL read as the initial is written back whole, line end and all
      {"NUL initial", replaced(lf, "\x14 1 B 1\n", std::string("\x14 1\0 B 1\n", 10)), 3, false,
       0},
      // a lone start byte at the end is an (empty) record, counted and read alike
      {"lone start byte at the end", lf + "\x14", 4, true, 1},
      // a start byte inside a field line: a fourth record begins there
      {"start byte inside a line", replaced(lf, "Carter\n", "Car\x14ter\n"), 4, true, 1},
      // a start line without its line end runs into the next record
      {"start line without line end", replaced(lf, "\x15\n\x14 2", "\x15\n\x14\x15\n\x14 2"), 4,
       true, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    writeFile(book_, row.bytes);
    ASSERT_EQ(run({"check", book_}), 0) << err_.str();
    EXPECT_NE(out_.str().find("records: " + std::to_string(row.records) + "\n"),
              std::string::npos) << out_.str();
    EXPECT_EQ(out_.str().find("damaged:") != std::string::npos, row.damaged) << out_.str();
    const std::vector<std::string> before = dump();
    ASSERT_EQ(before.size(), static_cast<size_t>(row.records));

    // The window's book says the same.
    {
      Book book(scratch_.path());
      ASSERT_EQ(book.open(book_), BookStatus::Ok);
      EXPECT_EQ(book.isDamaged(), row.damaged);
      EXPECT_EQ(book.names().count(), row.records);
      const auto bob = book.readRecord(1);
      ASSERT_TRUE(bob.has_value());
      EXPECT_EQ(bob->mark, row.bobMark);
      EXPECT_EQ(book.sort(1), row.damaged ? BookStatus::Damaged : BookStatus::Ok);
      EXPECT_EQ(book.save(), row.damaged ? BookStatus::Damaged : BookStatus::Ok);
      if (row.damaged) {
        EXPECT_EQ(readFile(book_), row.bytes);
      }
      writeFile(book_, row.bytes);
    }

    // Sort keeps every record, or refuses and leaves every byte.
    if (row.damaged) {
      EXPECT_EQ(run({"sort", book_, "--by", "last"}), 2);
      EXPECT_NE(err_.str().find("damaged"), std::string::npos) << err_.str();
      EXPECT_EQ(readFile(book_), row.bytes);
    } else {
      EXPECT_EQ(run({"sort", book_, "--by", "last"}), 0) << err_.str();
      EXPECT_EQ(dump(), before);
    }

    // The rescan rewrites any of them and keeps every record's text.
    writeFile(book_, row.bytes);
    EXPECT_EQ(run({"rescan", book_}), 0) << err_.str();
    EXPECT_EQ(test::withoutDupSuffixes(dump()), test::withoutDupSuffixes(before));
    ASSERT_EQ(run({"check", book_}), 0);
    EXPECT_EQ(out_.str().find("damaged:"), std::string::npos) << "repaired";
  }
}

TEST_F(DamagedBook, aCrLfBookReadsTheSameThroughDumpSortAndRescan) {
  writeFile(book_, threeRecords("\r\n"));
  const std::vector<std::string> before = dump();
  writeFile(book_, threeRecords("\n"));
  EXPECT_EQ(dump(), before);  // no CR kept at the end of any field
  writeFile(book_, threeRecords("\r\n"));
  {
    Book book(scratch_.path());
    ASSERT_EQ(book.open(book_), BookStatus::Ok);
    const auto ann = book.readRecord(0);
    ASSERT_TRUE(ann.has_value());
    EXPECT_EQ((*ann)[FieldId::Last], "Baker");
    EXPECT_EQ(ann->notes, "first\r\nsecond of Ann");  // the notes' own pair stays
  }
  ASSERT_EQ(run({"sort", book_, "--by", "company"}), 0) << err_.str();
  EXPECT_EQ(dump(), before);
  ASSERT_EQ(run({"rescan", book_}), 0) << err_.str();
  EXPECT_EQ(dump(), before);
}

TEST_F(DamagedBook, aSaveKilledPartWayLeavesNothingForLong) {
  writeFile(book_, threeRecords("\n"));
  // One left by a save that was killed, one that a running save still holds, and a file
  // of someone else's that merely looks alike.
  const auto stale = dir_ / (std::string(kSaveTempPrefix) + "book.adr.123456");
  const auto held = dir_ / (std::string(kSaveTempPrefix) + "book.adr.654321");
  const auto other = dir_ / "book.adr.123456";
  for (const auto& p : {stale, held, other}) writeFile(p, "half a book");
  const int fd = ::open(held.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);

  Book book(scratch_.path());
  ASSERT_EQ(book.open(book_), BookStatus::Ok);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(held));
  EXPECT_TRUE(std::filesystem::exists(other));

  writeFile(stale, "another killed save");
  ASSERT_EQ(book.save(), BookStatus::Ok);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(held));
  ::close(fd);
}

}  // namespace
}  // namespace mv
