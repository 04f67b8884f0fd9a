#include "printing/JobSettings.h"

#include "settings/Customize.h"
#include "settings/Keys.h"
#include "settings/PageText.h"
#include "settings/Profile.h"

namespace mv {

std::string missingPaperMessage(int comboIndex) {
  return "pagesize.dat has no paper number " + std::to_string(comboIndex) +
         "; the first paper is used.";
}

JobSettings loadJobSettings(const std::filesystem::path& ini, int layout, Prompter& prompter) {
  JobSettings job;
  job.page.layout = layout;
  job.labels.text.font.face = job.page.fontFace;
  job.envelope.returnText.font.face = job.envelope.deliveryText.font.face = job.page.fontFace;
  if (ini.empty()) return job;
  job.page = addressPageSettings(readCustomize(ini), layout);
  job.page.heading = readPageText(ini, PageTextKind::Heading);
  job.page.footnote = readPageText(ini, PageTextKind::Footnote);
  if (normalizeLayoutCommand(layout) == kLabelsLayout)
    job.labels = loadLabelPageSettings(ini, job.page.fontFace, readLabelsDat(labelsDatPath()));
  if (normalizeLayoutCommand(layout) == kEnvelopeLayout) {
    job.envelope = loadEnvelopePageSettings(ini, job.page.fontFace);
    job.envelopeLandscape = Profile(ini, std::string(keys::section::PageSetup))
                                .readInt(keys::pageSetup::EnvelopeLandscape, 0) != 0;
  }

  const PageSetupValues stored = readPageSetup(ini);
  std::optional<std::vector<PaperRow>> rows = readPaperList(paperListPath());
  if (rows && !rows->empty() &&
      paperIndexOrFirst(stored.comboIndex, rows->size()) != stored.comboIndex)
    prompter.inform(missingPaperMessage(stored.comboIndex));
  PageSettingsForm form(std::move(rows), stored, job.printer);
  form.open(prompter);
  PageGeometry geometry;
  geometry.twoOnOneAllowed = isAddressBookLayout(normalizeLayoutCommand(layout));
  PrinterPaper printer = job.printer;
  if (form.confirmAsShown(prompter, geometry, printer, {}) == PageSettingsForm::Outcome::Closed) {
    job.geometry = geometry;
    job.printer = printer;
  }
  return job;
}

}  // namespace mv
