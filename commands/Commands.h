#pragma once
// Every command of the program in one table: its id, menu label, status-bar hint,
// picture, keyboard shortcut, tool tip and the window that carries it out. Menus,
// toolbars, accelerators and routing read from here; each window registers what the
// command does and when it is enabled (CommandHandlers). A new command is one row and one
// handler. Plain C++: the table knows nothing of widgets.

#include <span>
#include <string_view>

namespace mv {

// Command ids. Each number is written here and nowhere else.
namespace cmd {
// File
inline constexpr int kNewFile = 24333, kOpen = 24336, kSave = 24335, kSaveAs = 24334;
inline constexpr int kRescan = 11842, kBackup = 8049, kImport = 8071, kExport = 8070;
inline constexpr int kImportVcard = 8072;
inline constexpr int kSynchronize = 8074;  // File > Synchronize... (CardDAV)
inline constexpr int kPrint = 16, kPrintPreview = 15, kPrinterSetup = 17, kPaperSize = 18;
inline constexpr int kSaveAndClose = 24310, kQuit = 332;
inline constexpr int kFirstRecent = 31990, kLastRecent = 31995;
// Edit
inline constexpr int kAddName = 6100, kDeleteName = 6101, kChangeName = 6102;
inline constexpr int kAddGroup = 6111, kDeleteGroup = 6112;
inline constexpr int kFind = 330, kSearchAgain = 331;
// Launching a field's address: telephone, e-mail, web, news, FTP.
inline constexpr int kPhoneHome = 183, kPhoneOffice = 184, kPhoneMobile = 185,
                     kSendEmail = 186, kOpenWebPage = 187;
inline constexpr int kPhoneHome2 = 191, kPhoneOffice2 = 192, kSendEmail2 = 193,
                     kOpenWebPage2 = 194, kNewsGroup = 195, kFtpSite = 196;
inline constexpr int kConnect = 7069;  // launch the second-set value on the card
// Tools
inline constexpr int kFindDuplicates = 8073;
// Setup
inline constexpr int kLabels = 32, kEnvelope = 29, kPageSettings = 83, kHeading = 78,
                     kFootnote = 79, kFontAndColor = 81, kMyAddress = 85, kPrinting = 112;
// Help
inline constexpr int kHelpContent = 95, kHelpIndex = 96, kAbout = 97;
// View, layouts and pages (page-view mode)
inline constexpr int kClosePreview = 347, kAddressBook = 23, kToolbar = 52;
inline constexpr int kZoomIn = 54, kZoomOut = 55, kZoom50 = 57, kZoom80 = 58, kZoom90 = 59,
                     kZoom100 = 60;
inline constexpr int kNextLayout = 64, kPriorLayout = 65;
inline constexpr int kSkipForward = 69, kNextPage = 70, kPriorPage = 71, kSkipBack = 72;
inline constexpr int kLayoutButton = 67, kPageButton = 73;
inline constexpr int kFirstLetter = 11901, kLastLetter = 11926;  // A..Z
// Layouts: command = kLayoutBase + LayoutId (0..28); this program draws 1074..1080.
inline constexpr int kLayoutBase = 1058;
inline constexpr int kLayout1Line = 1074, kLayout2Line = 1075, kLayout3Line = 1076,
                     kLayout5Line = 1077, kLayoutDetailed = 1078, kLayoutEnvelope = 1079,
                     kLayoutLabels = 1080;
// Internal: posted, never in a menu.
inline constexpr int kRefreshPageView = 3000, kCloseMain = 3001, kSetUpLayout = 1001;
// F1: the help topic of the view in front (the card window or the page view).
inline constexpr int kHelpOnView = 3002;
// The card window's own buttons and menus.
inline constexpr int kOk = 1, kCancel = 2, kHelp = 9;
inline constexpr int kAZ = 113, kSortMenu = 114, kSecondSetMenu = 175, kGroupMenu = 176;
inline constexpr int kClearCard = 328, kWebPage = 346, kCopySummary = 6120;
inline constexpr int kAddNameTool = 6105, kDeleteTool = 6106, kChangeTool = 6107;
inline constexpr int kSortFirst = 6901, kSortLast = 6902, kSortCompany = 6903;
inline constexpr int kSecondSetFirst = 7052, kSecondSetLast = 7058;  // fields 21..27
inline constexpr int kGoToGroupFirst = 4500, kGoToGroupLast = 4999;  // + n: n-th group
}  // namespace cmd

// Pictures that are not a command's own number (every other picture is numbered as the
// command it shows).
namespace picture {
inline constexpr int kFontAndColor = 208;
inline constexpr int kTextButtonFace = cmd::kPageButton;
}  // namespace picture

// The window that carries a command out.
enum class CommandOwner { Frame, CardWindow, PageView };

struct CommandInfo {
  int id = 0;
  int last = 0;                 // a numbered run (letters, recent files...) ends here
  std::string_view label;       // menu text, "&" mnemonic and "\t" accelerator included
  std::string_view hint;        // the status-bar string-table entry; empty: none
  int picture = 0;              // shown beside the menu item and on buttons; 0: none
  CommandOwner owner = CommandOwner::Frame;
  // Keys that run the command from anywhere in the frame, in Qt's portable text, several
  // separated by "; " ("Ctrl+L", "Num++; Ctrl++"); empty: none. The text after "\t" in
  // a label only shows a key; keys the page view reads itself are not listed here.
  std::string_view shortcut;
  std::string_view tooltip;     // a button's tool tip; empty: the label or hint serves
};

// The whole table, in id order within each menu.
std::span<const CommandInfo> commandTable() noexcept;
// The entry of an id (a run's entry for any id inside it); nullptr for unknown ids.
const CommandInfo* findCommand(int id) noexcept;

// Unknown ids belong to the frame.
CommandOwner commandOwner(int id) noexcept;
std::string_view commandLabel(int id) noexcept;
std::string_view commandTooltip(int id) noexcept;
std::string_view commandHintEntry(int id) noexcept;
int commandPicture(int id) noexcept;

}  // namespace mv
