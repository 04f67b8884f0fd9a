#include "printing/render/PdfExport.h"

#include "platform/AtomicFile.h"
#include "printing/render/SheetPrinter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace mv {
namespace {

QPageSize pageSizeOf(int sheetCode) {
  if (sheetCode == kA4Sheet.code) return QPageSize(QPageSize::A4);
  if (sheetCode == kLegalSheet.code) return QPageSize(QPageSize::Legal);
  return QPageSize(QPageSize::Letter);
}

}  // namespace

PdfResult writePagesPdf(const PageJob& job, int fromPage, int toPage,
                        const std::filesystem::path& file, int resolution) {
  const int pages = std::max(1, job.count.pages);
  fromPage = std::clamp(fromPage, 1, pages);
  toPage = std::clamp(toPage, fromPage, pages);
  const bool twoOnOne = twoOnOneActive(job);
  PrintRange range;
  range.first = twoOnOne ? sheetOfPage(fromPage) : fromPage;
  range.last = twoOnOne ? sheetOfPage(toPage) : toPage;
  PageJob oneByOne = job;
  oneByOne.printMode = printMode::kDefault;
  return writePlanPdf(oneByOne, planPrint(oneByOne, range), file, resolution);
}

namespace {

// Qt's names of its page sizes, as its PageSizeId spells them (the enum has no meta
// object to ask).
struct NamedPageSize {
  const char* name;
  QPageSize::PageSizeId id;
};
#define N(id) NamedPageSize{#id, QPageSize::id}
constexpr NamedPageSize kPageSizes[] = {
    N(Letter), N(Legal), N(Executive), N(A0), N(A1), N(A2), N(A3), N(A4), N(A5), N(A6), N(A7),
    N(A8), N(A9), N(A10), N(B0), N(B1), N(B2), N(B3), N(B4), N(B5), N(B6), N(B7), N(B8), N(B9),
    N(B10), N(C5E), N(Comm10E), N(DLE), N(Folio), N(Ledger), N(Tabloid), N(A3Extra), N(A4Extra),
    N(A4Plus), N(A4Small), N(A5Extra), N(B5Extra), N(JisB0), N(JisB1), N(JisB2), N(JisB3),
    N(JisB4), N(JisB5), N(JisB6), N(JisB7), N(JisB8), N(JisB9), N(JisB10), N(AnsiC), N(AnsiD),
    N(AnsiE), N(LegalExtra), N(LetterExtra), N(LetterPlus), N(LetterSmall), N(TabloidExtra),
    N(ArchA), N(ArchB), N(ArchC), N(ArchD), N(ArchE), N(Imperial7x9), N(Imperial8x10),
    N(Imperial9x11), N(Imperial9x12), N(Imperial10x11), N(Imperial10x13), N(Imperial10x14),
    N(Imperial12x11), N(Imperial15x11), N(ExecutiveStandard), N(Note), N(Quarto), N(Statement),
    N(SuperA), N(SuperB), N(Postcard), N(DoublePostcard), N(Prc16K), N(Prc32K), N(Prc32KBig),
    N(FanFoldUS), N(FanFoldGerman), N(FanFoldGermanLegal), N(EnvelopeB4), N(EnvelopeB5),
    N(EnvelopeB6), N(EnvelopeC0), N(EnvelopeC1), N(EnvelopeC2), N(EnvelopeC3), N(EnvelopeC4),
    N(EnvelopeC6), N(EnvelopeC65), N(EnvelopeC7), N(Envelope9), N(Envelope11), N(Envelope12),
    N(Envelope14), N(EnvelopeMonarch), N(EnvelopePersonal), N(EnvelopeChou3), N(EnvelopeChou4),
    N(EnvelopeInvite), N(EnvelopeItalian), N(EnvelopeKaku2), N(EnvelopeKaku3), N(EnvelopePrc1),
    N(EnvelopePrc2), N(EnvelopePrc3), N(EnvelopePrc4), N(EnvelopePrc5), N(EnvelopePrc6),
    N(EnvelopePrc7), N(EnvelopePrc8), N(EnvelopePrc9), N(EnvelopePrc10), N(EnvelopeYou4),
    N(AnsiA), N(AnsiB), N(EnvelopeC5), N(EnvelopeDL), N(Envelope10),
};
#undef N

}  // namespace

std::optional<QPageSize> pageSizeNamed(std::string_view name) {
  const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (const NamedPageSize& size : kPageSizes)
    if (wanted.compare(QLatin1String(size.name), Qt::CaseInsensitive) == 0)
      return QPageSize(size.id);
  // Also the printer's own key ("Env10") or Qt's long name ("Envelope US 10").
  for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
    const auto size = static_cast<QPageSize::PageSizeId>(id);
    if (size != QPageSize::Custom &&
        (QPageSize::key(size).compare(wanted, Qt::CaseInsensitive) == 0 ||
         QPageSize::name(size).compare(wanted, Qt::CaseInsensitive) == 0))
      return QPageSize(size);
  }
  return std::nullopt;
}

PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, int resolution) {
  return writePlanPdf(job, plan, file, pageSizeOf(job.geometry.sheetCode), resolution);
}

PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, const QPageSize& paper,
                       int resolution, const std::function<bool(int)>& keepGoing) {
  PdfResult result;
  // The document is made in memory and replaces the file in one step: a full disk or a
  // folder that cannot be written leaves a PDF already there as it was.
  const PdfDocument document = renderPdf(job, plan.passes, paper, resolution, keepGoing);
  result.sheets = document.sheets;
  result.aborted = document.aborted;
  if (!document.error.empty()) {
    result.error = document.error;
    return result;
  }
  errno = 0;
  if (!writeFileAtomically(file, document.bytes)) {
    result.error = errno != 0 ? std::strerror(errno) : "the file could not be written";
    return result;
  }
  result.ok = true;
  return result;
}

PdfDocument renderPdf(const PageJob& job, std::span<const std::vector<int>> passes,
                      const std::optional<QPageSize>& paper, int resolution,
                      const std::function<bool(int)>& keepGoing) {
  PdfDocument document;
  document.paper = paper.value_or(pageSizeOf(job.geometry.sheetCode));
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(resolution);
    writer.setCreator("Mervane");
    const bool landscape = jobSheetLandscape(job);
    writer.setPageLayout(QPageLayout(document.paper,
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    const PassResult done = paintDocument(writer, job, passes, {}, keepGoing);
    document.sheets = done.sheets;
    document.aborted = done.aborted;
    if (!done.error.empty()) {
      document.error = done.error;
      return document;
    }
  }
  document.bytes.assign(buffer.data().constData(), size_t(buffer.data().size()));
  return document;
}

}  // namespace mv
