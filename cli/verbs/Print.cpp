// print: the pages of a layout to a PDF file, drawn as the printer gets them, or to a
// print queue, with the settings of an optional settings file.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/Cp1252.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCalibration.h"
#include "printing/render/PdfExport.h"
#include "printing/render/PrintQueue.h"
#include "session/AppSession.h"
#include "settings/SettingsFiles.h"
#include "store/Book.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace mv::cli::verbs {
namespace {

std::optional<int> parseMode(const std::string& word) {
  if (word == "default") return printMode::kDefault;
  if (word == "double") return printMode::kDoubleSided;
  if (word == "even") return printMode::kEvenPages;
  if (word == "odd") return printMode::kOddPages;
  return std::nullopt;
}

std::string sheetsText(int sheets) {
  return std::to_string(sheets) + (sheets == 1 ? " sheet" : " sheets");
}

}  // namespace

int print(const Args& args, std::ostream& out, std::ostream& err) {
  int layout = 0;
  std::string pdf;
  std::string settings;
  int from = 1;
  int to = 1 << 30;
  bool ranged = false;
  int mode = printMode::kDefault;
  int copies = 1;
  bool blank = false;
  LabelGrid labelGrid;  // the labels in use are never stored: all, less those named
  std::optional<QPageSize> paper;
  bool landscape = false;
  bool envelopeOptions = false;
  // Whose calibration moves labels and envelopes; without --pdf also the queue printed to.
  std::optional<std::string> printer;
  std::string queue;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--blank") {
      blank = true;
    } else if (a == "--landscape") {
      landscape = envelopeOptions = true;
    } else if (a == "--paper" && hasValue) {
      envelopeOptions = true;
      paper = pageSizeNamed(args[++i]);
      if (!paper) {
        err << "mervane-cli: --paper " << args[i]
            << ": no such paper size; give a name such as Letter, A4, Comm10E, DLE or C5E.\n";
        return kFailure;
      }
    } else if (a == "--layout" && hasValue) {
      layout = std::atoi(args[++i].c_str());
    } else if (a == "--pdf" && hasValue) {
      pdf = args[++i];
    } else if (a == "--settings" && hasValue) {
      settings = args[++i];
    } else if (a == "--printer" && hasValue) {
      queue = args[++i];
      printer = toCp1252(QString::fromStdString(queue));
    } else if (a == "--unused" && hasValue) {
      if (!markUnusedLabels(args[++i], labelGrid)) {
        err << "mervane-cli: --unused takes labels as column,row from 0, such as 0,0;2,9.\n"
            << kPrintUsage;
        return kFailure;
      }
    } else if (a == "--pages" && hasValue) {
      if (std::sscanf(args[++i].c_str(), "%d-%d", &from, &to) != 2 || from < 1 || to < from) {
        err << "mervane-cli: --pages takes a range such as 2-5.\n" << kPrintUsage;
        return kFailure;
      }
      ranged = true;
    } else if (a == "--mode" && hasValue) {
      const std::optional<int> m = parseMode(args[++i]);
      if (!m) {
        err << kPrintUsage;
        return kFailure;
      }
      mode = *m;
    } else if (a == "--copies" && hasValue) {
      char* end = nullptr;
      const long n = std::strtol(args[++i].c_str(), &end, 10);
      if (end == args[i].c_str() || *end != '\0' || n < 1 || n > 999) {
        err << "mervane-cli: --copies takes a number from 1 to 999.\n" << kPrintUsage;
        return kFailure;
      }
      copies = static_cast<int>(n);
    } else {
      err << kPrintUsage;
      return kFailure;
    }
  }
  if ((!isAddressBookLayout(layout) && layout != kLabelsLayout && layout != kEnvelopeLayout) ||
      (pdf.empty() && !printer)) {
    err << kPrintUsage;
    return kFailure;
  }
  // Without a PDF file the pages go to the printer named; one CUPS does not know is said
  // before anything is drawn.
  const bool toQueue = pdf.empty();
  if (toQueue && !printQueueExists(queue)) {
    const std::vector<std::string> queues = printQueueNames();
    std::string known;
    for (const std::string& name : queues) known += (known.empty() ? "" : ", ") + name;
    err << "mervane-cli: --printer " << queue << ": no such print queue"
        << (queues.empty() ? std::string(" (no print queues here)")
                           : " (the queues here: " + known + ")")
        << ".\n";
    return kFailure;
  }
  if (envelopeOptions && layout != kEnvelopeLayout) {
    err << "mervane-cli: --paper and --landscape are for the envelope (--layout 1079).\n";
    return kFailure;
  }
  if (!settings.empty() && !std::filesystem::exists(settings)) {
    err << "mervane-cli: " << settings << " does not exist.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  ensureGuiApplication();
  StderrPrompter prompter(err);
  // The same session the window prints through, with the settings file's settings in
  // force and the book as the window would show it.
  AppSession session{std::filesystem::path(settings)};
  session.loadSettings(prompter, layout);
  AppState& state = session.state();
  state.hideAddresses = blank;
  state.labelGrid = labelGrid;
  session.setBook(&book);
  if (const int unreadable = session.reloadPages(); unreadable > 0)
    err << "mervane-cli: " << unreadableEntriesMessage(unreadable, layout) << "\n";
  const PrinterOffset offset =
      printer ? readPrinterOffset(settings.empty() ? mervaneIni() : std::filesystem::path(settings),
                                  *printer)
              : PrinterOffset{};
  const bool envelopeLandscape =
      layout == kEnvelopeLayout && (landscape || session.envelopeLandscape());
  // The range counts what the print dialog lists: pages, or sheets two on one.
  const SettledRange settled =
      settlePrintRange({!ranged, from, to, mode}, printableCount(session.currentJob(), mode));
  if (settled.refusal) {
    book.close();
    std::string text = *settled.refusal;
    for (char& c : text)
      if (c == '\n') c = ' ';
    err << "mervane-cli: " << text << "\n";
    return kFailure;
  }
  const PageJob job = session.printJob(settled.range, envelopeLandscape, offset);
  const PrintPlan plan = planPrint(job, settled.range, copies);
  const std::optional<QPageSize> sheet =
      layout == kEnvelopeLayout ? std::optional(paper.value_or(QPageSize(QPageSize::Letter)))
                                : std::nullopt;
  if (toQueue) {
    const QueueResult sent = printPlanToQueue(job, plan, queue, "Mervane", sheet);
    book.close();
    if (sent.sheets > 0)
      out << "Sent " << sheetsText(sent.sheets) << " of " << layoutShortNameOfCommand(layout)
          << " (" << pagesText(job.count.pages) << ") to " << queue << "\n";
    // Nobody is there to be asked to turn the stack between the passes, so the backs
    // simply follow as a job of their own, as they follow the fronts in a PDF file.
    if (sent.sheetsOfJob.size() > 1)
      out << "The backs (" << sheetsText(sent.sheetsOfJob[1])
          << ") were sent as a second job, after the fronts ("
          << sheetsText(sent.sheetsOfJob[0]) << ").\n";
    if (!sent.ok()) {
      err << "mervane-cli: " << queue << ": " << sent.error << "\n";
      return kFailure;
    }
  } else {
    const PdfResult written = sheet ? writePlanPdf(job, plan, pdf, *sheet)
                                    : writePlanPdf(job, plan, pdf);
    book.close();
    if (!written.ok) {
      err << "mervane-cli: " << pdf << ": " << written.error << "\n";
      return kFailure;
    }
    out << "Wrote " << sheetsText(written.sheets) << " of " << layoutShortNameOfCommand(layout)
        << " (" << pagesText(job.count.pages) << ") to " << pdf << "\n";
  }
  // Printed all the same, with what fits: the user is told which labels lost lines.
  if (const std::string lost = labelsNotFittingMessage(labelsThatDoNotFit(job)); !lost.empty())
    err << lost << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
