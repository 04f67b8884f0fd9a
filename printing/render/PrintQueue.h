#pragma once
// The print queues of the system's CUPS server, and a print plan sent to one of them
// without a window: each pass becomes a print job of its own, its sheets drawn into a PDF
// exactly as writePlanPdf draws them (a CUPS queue takes PDF and runs the printer's own
// filters, the same way a QPrinter's job reaches it on this system).

#include "printing/PrintJob.h"

#include <QPageSize>

#include <optional>
#include <string>
#include <vector>

namespace mv {

// The queues CUPS offers this user, by name; none when no print server answers.
std::vector<std::string> printQueueNames();
// Whether CUPS has a queue of that name.
bool printQueueExists(const std::string& queue);

struct QueueResult {
  int sheets = 0;           // sheets sent, over all jobs
  std::vector<int> sheetsOfJob;  // the sheets of each job sent, in order
  std::string error;        // why a job was not sent (the jobs before it were)
  bool ok() const noexcept { return error.empty(); }
};

// Sends each non-empty pass of the plan to the queue as a print job titled `title`; the
// backs of a double-sided plan are "title (back pages)", so a queue that names its output
// after the title does not put them over the fronts. The paper is the job's sheet unless
// one is given. Needs a QGuiApplication.
QueueResult printPlanToQueue(const PageJob& job, const PrintPlan& plan, const std::string& queue,
                             const std::string& title,
                             const std::optional<QPageSize>& paper = std::nullopt);

// The title of the pass'th print job of a plan (both the window and the command line).
std::string printJobTitle(const std::string& title, int pass);

}  // namespace mv
