// Importing the 1,901 generated addresses (1,900 become records): reading the file, the
// copy the dialog works from, matching, duplicates, and the intermediate book on disk.
// The floor is a plain loop that splits the same bytes at commas and line ends.
#include "exchange/ImportSession.h"
#include "exchange/Vcard.h"
#include "platform/Paths.h"
#include "store/AtomicFile.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <string_view>
#include <vector>

namespace mv {
namespace {

const std::filesystem::path kCsv = MERVANE_IMPORT_BENCH_CSV;

void BM_ImportCsv(benchmark::State& state) {
  QTemporaryDir dir;
  setScratchDirForTesting(dir.path().toStdString());
  for (auto _ : state) {
    imp::ImportSession session;
    if (!session.open(kCsv) || !session.run()) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(session.result().records.size());
  }
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

void BM_FloorSplitCsv(benchmark::State& state) {
  std::string bytes;
  if (!readWholeFile(kCsv, bytes)) state.SkipWithError("no CSV");
  for (auto _ : state) {
    std::string again;
    benchmark::DoNotOptimize(readWholeFile(kCsv, again));
    std::vector<std::string_view> values;
    values.reserve(20000);
    std::size_t start = 0;
    for (std::size_t i = 0; i < again.size(); ++i) {
      if (again[i] == ',' || again[i] == '\n') {
        values.emplace_back(again.data() + start, i - start);
        start = i + 1;
      }
    }
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(BM_FloorSplitCsv)->Unit(benchmark::kMillisecond);

// The same addresses as one .vcf file (made by the vCard export of the imported records),
// imported into a new book's bytes; the floor splits the same bytes at line ends.
std::string vcardOfTheBook() {
  QTemporaryDir dir;
  setScratchDirForTesting(dir.path().toStdString());
  imp::ImportSession session;
  if (!session.open(kCsv) || !session.run()) return {};
  return vcard::exportCards(session.result().records);
}

void BM_ImportVcard(benchmark::State& state) {
  const std::string bytes = vcardOfTheBook();
  if (bytes.empty()) state.SkipWithError("no vCard file");
  for (auto _ : state) {
    const imp::ImportedBook result = vcard::importCards(bytes);
    benchmark::DoNotOptimize(imp::bookBytes(result.records));
  }
}
BENCHMARK(BM_ImportVcard)->Unit(benchmark::kMillisecond);

void BM_FloorSplitVcard(benchmark::State& state) {
  const std::string bytes = vcardOfTheBook();
  for (auto _ : state) {
    std::vector<std::string_view> lines;
    lines.reserve(40000);
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        lines.emplace_back(bytes.data() + start, i - start);
        start = i + 1;
      }
    }
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_FloorSplitVcard)->Unit(benchmark::kMillisecond);

// Size: one card whose note is folded 250,000 times (8 x that for the second run), each
// fold ending in '=' before the line's ':' is reached, the worst case for unfolding. The
// 8x time is about 8 times the 1x time when unfolding is linear.
void BM_VcardFolds(benchmark::State& state) {
  std::string bytes = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Folded\r\nNOTE;X-A=";
  for (int64_t i = 0; i < 250000 * state.range(0); ++i) bytes += "\r\n =";
  bytes += ":end\r\nEND:VCARD\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(vcard::parseCards(bytes).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_VcardFolds)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mv

BENCHMARK_MAIN();
