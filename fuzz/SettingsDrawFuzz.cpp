// mervane.ini as anyone may edit it, drawn: every layout's first sheets with the settings
// in force, on the screen and on the printer, into a recording canvas. A number that no
// drawing code can take shows up here under the sanitizers.
#include "fuzz/FuzzSupport.h"
#include "platform/Prompter.h"
#include "printing/PageRenderer.h"
#include "printing/PageViewGeometry.h"
#include "session/AppSession.h"
#include "tests/printing/RecordingCanvas.h"

#include <QGuiApplication>

#include <algorithm>

namespace mv {
namespace {

class SilentPrompter final : public Prompter {
 public:
  Answer ask(const Message& message) override { return message.defaultButton; }
};

// Two entries with every field, one under another letter, so that every line of every
// layout, label and envelope has text.
std::vector<AddressRecord> entries() {
  std::vector<AddressRecord> out(2);
  for (int f = 0; f < kFieldCount; ++f) {
    out[0].fields[static_cast<size_t>(f)] = "Value " + std::to_string(f);
    out[1].fields[static_cast<size_t>(f)] = "Other value " + std::to_string(f);
  }
  out[0].notes = "A note";
  return out;
}

}  // namespace
}  // namespace mv

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const auto ini = fuzz::writeInput("mervane.ini", fuzz::bytesOf(data, size));
  for (int layout = cmd::kLayout1Line; layout <= cmd::kLayoutLabels; ++layout) {
    AppSession session(ini);
    SilentPrompter prompter;
    session.loadSettings(prompter, layout);
    session.setEntriesSource(entries);
    (void)session.reloadPages();
    const PageJob job = session.currentJob();
    const int sheets = std::min(jobSheetCount(job), 2);
    for (int sheet = 1; sheet <= sheets; ++sheet) {
      test::RecordingCanvas screen(CanvasTarget::Screen);
      renderSheet(screen, screenSheetMapping(jobSheetLandscape(job), 1.0), job, sheet);
      test::RecordingCanvas printer(CanvasTarget::Printer);
      renderSheet(printer,
                  printerSheetMapping(jobSheetLandscape(job), {0, 0}, {5100, 6600}), job, sheet);
    }
  }
  return 0;
}
