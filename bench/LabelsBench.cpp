// The 1,901 generated addresses as mailing labels to PDF on 3 x 10 US-letter sheets of
// 2.625 x 1 in labels (64 sheets), against its floor: the plain QPainter loop that draws
// the same lines of text, one drawText each, at 30 labels a page into the same kind of PDF.
// The program runs the two alternately and prints their ratio; for peak memory run each alone
// (--benchmark_filter=MervaneLabels or =LabelsLoop) under /usr/bin/time -f %M.
#include "exchange/Csv.h"
#include "platform/Paths.h"
#include "printing/LabelTemplates.h"
#include "printing/PageRenderer.h"
#include "printing/render/PdfExport.h"
#include "store/AtomicFile.h"

#include "bench/FloorRatio.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <string>
#include <utility>
#include <vector>

namespace mv {
namespace {

constexpr int kResolution = 1200;  // as the floor program writes its PDF

// The generator's columns: First Name, Last Name, Company, Street Address Line 1, City,
// State, Postal Code, Country.
std::vector<AddressRecord> benchAddresses() {
  std::string bytes;
  if (!readWholeFile(MERVANE_LABELS_BENCH_CSV, bytes)) return {};
  csv::Reader reader(bytes);
  std::vector<std::string> values;
  std::vector<AddressRecord> records;
  bool header = true;
  using F = FieldId;
  while (reader.next(values)) {
    if (std::exchange(header, false) || values.size() < 8) continue;
    AddressRecord r;
    r[F::First] = values[0];
    r[F::Last] = values[1];
    r[F::Company] = values[2];
    r[F::Address1] = values[3];
    r[F::City] = values[4];
    r[F::State] = values[5];
    r[F::Zip] = values[6];
    r[F::Country] = values[7];
    records.push_back(std::move(r));
  }
  return records;
}

LabelPageSettings sheet3x10() {
  LabelPageSettings s;
  s.dimensions = {667, 254, 48, 127, 32, 0, 3, 10};  // 2.625 x 1 in, 3 x 10
  s.text.font.face = "Arial";
  return s;
}

void MervaneLabels(benchmark::State& state) {
  const PageBook book(benchAddresses(), 0);
  PageJob job;
  job.settings.layout = kLabelsLayout;
  job.book = &book;
  useLabelSettings(job, sheet3x10());
  QTemporaryDir dir;
  for (auto _ : state) {
    const PdfResult r = writePagesPdf(job, 1, job.count.pages,
                                      dir.path().toStdString() + "/labels.pdf", kResolution);
    if (!r.ok) state.SkipWithError(r.error.c_str());
  }
  state.counters["labels"] = static_cast<double>(book.records().size());
  state.counters["pages"] = job.count.pages;
}
BENCHMARK(MervaneLabels)->Unit(benchmark::kMillisecond);

// The floor: the same lines (name, company in bold, street, "city, state", "zip,
// country"), one drawText each, 15 units apart, 30 labels a page; no fields, options,
// measuring or settings.
void LabelsLoop(benchmark::State& state) {
  const std::vector<AddressRecord> records = benchAddresses();
  QTemporaryDir dir;
  auto q = [](const std::string& s) { return QString::fromLatin1(s.data(), int(s.size())); };
  for (auto _ : state) {
    QPdfWriter pdf(dir.path() + "/loop.pdf");
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}));
    pdf.setResolution(kResolution);
    QPainter p(&pdf);
    p.setWindow(0, 0, 850, 1100);  // hundredths of an inch
    const QRect vp = p.viewport();
    p.setViewport(vp.x(), vp.y(), vp.width(), vp.width() * 1100 / 850);
    QFont font("Arial");
    font.setPixelSize(12);
    QFont bold = font;
    bold.setBold(true);
    int n = 0;
    for (const AddressRecord& r : records) {
      if (n && n % 30 == 0) pdf.newPage();
      const int k = n % 30, col = k % 3, row = k / 3;
      const int x = 19 + col * 275 + 10;
      int y = 50 + row * 100 + 10 + 12;
      using F = FieldId;
      const std::string lines[] = {r[F::First] + " " + r[F::Last], r[F::Company], r[F::Address1],
                                   r[F::City] + ", " + r[F::State], r[F::Zip] + ", " + r[F::Country]};
      for (int i = 0; i < 5; ++i) {
        if (lines[i].empty()) continue;
        p.setFont(i == 1 ? bold : font);
        p.drawText(x, y, q(lines[i]));
        y += 15;
      }
      ++n;
    }
    p.end();
  }
}
BENCHMARK(LabelsLoop)->Unit(benchmark::kMillisecond);

// Size: 2,500 label templates (8 x that for the second run), each a sheet of its own name,
// read into a catalogue of 150 formats. The 8x time is about 8 times the 1x time when
// the import is linear.
void TemplateImport(benchmark::State& state) {
  std::string xml = "<Glabels-templates>";
  for (int64_t i = 0; i < 2500 * state.range(0); ++i)
    xml += "<Template brand=\"Bench\" part=\"P" + std::to_string(i) +
           "\" size=\"A4\"><Label-rectangle width=\"63.5mm\" height=\"38.1mm\">"
           "<Layout nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\"/>"
           "</Label-rectangle></Template>";
  xml += "</Glabels-templates>";
  std::vector<std::string> shipped;
  for (int i = 0; i < 150; ++i)
    shipped.push_back("Shipped;" + std::to_string(i) + " 0, 667,254, 48,127, 699,254, 3,10");
  for (auto _ : state) {
    LabelCatalogue catalogue(shipped);
    const auto result = importLabelTemplates(catalogue, parseLabelTemplates(xml));
    if (result.added != 2500 * state.range(0)) state.SkipWithError("templates were skipped");
  }
}
BENCHMARK(TemplateImport)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mv

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return mv::bench::runWithFloors(argc, argv, {{"MervaneLabels", "LabelsLoop"}});
}
