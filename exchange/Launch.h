#pragma once
// Handing an address or an exported document to an outside program: the kinds of
// hand-over with their settings keys and Run dialog titles, the prefix rules, the URL
// given to the desktop, and the hand-over itself through a Launcher. No widgets: the Run
// dialog is asked through RunAsker.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class FileChooser;
class Prompter;

// LocalPage is a page the program wrote (the web-page export): a path, opened as a file://
// URL by the web kinds' helper.
enum class LaunchKind { EMail, News, Web, Ftp, Rtf, Txt, Dialer, LocalPage };
// The kinds whose address is a local file's path (UTF-8), not field text.
bool isLocalFileKind(LaunchKind kind) noexcept;

struct LaunchKindInfo {
  std::string_view helperKey;      // section Helper of mervane.ini
  std::string_view choiceKey;      // section Customize: 1 desktop handler, 0 helper program
  std::string_view title;          // of the Run dialog
  std::string_view name;           // in "No program chosen for %s"
  // Documents: the caption of the helper choice while no program is named, which then
  // means the desktop's default program for the document's type. Empty for addresses,
  // whose default helper is the probed web browser.
  std::string_view desktopHelperCaption;
};
const LaunchKindInfo& launchKindInfo(LaunchKind kind) noexcept;

// The prefix rules: "mailto:", "news:" and "ftp://" go in front unless the address is
// longer than the prefix and already starts with it (any letter case). Web addresses
// and documents are passed as typed.
std::string prefixedAddress(LaunchKind kind, std::string_view address);

// What the desktop is handed for an address (Windows-1252) or a document path (UTF-8),
// as an encoded URL; empty when there is nothing to open. A web address keeps an http,
// https or ftp scheme and otherwise gets "http://" in front, so that no field is ever
// opened as a local file or a program. Characters outside a URL's own are
// percent-encoded (UTF-8).
std::string desktopUrl(LaunchKind kind, std::string_view address);

// The dial characters of a number: digits, "+", "*", "#", and pauses (",", "p", "w") as
// commas; "tel:" and that, with "#" encoded. Empty when no digit is left.
std::string telUrl(std::string_view number);

// The caption of the helper radio button: "Use " and the program's file name without
// folder and extension, first letter upper case and the rest lower ("Use " alone when
// no helper is named, or the kind's desktop caption, "Use Text Editor", for a document).
std::string useHelperCaption(std::string_view helperPath, LaunchKind kind = LaunchKind::Web);

// The outside world: the desktop's handlers, programs, the clipboard.
class Launcher {
 public:
  enum class Result { Ok, NoHandler, StartFailed };
  virtual ~Launcher() = default;
  // Hands an encoded URL (mailto:, http:, file: ...) to the desktop's handler.
  virtual Result openUrl(const std::string& url) = 0;
  // Starts `program` with `argument` as its one argument, never through a shell.
  virtual Result startProgram(const std::string& program, const std::string& argument) = 0;
  virtual void copyToClipboard(const std::string& textUtf8) = 0;
};

// What the Run dialog is filled with and what it gives back.
struct RunRequest {
  LaunchKind kind = LaunchKind::Web;
  std::string title;
  std::string address;     // Windows-1252, after the prefix rules
  std::string helperPath;  // path text (UTF-8)
  int choice = 1;          // 1 "Use Desktop Settings", 0 the helper
};
struct RunAnswer {
  std::string address;
  int choice = 1;
  std::string helperPath;  // as the dialog last showed it ("..." may have changed it)
};
using RunAsker = std::function<std::optional<RunAnswer>(const RunRequest&)>;

// Where the choices and helpers are kept: the choice per kind lives in memory with the
// other Customize settings, helpers in section Helper, read afresh each time.
struct LaunchSettings {
  std::filesystem::path ini;  // mervane.ini
  std::string browserPath;    // the probed browser: the default helper of the web kinds
  std::function<int(LaunchKind)> choice;
  std::function<void(LaunchKind, int)> setChoice;
};
std::string readHelper(const LaunchSettings& settings, LaunchKind kind);

// "..." of the Run dialog: the program chooser ("Programs"); the chosen program is
// stored under the kind's helper key at once. nullopt when cancelled.
std::optional<std::string> chooseHelper(FileChooser& chooser, const LaunchSettings& settings,
                                        LaunchKind kind, const std::string& currentHelper);

// The messages of a failed hand-over (caption "Mervane", exclamation icon).
inline constexpr const char* kNoAssociation = "Could not find any association";
inline constexpr const char* kLaunchFailed =
    "Could not properly launch the the Application\nerror number %d";
inline constexpr const char* kNothingToOpen = "Nothing to open";
inline constexpr const char* kNoProgramChosen = "No program chosen for %s";

// The whole hand-over of an address or a document: prefix, Run dialog, the choice stored
// back, the launch, and a message for every failure. True when something was launched.
bool handOver(LaunchKind kind, std::string_view address, const RunAsker& ask,
              Launcher& launcher, Prompter& prompter, LaunchSettings& settings);

// A telephone number: the number on the clipboard and its tel: link to the desktop.
bool dial(std::string_view number, Launcher& launcher, Prompter& prompter);

}  // namespace mv
