// The 3-line layout of a 1,901-entry book to PDF (191 pages), against its floor: a plain
// QPainter loop that draws the same texts at the same places into the same kind of PDF.
// The program runs the two alternately and prints their ratio; for peak memory run each alone
// (--benchmark_filter=Mervane or =PlainLoop) under /usr/bin/time -f %M.
#include "printing/PageRenderer.h"
#include "printing/render/PdfExport.h"

#include "bench/FloorRatio.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace mv {
namespace {

constexpr int kEntries = 1901;
constexpr int kResolution = 600;

std::string word(unsigned& n, int minLength, int spread) {
  static const char* syllables[] = {"al", "be", "cor", "dan", "el", "fi", "gor", "han",
                                    "is", "jo", "ka", "lin", "mo", "nor", "ot", "pe"};
  std::string s;
  const int length = minLength + static_cast<int>(n % static_cast<unsigned>(spread));
  while (static_cast<int>(s.size()) < length) {
    n = n * 1103515245u + 12345u;
    s += syllables[(n >> 16) % 16];
  }
  s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::vector<AddressRecord> book() {
  std::vector<AddressRecord> records;
  unsigned n = 20240601;
  for (int i = 0; i < kEntries; ++i) {
    AddressRecord r;
    r[FieldId::First] = word(n, 3, 8);
    r[FieldId::Last] = word(n, 4, 12);
    if (i % 3) r[FieldId::Company] = word(n, 5, 10) + " Ltd";
    r[FieldId::Address1] = std::to_string(i % 900 + 1) + " " + word(n, 4, 10) + " Street";
    r[FieldId::City] = word(n, 4, 8);
    r[FieldId::State] = "OR";
    r[FieldId::Country] = "United States";
    r[FieldId::Zip] = std::to_string(10000 + i * 7 % 89999);
    r[FieldId::Home] = "555-01" + std::to_string(i % 100);
    r[FieldId::Office] = "555-02" + std::to_string(i % 100);
    r[FieldId::Mobile] = "555-03" + std::to_string(i % 100);
    r[FieldId::Email] = r[FieldId::First] + "@example.com";
    records.push_back(std::move(r));
  }
  return records;
}

void MervanePages(benchmark::State& state) {
  const PageBook pages(book(), 0);
  PageJob job;
  job.settings.layout = 1076;
  job.book = &pages;
  job.count = countJobPages(job);
  QTemporaryDir dir;
  for (auto _ : state) {
    const PdfResult r = writePagesPdf(job, 1, job.count.pages,
                                      dir.path().toStdString() + "/pages.pdf", kResolution);
    if (!r.ok) state.SkipWithError(r.error.c_str());
  }
  state.counters["pages"] = job.count.pages;
}
BENCHMARK(MervanePages)->Unit(benchmark::kMillisecond);

// The floor: the same texts (icons, captions, fields), one drawText each, on pages of the
// same size; no rules, no measuring, no settings.
void PlainLoop(benchmark::State& state) {
  const std::vector<AddressRecord> records = book();
  QTemporaryDir dir;
  auto q = [](const std::string& s) { return QString::fromLatin1(s.data(), int(s.size())); };
  for (auto _ : state) {
    QPdfWriter pdf(dir.path() + "/loop.pdf");
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}));
    pdf.setResolution(kResolution);
    QPainter p(&pdf);
    p.setWindow(0, 0, 765, 995);
    QFont font("Arial");
    font.setPixelSize(14);
    p.setFont(font);
    QFont small("Arial");
    small.setPixelSize(10);
    QFont symbols("DejaVu Sans");
    symbols.setPixelSize(18);
    const int pages = kEntries / 10 + 1;
    for (int page = 0; page < pages; ++page) {
      if (page) pdf.newPage();
      p.setFont(symbols);
      p.drawText(50, 60, QString(QChar(0x2709)));
      p.drawText(490, 60, QString(QChar(0x260E)));
      p.setFont(small);
      for (int k = 0; k < 10; ++k) {
        const int y = 60 + k * 87 + 10;
        p.drawText(340, y + 62, "Zip");
        p.drawText(492, y + 1, "Home");
        p.drawText(590, y + 1, "Office");
        p.drawText(492, y + 30, "Mobile");
        p.drawText(590, y + 30, "Fax");
      }
      p.setFont(font);
      for (int k = 0; k < 10; ++k) {
        const size_t i = static_cast<size_t>(page * 10 + k);
        if (i >= records.size()) break;
        const AddressRecord& r = records[i];
        const int y = 60 + k * 87 + 12;
        using F = FieldId;
        p.drawText(50, y + 10, q(r[F::First] + " " + r[F::Last] + " " + r[F::Company] + " "));
        p.drawText(50, y + 39, q(r[F::Address1]));
        p.drawText(50, y + 68, q(r[F::City] + " " + r[F::State] + " " + r[F::Country] + " "));
        p.drawText(360, y + 68, q(r[F::Zip]));
        p.drawText(494, y + 13, q(r[F::Home]));
        p.drawText(590, y + 13, q(r[F::Office]));
        p.drawText(494, y + 42, q(r[F::Mobile]));
        p.drawText(590, y + 42, q(r[F::Fax]));
        p.drawText(494, y + 71, q(r[F::Email]));
      }
    }
    p.end();
  }
}
BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mv

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return mv::bench::runWithFloors(argc, argv, {{"MervanePages", "PlainLoop"}});
}
