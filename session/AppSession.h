#pragma once
// One running program's session, without a widget: the settings in force, the view state
// (layout, page, zoom, page geometry), the open book and its pages, and the one function
// that builds a print job. The window and `mervane-cli print` both go through it. Every
// change of book is told to it (bookOpened), and the views that listen follow.

#include "printing/AppState.h"
#include "printing/EnvelopePages.h"
#include "printing/LabelPages.h"
#include "printing/PageRenderer.h"
#include "printing/PageSettings.h"
#include "printing/PrintJob.h"
#include "settings/Customize.h"
#include "settings/PageText.h"
#include "settings/RecentFiles.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mv {

class Book;
class Prompter;

// What changed, for the views that follow the session.
enum class SessionChange {
  Book,   // another book (or the same under a new name): pages read again, page 1
  Pages,  // the page count or the pages' settings: the view draws again
};

class AppSession {
 public:
  // `settingsFile` is "mervane.ini"; empty: the defaults, nothing read (the command line
  // without --settings).
  explicit AppSession(std::filesystem::path settingsFile = {});
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;
  ~AppSession();

  // --- settings in force
  // Reads the settings as the program starts: Customize (layout, zoom, "Label each
  // page"), heading and footnote, the envelope's orientation, and the saved page settings
  // (paper, margins, two on one, mirror margins, heading room) as if the Page Settings
  // dialog had been confirmed with them, so that a saved pocket page governs the view and
  // the printer from the start. A stored page that fits no sheet keeps the defaults after
  // its message, through `prompter`. `layout`: the layout to start with (the command
  // line's); none: the one Customize saved.
  void loadSettings(Prompter& prompter, std::optional<int> layout = std::nullopt);
  const std::filesystem::path& settingsFile() const noexcept { return settingsFile_; }
  CustomizeSettings& customize() noexcept { return customize_; }
  const CustomizeSettings& customize() const noexcept { return customize_; }
  PageText& heading() noexcept { return heading_; }
  PageText& footnote() noexcept { return footnote_; }
  PrinterPaper& printerPaper() noexcept { return printer_; }
  bool envelopeLandscape() const noexcept { return envelopeLandscape_; }
  AppState& state() noexcept { return state_; }
  const AppState& state() const noexcept { return state_; }

  // --- the recent books (the window's; the command line has none)
  void useRecentFiles();
  RecentFiles* recentFiles() noexcept { return recent_.get(); }

  // --- the open book
  // The book the card window edits (the command line's own); it stays the window's.
  void setBook(Book* book) noexcept { book_ = book; }
  // Null when no book is open.
  Book* book() const noexcept;
  // Entries that stand in for the book's (a frame under test).
  void setEntriesSource(std::function<std::vector<AddressRecord>()> source);
  const std::filesystem::path& bookPath() const noexcept { return bookPath_; }
  void setBookPath(std::filesystem::path path) noexcept { bookPath_ = std::move(path); }
  // Every change of book comes here: New, Open, a recent book, the imports, a book handed
  // over by a second start, crash recovery and Save As. The book joins the recent list;
  // the pages are read again from it and start at page 1; the listeners hear Book.
  // False when the recent list could not be written (the book is open all the same).
  // `readPages` false leaves the pages empty until they are next read (reloadPages), as
  // the window does in card mode: its page view reads them whenever it comes up.
  [[nodiscard]] bool bookOpened(const std::filesystem::path& path, bool readPages = true);

  // --- pages
  // Reads the book's entries again, edits included, and counts the pages. Returns how
  // many entries could not be read.
  int reloadPages();
  const PageBook& pages() const noexcept { return pages_; }
  // Counts the pages of the current layout again (after its settings changed).
  void recount();
  // Forgets the labels' and the envelope's settings: read again on the next job.
  void dropPageSettings() noexcept;
  // A drawn layout, from page 1.
  void selectLayout(int command);

  // The job of the current layout, view state and settings.
  PageJob currentJob() const;
  // The one job printing uses, window and command line alike: the current job over
  // `range` (pages, or sheets two on one), the layout turned as the print dialog or the
  // command line settled it, moved by the printer's calibration.
  PageJob printJob(const PrintRange& range, bool layoutLandscape,
                   const PrinterOffset& offset = {}) const;

  // --- listeners
  using Listener = std::function<void(SessionChange)>;
  void listen(Listener listener) { listeners_.push_back(std::move(listener)); }

 private:
  void tell(SessionChange change) const;

  std::filesystem::path settingsFile_;
  CustomizeSettings customize_;
  PageText heading_;
  PageText footnote_;
  PrinterPaper printer_;
  bool envelopeLandscape_ = false;
  AppState state_;
  std::unique_ptr<RecentFiles> recent_;
  Book* book_ = nullptr;
  std::function<std::vector<AddressRecord>()> entriesSource_;
  std::filesystem::path bookPath_;
  PageBook pages_;
  // Read once and not on every paint; dropped whenever a dialog may have changed them.
  mutable std::optional<LabelPageSettings> labelSettings_;
  mutable std::optional<EnvelopePageSettings> envelopeSettings_;
  std::vector<Listener> listeners_;
};

// The message for a stored paper number that pagesize.dat does not have.
std::string missingPaperMessage(int comboIndex);

}  // namespace mv
