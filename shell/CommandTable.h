#pragma once
// The commands of the main frame as numbers: the menu resources 1 (card mode), 208
// (page-view mode), 212 (letters) and 213 (layouts), the keyboard accelerators, the
// toolbar gadgets, the status-bar hints, and which window each command belongs to.

#include <string>
#include <string_view>
#include <vector>

namespace mv {

namespace cmd {
inline constexpr int kNewFile = 24333, kOpen = 24336, kSave = 24335, kSaveAs = 24334;
inline constexpr int kRescan = 11842, kBackup = 8049, kImport = 8071, kExport = 8070;
inline constexpr int kPrint = 16, kPaperSize = 18, kPrintPreview = 15, kPrinterSetup = 17;
inline constexpr int kSaveAndClose = 24310, kQuit = 332;
inline constexpr int kAddName = 6100, kDeleteName = 6101, kChangeName = 6102;
inline constexpr int kAddGroup = 6111, kDeleteGroup = 6112, kFind = 330, kSearchAgain = 331;
inline constexpr int kLabels = 32, kEnvelope = 29, kPageSettings = 83, kHeading = 78,
                     kFootnote = 79, kMyAddress = 85, kPrinting = 112;
inline constexpr int kHelpContent = 95, kHelpIndex = 96, kAbout = 97;
inline constexpr int kClosePreview = 347, kAddressBook = 23, kToolbar = 52;
inline constexpr int kZoomIn = 54, kZoomOut = 55, kZoom50 = 57, kZoom80 = 58, kZoom90 = 59,
                     kZoom100 = 60;
inline constexpr int kNextLayout = 64, kPriorLayout = 65;
inline constexpr int kSkipForward = 69, kNextPage = 70, kPriorPage = 71, kSkipBack = 72;
inline constexpr int kFontAndColor = 81;
inline constexpr int kLayoutButton = 67, kPageButton = 73;
inline constexpr int kFirstRecent = 31990, kLastRecent = 31995;
inline constexpr int kFirstLetter = 11901, kLastLetter = 11926;
inline constexpr int kRefreshPageView = 3000, kCloseMain = 3001, kSetUpLayout = 1001;
}  // namespace cmd

// One menu item; id 0 is a separator.
struct MenuItem {
  int id = 0;
  std::string label;  // exact text, "&" mnemonics and "\t" accelerator text included
};

// One top-level menu of a menu bar.
struct MenuDef {
  std::string title;
  std::vector<MenuItem> items;
};

// Menu resources 1 and 208 as top-level menus; 212 and 213 as one pop-up each.
std::vector<MenuDef> menuResource(int resource);

// Keyboard accelerators (table 1), as Qt key combinations.
struct Accelerator {
  int key = 0;  // a QKeyCombination's toCombined() value
  int command = 0;
};
std::vector<Accelerator> acceleratorTable();

// The toolbar (control bar 52), left to right.
struct Gadget {
  enum class Kind { Button, Separator, TextButton };
  Kind kind = Kind::Button;
  int command = 0;  // Button, TextButton
  int bitmap = 0;   // Button: its picture; TextButton: the face
  int width = 0;    // Separator: pixels
};
std::vector<Gadget> toolbarGadgets();

// The string-table entry of a command id (empty when there is none). The navigation
// buttons 69..73 hold the digits "1".."5".
std::string_view commandHintEntry(int id);

// What the status bar shows for a command: its hint, with a hint starting with a digit
// 1..5 replaced through the navigation table for the view kind (a replacement shorter
// than 3 characters shows a single blank); an empty or all-blank hint shows the title.
std::string statusHint(int id, std::string_view title, int viewKind = 218);

// Commands the frame forwards to the card window.
bool isCardWindowCommand(int id);
// Commands the frame forwards to the page view.
bool isPageViewCommand(int id);

}  // namespace mv
