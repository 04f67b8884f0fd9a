// A mutation fuzzer over mervane-cli's verbs check, dump, sort, rescan and convert, run
// in-process through the same entry point as the binary. Seeded and deterministic. It
// looks for: a crash or a hang; a modifying command that failed but changed the file; one
// that succeeded but lost or changed a record (dump before and after; the rescan may add
// "[Dup:n]" to first names). Some runs also make a file write fail.
//
// CTest runs a short round. A long round by hand:
//   MERVANE_FUZZ_SECONDS=600 build/bin/cli_tests --gtest_filter='CliFuzz.*'
// MERVANE_FUZZ_SEED picks another sequence; MERVANE_FUZZ_KEEP names a folder that gets
// every finding's book; MERVANE_FUZZ_REPLAY=BOOK runs every verb on one kept book.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "store/AdrFormat.h"
#include "store/AtomicFile.h"
#include "store/data_TestBooks.h"
#include "support/CliRunner.h"
#include "support/TestDir.h"

#include "DumpCompare.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

namespace mv {
namespace {

using Clock = std::chrono::steady_clock;

long envNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// Books to start from: what the writer makes, with CR LF and CR line ends, marks, notes
// with line breaks, a saved trailer, and both older formats.
std::vector<std::string> seedBooks() {
  std::vector<std::string> seeds;
  std::string book = std::string(adr::kMagic) + "\n";
  const char* names[][3] = {{"Ann", "Baker", "Acme"}, {"Bob", "Carter", ""},
                            {"Ann", "Baker", "Acme"}, {"", "", "Zeta Ltd"}};
  int slot = 0;
  for (const auto& n : names) {
    AddressRecord r = test::makeRecord(n[0], n[1], n[2], slot % 2 ? "Friends" : "");
    r[FieldId::Email] = "x@example.org";
    r[FieldId::Other] = std::string(70, 'o');
    r.notes = slot == 1 ? "line one\r\nline two" : "";
    adr::appendRecord(book, r, slot, n[0][0] ? n[0][0] : '_', slot % 2);
    ++slot;
  }
  seeds.push_back(book);
  seeds.push_back(book + "\x16\n4\nMain\nFriends\n\x15  error!\nFriends\n11 0\nAnn Baker Acme\n");
  for (const char* end : {"\r\n", "\r"}) {
    std::string other;
    for (size_t i = 0; i < book.size(); ++i)
      other += book[i] == '\n' && (i == 0 || book[i - 1] != '\r') ? std::string(end)
                                                                   : std::string(1, book[i]);
    seeds.push_back(other);
  }
  std::string old1800 = "TVXADR_1800\n";
  std::string old306 = "TVXADR_306\n";
  for (int i = 0; i < 3; ++i) {
    old1800 += "\x14 0 A\nAnn\nLee\n";
    for (int f = 3; f <= 21; ++f) old1800 += "f" + std::to_string(f) + "\n";
    old1800 += "notes\r\nmore\n\x15\n";
    old306 += "\x14 0 B\nBob\nKing\n";
    for (int f = 3; f <= 24; ++f) old306 += "g" + std::to_string(f) + "\n";
    old306 += "n\n\x15\n";
  }
  seeds.push_back(old1800);
  seeds.push_back(old306);
  seeds.push_back(std::string(adr::kMagic) + "\n");
  return seeds;
}

std::string mutate(std::mt19937& rng, std::string bytes, const std::vector<std::string>& seeds) {
  const auto pick = [&](size_t n) { return n == 0 ? size_t{0} : static_cast<size_t>(rng() % n); };
  static const char kSpecial[] = {'\x14', '\x15', '\x16', '\r', '\n', ' ', '0', '9', '-', '+', '\0'};
  const int steps = 1 + static_cast<int>(rng() % 4);
  for (int s = 0; s < steps; ++s) {
    const size_t at = pick(bytes.size() + 1);
    switch (rng() % 10) {
      case 0:  // flip a byte
        if (!bytes.empty()) bytes[pick(bytes.size())] = static_cast<char>(rng());
        break;
      case 1:
      case 2:  // a byte that structures books
        bytes.insert(at, 1, kSpecial[pick(sizeof kSpecial)]);
        break;
      case 3:  // delete a range
        bytes.erase(at, pick(64) + 1);
        break;
      case 4: {  // repeat a range
        const size_t len = pick(200) + 1;
        bytes.insert(at, bytes.substr(at, len));
        break;
      }
      case 5:  // a number no int holds
        bytes.insert(at, rng() % 2 ? "99999999999999999999" : "-2147483649");
        break;
      case 6:  // cut the file
        bytes.resize(at);
        break;
      case 7: {  // a piece of another book
        const std::string& other = seeds[pick(seeds.size())];
        const size_t from = pick(other.size());
        bytes.insert(at, other.substr(from, pick(300) + 1));
        break;
      }
      case 8:  // a long line
        bytes.insert(at, std::string(pick(200) + 60, 'x'));
        break;
      case 9:  // a line end changed
        for (size_t i = at; i < bytes.size(); ++i)
          if (bytes[i] == '\n') {
            bytes[i] = '\r';
            break;
          }
        break;
    }
  }
  return bytes;
}

struct Finding {
  std::string what;
  std::string book;
};

class CliFuzz : public test::CliRunner {
 protected:
  std::optional<std::vector<std::string>> dump() {
    if (run({"dump", book_}) != 0) return std::nullopt;
    return test::dumpedRecords(out_.str());
  }

  // One case: the book, one modifying verb (perhaps with a failing write). Returns what
  // went wrong, or nothing.
  std::optional<std::string> oneCase(const std::string& bytes, std::mt19937& rng,
                                     int verbChoice = -1, bool faulty = false) {
    test::writeFile(book_, bytes);
    const int checked = run({"check", book_});
    const bool current = checked == 0;
    std::optional<std::vector<std::string>> before;
    if (current) {
      before = dump();
      if (!before) return "check passed but dump failed: " + err_.str();
    }
    if (verbChoice < 0) {
      verbChoice = static_cast<int>(rng() % 5);
      faulty = rng() % 4 == 0;
    }
    std::vector<std::string> args;
    switch (verbChoice) {
      case 0: args = {"sort", book_, "--by", "first"}; break;
      case 1: args = {"sort", book_, "--by", "last"}; break;
      case 2: args = {"sort", book_, "--by", "company"}; break;
      case 3: args = {"rescan", book_}; break;
      default: args = {"convert", book_}; break;
    }
    if (faulty) failFileWriteForTesting(1 + static_cast<int>(rng() % 4));
    const int rc = run(args);
    failFileWriteForTesting(0);
    const std::string afterBytes = test::readFile(book_);
    const std::string verb = args[0] + (faulty ? " (write fault)" : "");
    ++outcomes_[args[0] + (rc == 0 ? " done" : " refused")];
    if (rc != 0) {
      if (afterBytes != bytes) return verb + " failed but changed the file: " + err_.str();
      return std::nullopt;
    }
    if (args[0] == "convert") {
      if (current) {
        if (afterBytes != bytes) return "convert of a current book changed it";
        return std::nullopt;
      }
      if (run({"check", book_}) != 0) return "convert succeeded but the book does not open";
      if (!dump()) return "convert succeeded but dump failed";
      return std::nullopt;
    }
    if (!current) return verb + " succeeded on a file check refused";
    const auto after = dump();
    if (!after) return verb + " succeeded but the book no longer dumps";
    if (args[0] == "rescan") {
      if (test::withoutDupSuffixes(*after) != test::withoutDupSuffixes(*before))
        return "rescan changed or lost a record";
    } else if (*after != *before) {
      return verb + " changed or lost a record";
    }
    return std::nullopt;
  }

  std::filesystem::path book_ = dir_ / "fuzz.adr";
  std::map<std::string, long> outcomes_;
};

TEST_F(CliFuzz, noCommandCrashesHangsOrLosesARecord) {
  if (const char* replay = std::getenv("MERVANE_FUZZ_REPLAY")) {
    const std::string bytes = test::readFile(replay);
    std::mt19937 rng(1);
    for (int verb = 0; verb < 5; ++verb)
      for (const bool faulty : {false, true})
        if (const auto found = oneCase(bytes, rng, verb, faulty)) ADD_FAILURE() << *found;
    return;
  }
  const long seconds = envNumber("MERVANE_FUZZ_SECONDS", 0);
  const long maxRuns = seconds > 0 ? -1 : envNumber("MERVANE_FUZZ_RUNS", 300);
  const unsigned seed = static_cast<unsigned>(envNumber("MERVANE_FUZZ_SEED", 1));
  const char* keep = std::getenv("MERVANE_FUZZ_KEEP");
  std::mt19937 rng(seed);
  const std::vector<std::string> seeds = seedBooks();

  // A case that runs for half a minute is a hang: its book is kept and the run ends.
  std::atomic<long long> caseStarted{0};
  std::atomic<bool> done{false};
  std::string current;
  std::thread watchdog([&] {
    while (!done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      const long long started = caseStarted;
      const long long now = Clock::now().time_since_epoch().count();
      if (started && now - started > std::chrono::nanoseconds(std::chrono::seconds(30)).count()) {
        test::writeFile(std::filesystem::temp_directory_path() / "mervane-fuzz-hang.adr", current);
        std::cerr << "fuzz: a case hangs; its book is in the temporary folder\n";
        std::abort();
      }
    }
  });

  const auto end = Clock::now() + std::chrono::seconds(seconds);
  long runs = 0;
  std::vector<Finding> findings;
  std::map<std::string, int> kinds;
  std::string corpusBook = seeds[0];
  while (maxRuns < 0 ? Clock::now() < end : runs < maxRuns) {
    // Mostly fresh mutations of a seed; sometimes a mutation of the last case, to go deeper.
    const std::string& base = rng() % 3 == 0 ? corpusBook : seeds[rng() % seeds.size()];
    current = mutate(rng, base, seeds);
    corpusBook = current.size() < 200000 ? current : seeds[0];
    caseStarted = Clock::now().time_since_epoch().count();
    const auto found = oneCase(current, rng);
    caseStarted = 0;
    ++runs;
    if (!found) continue;
    const std::string kind = found->substr(0, found->find(':'));
    if (kinds[kind]++ < 3) findings.push_back({*found, current});
    if (keep)
      test::writeFile(std::filesystem::path(keep) / ("finding-" + std::to_string(runs) + ".adr"),
                      current);
  }
  done = true;
  watchdog.join();

  long total = 0;
  for (const auto& [kind, count] : kinds) total += count;
  std::cout << "fuzz: seed " << seed << ", " << runs << " runs, " << total << " findings\n";
  std::cout << "fuzz: outcomes:";
  for (const auto& [outcome, count] : outcomes_) std::cout << " " << outcome << " " << count << ";";
  std::cout << "\n";
  for (const auto& [kind, count] : kinds) std::cout << "fuzz:   " << count << " x " << kind << "\n";
  for (const Finding& f : findings) {
    std::string shown;
    for (const char c : f.book.substr(0, 400)) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 0x20 && u < 0x7F && c != '\\') {
        shown += c;
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", u);
        shown += hex;
      }
    }
    ADD_FAILURE() << f.what << "\nbook: " << shown;
  }
  EXPECT_EQ(total, 0);
}

}  // namespace
}  // namespace mv
