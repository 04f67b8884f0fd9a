#include "session/AppSession.h"

#include "platform/Paths.h"
#include "printing/LayoutCatalogue.h"
#include "printing/PageTable.h"
#include "printing/PaperList.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "store/Book.h"

namespace mv {

std::string missingPaperMessage(int comboIndex) {
  return "pagesize.dat has no paper number " + std::to_string(comboIndex) +
         "; the first paper is used.";
}

AppSession::AppSession(std::filesystem::path settingsFile)
    : settingsFile_(std::move(settingsFile)),
      customize_(),
      heading_(defaultPageText(PageTextKind::Heading)),
      footnote_(defaultPageText(PageTextKind::Footnote)) {
  state_.layout = normalizeLayoutCommand(customize_.format);
  state_.zoom = customize_.zoom;
  state_.labelEachPage = customize_.cardMaximizeAddress;
}

AppSession::~AppSession() = default;

void AppSession::loadSettings(Prompter& prompter, std::optional<int> layout) {
  if (settingsFile_.empty()) {
    if (layout) state_.layout = normalizeLayoutCommand(*layout);
    return;
  }
  const std::filesystem::path& ini = settingsFile_;
  customize_ = readCustomize(ini);
  heading_ = readPageText(ini, PageTextKind::Heading);
  footnote_ = readPageText(ini, PageTextKind::Footnote);
  state_.layout = normalizeLayoutCommand(layout.value_or(customize_.format));
  state_.zoom = customize_.zoom;
  state_.labelEachPage = customize_.cardMaximizeAddress;
  envelopeLandscape_ = Profile(ini, std::string(keys::section::PageSetup))
                           .readInt(keys::pageSetup::EnvelopeLandscape, 0) != 0;

  // The saved page settings, confirmed as the dialog shows them: a page that fits no sheet
  // says so there and leaves the page filling the sheet. Never saved: the page fills the
  // sheet, without a word.
  if (!Profile(ini, std::string(keys::section::PageSetup)).hasKey(keys::pageSetup::PaperWidth))
    return;
  const PageSetupValues stored = readPageSetup(ini);
  std::optional<std::vector<PaperRow>> rows = readPaperList(paperListPath());
  if (rows && !rows->empty() &&
      paperIndexOrFirst(stored.comboIndex, rows->size()) != stored.comboIndex)
    prompter.inform(missingPaperMessage(stored.comboIndex));
  PageSettingsForm form(std::move(rows), stored, printer_);
  form.open(prompter);
  PageGeometry geometry;
  geometry.twoOnOneAllowed = isAddressBookLayout(state_.layout);
  PrinterPaper printer = printer_;
  if (form.confirmAsShown(prompter, geometry, printer, {}) == PageSettingsForm::Outcome::Closed) {
    state_.geometry = geometry;
    printer_ = printer;
  }
  dropPageSettings();
}

void AppSession::useRecentFiles() {
  if (!recent_) recent_ = std::make_unique<RecentFiles>(settingsFile_);
}

Book* AppSession::book() const noexcept { return book_ && book_->isOpen() ? book_ : nullptr; }

void AppSession::setEntriesSource(std::function<std::vector<AddressRecord>()> source) {
  entriesSource_ = std::move(source);
}

bool AppSession::bookOpened(const std::filesystem::path& path, bool readPages) {
  const bool listed = !recent_ || recent_->add(pathText(path));
  bookPath_ = path;
  state_.page = 1;
  ++state_.bookGeneration;
  // Never the previous book's pages, even for a moment.
  if (readPages)
    (void)reloadPages();
  else
    pages_ = PageBook();
  tell(SessionChange::Book);
  return listed;
}

int AppSession::reloadPages() {
  // One rule for counting and drawing: the pages count the entries the way they file
  // them, so no entry is ever left off every page.
  ListedEntries entries;
  if (entriesSource_)
    entries.records = entriesSource_();
  else if (const Book* open = book())
    entries = readListedEntries(*open);
  pages_ = PageBook(std::move(entries.records), customize_.cardSort,
                    std::move(entries.unreadable));
  recount();
  return static_cast<int>(pages_.unreadable().size());
}

void AppSession::recount() {
  dropPageSettings();
  applyPageCount(state_, currentJob().count);
}

void AppSession::dropPageSettings() noexcept {
  labelSettings_.reset();
  envelopeSettings_.reset();
}

void AppSession::selectLayout(int command) {
  state_.layout = normalizeLayoutCommand(command);
  state_.page = 1;
  recount();
  tell(SessionChange::Pages);
}

PageJob AppSession::currentJob() const {
  AddressPageSettings settings = addressPageSettings(customize_, state_.layout);
  settings.heading = heading_;
  settings.footnote = footnote_;
  PageJob job = pageJobFor(state_, std::move(settings), &pages_);
  const std::filesystem::path& ini = settingsFile_;
  if (state_.layout == kLabelsLayout) {
    if (!labelSettings_) {
      if (ini.empty()) {
        labelSettings_.emplace();
        labelSettings_->text.font.face = customize_.font;
      } else {
        labelSettings_ = loadLabelPageSettings(ini, customize_.font, readLabelsDat(labelsDatPath()));
      }
    }
    job.labelGrid.ensureOneInUse(labelSettings_->dimensions.across,
                                 labelSettings_->dimensions.down);
    useLabelSettings(job, *labelSettings_);
  } else if (state_.layout == kEnvelopeLayout) {
    if (!envelopeSettings_) {
      if (ini.empty()) {
        envelopeSettings_.emplace();
        envelopeSettings_->returnText.font.face = envelopeSettings_->deliveryText.font.face =
            customize_.font;
      } else {
        envelopeSettings_ = loadEnvelopePageSettings(ini, customize_.font);
      }
    }
    job.envelope = *envelopeSettings_;
  }
  return job;
}

PageJob AppSession::printJob(const PrintRange& range, bool layoutLandscape,
                             const PrinterOffset& offset) const {
  PageJob job = jobForRange(currentJob(), range);
  job.layoutLandscape = layoutLandscape;
  job.printerOffset = offset;
  return job;
}

void AppSession::tell(SessionChange change) const {
  // A copy: a listener may add another while it runs.
  const std::vector<Listener> listeners = listeners_;
  for (const Listener& l : listeners) l(change);
}

}  // namespace mv
