// How long the store's operations take on a full book (1,901 entries, every field filled,
// notes of a few hundred characters, twelve groups). Opening, each sort, compaction, saving
// (without its final flush to the disk) and the rescan should each take under 5 ms of CPU
// time; the flush is measured on its own, as it depends on the disk, not on our code.
#include "store/AdrFormat.h"
#include "store/AtomicFile.h"
#include "store/Book.h"
#include "store/Rescan.h"
#include "platform/Prompter.h"

#include "bench/FloorRatio.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace mv {
namespace {

constexpr int kEntries = 1901;

// A deterministic text of `len` characters drawn from the entry number and field.
std::string filler(int entry, int field, size_t len) {
  static const char* words[] = {"North", "alpha", "Baker", "court", "Delta", "eleven",
                                "Frost", "garden", "Hill", "island", "Jones", "kilo"};
  std::string s;
  unsigned n = static_cast<unsigned>(entry * 31 + field * 7);
  while (s.size() < len) {
    s += words[n % 12];
    s += ' ';
    n = n * 1103515245u + 12345u;
  }
  s.resize(len);
  return s;
}

struct Fixture {
  QTemporaryDir dir;
  std::filesystem::path scratch;
  std::filesystem::path bookPath;
  std::string lastKey;

  Fixture() {
    const std::filesystem::path root = dir.path().toStdString();
    scratch = root / "scratch";
    std::filesystem::create_directories(scratch);
    bookPath = root / "big.adr";
    std::string bytes(adr::kMagic);
    bytes += '\n';
    for (int i = 0; i < kEntries; ++i) {
      AddressRecord r;
      for (int f = 0; f < kFieldCount; ++f)
        r.fields[static_cast<size_t>(f)] =
            filler(i, f, static_cast<size_t>(fieldTable()[static_cast<size_t>(f)].inputLimit));
      r[FieldId::Group] = (i % 3 == 0) ? "Main" : "Group " + std::to_string(i % 12);
      r[FieldId::First] = filler(i, 2, 12) + std::to_string(i);  // unique keys
      r.notes = filler(i, 99, 400) + "\r\n" + filler(i, 98, 100);
      r.mark = i % 5 == 0;
      const std::string key = nameKey(r, 0);
      adr::appendRecord(bytes, r, i, savedInitial(key), r.mark);
      lastKey = key;
    }
    bytes += "\x16\n";
    if (!writeFileAtomically(bookPath, bytes)) std::abort();  // no book, nothing to measure
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

std::unique_ptr<Book> openBook() {
  auto book = std::make_unique<Book>(fixture().scratch);
  if (book->open(fixture().bookPath) != BookStatus::Ok) std::abort();
  return book;
}

void OpenAndBuildList(benchmark::State& state) {
  for (auto _ : state) {
    Book book(fixture().scratch);
    benchmark::DoNotOptimize(book.open(fixture().bookPath));
    if (book.names().count() != kEntries) state.SkipWithError("wrong count");
  }
}
BENCHMARK(OpenAndBuildList)->Unit(benchmark::kMillisecond);

void Sort(benchmark::State& state) {
  auto book = openBook();
  for (auto _ : state) benchmark::DoNotOptimize(book->sort(static_cast<int>(state.range(0))));
}
BENCHMARK(Sort)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void Compact(benchmark::State& state) {
  auto book = openBook();
  // The working file is now out of list order.
  if (book->sort(1) != BookStatus::Ok) state.SkipWithError("sort failed");
  for (auto _ : state) {
    book->workingFile().setReorderNeeded(true);
    benchmark::DoNotOptimize(book->compact());
  }
}
BENCHMARK(Compact)->Unit(benchmark::kMillisecond);

void Save(benchmark::State& state) {
  auto book = openBook();
  const std::filesystem::path target = fixture().scratch / "saved.adr";
  for (auto _ : state) benchmark::DoNotOptimize(book->writeBook(target));
}
BENCHMARK(Save)->Unit(benchmark::kMillisecond);

// Save as writeBook does it, less the flush of the bytes and the rename to the disk.
void SaveWithoutFlush(benchmark::State& state) {
  auto book = openBook();
  const std::filesystem::path target = fixture().scratch / "saved.adr";
  for (auto _ : state)
    benchmark::DoNotOptimize(
        writeFileAtomically(target, book->serialize(), Durability::ScratchCopy));
}
BENCHMARK(SaveWithoutFlush)->Unit(benchmark::kMillisecond);

// The flush alone: the saved book's bytes, already written, forced to the disk.
void SaveFlush(benchmark::State& state) {
  auto book = openBook();
  const std::string bytes = book->serialize();
  const std::filesystem::path target = fixture().scratch / "flushed.adr";
  for (auto _ : state) {
    state.PauseTiming();
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    state.ResumeTiming();
    if (!written || ::fdatasync(fd) != 0) state.SkipWithError("write failed");
    if (fd >= 0) ::close(fd);
  }
}
BENCHMARK(SaveFlush)->Unit(benchmark::kMillisecond);

// The floor of a rewrite (compaction, sort, rescan): reading the working file and putting
// the same bytes in its place through a scratch file, with nothing done to them between.
void RewriteFloor(benchmark::State& state) {
  auto book = openBook();
  const std::filesystem::path copy = fixture().scratch / "floor.tmx";
  const std::filesystem::path scratch = fixture().scratch / "floor.~~";
  if (!writeFileAtomically(copy, book->workingFile().readAll(), Durability::ScratchCopy))
    state.SkipWithError("write failed");
  for (auto _ : state) {
    std::string bytes;
    if (!readWholeFile(copy, bytes) ||
        !writeFileAtomically(scratch, bytes, Durability::ScratchCopy))
      state.SkipWithError("write failed");
    std::filesystem::rename(scratch, copy);
  }
}
BENCHMARK(RewriteFloor)->Unit(benchmark::kMillisecond);

void ReadAllInListOrder(benchmark::State& state) {
  auto book = openBook();
  for (auto _ : state) benchmark::DoNotOptimize(book->recordsInListOrder().size());
}
BENCHMARK(ReadAllInListOrder)->Unit(benchmark::kMillisecond);

void ReadOneRecord(benchmark::State& state) {
  auto book = openBook();
  for (auto _ : state) benchmark::DoNotOptimize(book->readRecord(kEntries / 2));
}
BENCHMARK(ReadOneRecord)->Unit(benchmark::kMicrosecond);

// The rescan as the window runs it, its question answered Yes.
struct YesPrompter : Prompter {
  Answer ask(const Message&) override { return Answer::Yes; }
};

void Rescan(benchmark::State& state) {
  auto book = openBook();
  YesPrompter yes;
  for (auto _ : state) benchmark::DoNotOptimize(rescanBook(*book, yes, {}));
}
BENCHMARK(Rescan)->Unit(benchmark::kMillisecond);

void FindName(benchmark::State& state) {
  auto book = openBook();
  const std::string key = fixture().lastKey;  // the worst case: the last entry
  for (auto _ : state) benchmark::DoNotOptimize(book->names().findName(key));
}
BENCHMARK(FindName)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mv

int main(int argc, char** argv) {
  return mv::bench::runWithFloors(argc, argv,
                                  {{"Sort/0", "RewriteFloor"},
                                   {"Sort/1", "RewriteFloor"},
                                   {"Sort/2", "RewriteFloor"},
                                   {"Compact", "RewriteFloor"},
                                   {"Rescan", "RewriteFloor"}});
}
