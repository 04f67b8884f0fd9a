#pragma once
// What the main frame needs of a window it routes commands to (the card window, the
// page view), and what the frame offers the card window in return. Commands are numbers,
// as the menus and toolbars carry them. Only a forward declaration of QWidget: the frame
// and the card window meet here without including each other.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace mv {

class AppSession;
class Book;
class Prompter;
class FileChooser;

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // The ids this window carries out; the frame routes exactly these to it.
  virtual bool handlesCommand(int id) const = 0;
  // true when the id was handled.
  virtual bool onCommand(int id) = 0;
  // nullopt when this target has no say on the id.
  virtual std::optional<bool> isCommandEnabled(int id) const = 0;
  // A handler and an enabled check are registered for the id (CommandHandlers).
  virtual bool hasHandler(int id) const = 0;
};

// The card window as the frame sees it.
class CardWindowHost : public CommandTarget {
 public:
  virtual QWidget* widget() = 0;
  // The close query (Cancel, Quit, close box): may ask the changed question; false when
  // the user cancelled.
  [[nodiscard]] virtual bool canClose() = 0;
  // Save and Close: store the book without asking and clear its changed mark.
  virtual void saveWithoutAsking() = 0;
  // Opens the book at path (already through the start-up check); false on failure.
  [[nodiscard]] virtual bool openBook(const std::filesystem::path& path) = 0;
  // The 0-based position of the selected name under "Main" (envelope printing), -1 none.
  virtual int selectedEntryIndex() const = 0;
};

// Services of the frame and main client that the card window uses.
struct ShellServices {
  // The application session: the card window tells it which book it edits.
  AppSession* appSession = nullptr;
  Prompter* prompter = nullptr;
  FileChooser* fileChooser = nullptr;
  std::filesystem::path settingsFile;  // "mervane.ini"
  std::function<void(const std::filesystem::path&)> addRecentFile;
  std::function<void(const std::string& titleUtf8)> setFrameTitle;  // names the book's file
  std::function<int()> cardSort;            // Customize Card_Sort, 0..2
  std::function<void(int)> setCardSort;     // written back at exit with the other keys
  std::function<void(int)> postCommand;     // a command to the frame (preview, print, layouts)
  std::function<void(int)> showHelp;        // help context number
  // A passing remark in the frame's status bar (Windows-1252 text).
  std::function<void(const std::string& text)> showStatus;
  // Whether the desktop was found to have a web browser (e-mail, web, news and FTP go
  // through it) and a way to dial (telephone numbers); "&Connect" asks both.
  std::function<bool()> browserFound;
  std::function<bool()> dialerPresent;
  // The program the browser probe found (path text): the default helper of e-mail, web,
  // news and FTP.
  std::function<std::string()> browserPath;
  // The hand-over choice kept under a Customize key ("HookEMail"...): 1 the desktop's
  // handler, 0 the helper program. Held with the other settings and written at exit.
  std::function<int(std::string_view choiceKey)> launchChoice;
  std::function<void(std::string_view choiceKey, int choice)> setLaunchChoice;
};

using CardWindowFactory = std::function<CardWindowHost*(QWidget* parent, ShellServices&)>;

struct AppState;

// The page view as the frame sees it: it draws the current page of the current layout
// (AppState) and takes the zoom commands and the command that refreshes it.
class PageViewHost : public CommandTarget {
 public:
  virtual QWidget* widget() = 0;
};

using PageViewFactory =
    std::function<PageViewHost*(QWidget* parent, AppState& state, ShellServices&)>;

}  // namespace mv
