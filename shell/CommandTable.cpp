#include "shell/CommandTable.h"

#include "printing/LayoutCatalogue.h"

#include <QKeyCombination>

#include <algorithm>
#include <array>
#include <map>

namespace mv {
namespace {

const MenuItem kSeparator{0, {}};

// The File menu of both menu bars; only the Quit label differs.
MenuDef fileMenu(const char* quitLabel) {
  return {"&File",
          {{cmd::kNewFile, "&New File"},
           {cmd::kOpen, "&Open..."},
           {cmd::kSave, "&Save"},
           {cmd::kSaveAs, "Save &As..."},
           kSeparator,
           {cmd::kRescan, "&Rescan"},
           {cmd::kBackup, "&Backup File"},
           kSeparator,
           {cmd::kImport, "&Import"},
           {cmd::kExport, "&Export"},
           kSeparator,
           {cmd::kPrint, "&Print"},
           {cmd::kPrintPreview, "Print Pre&view"},
           {cmd::kPaperSize, "Paper Si&ze"},
           {cmd::kPrinterSetup, "Printer &Setup"},
           kSeparator,
           // The recent files are inserted here, above "Save and Close".
           {cmd::kSaveAndClose, "Sa&ve and Close\t[OK]"},
           {cmd::kQuit, quitLabel}}};
}

MenuDef editMenu() {
  return {"&Edit",
          {{cmd::kAddName, "&Add a new name"},
           {cmd::kDeleteName, "&Delete the selected name"},
           {cmd::kChangeName, "&Change the selected name"},
           kSeparator,
           {cmd::kAddGroup, "Add a new &group"},
           {cmd::kDeleteGroup, "D&elete the selected group"},
           kSeparator,
           {cmd::kFind, "&Find"},
           {cmd::kSearchAgain, "&Search Again"},
           kSeparator,
           {183, "Phone &Home"},
           {184, "Phone &Office"},
           {186, "Send &Email"},
           {187, "Open &Web page"},
           {195, "News &Group"},
           {196, "FTP &Site"}}};
}

MenuDef setupMenu(bool pageView) {
  MenuDef m{"&Setup",
            {{cmd::kLabels, "&Labels\tCtrl+L"},
             {cmd::kEnvelope, "&Envelope\tCtrl+N"},
             kSeparator,
             {cmd::kPageSettings, "Page &Settings"},
             {cmd::kHeading, "Page &Heading"},
             {cmd::kFootnote, "Page &Footnote"}}};
  if (pageView) m.items.push_back({cmd::kFontAndColor, "Fon&t and Color"});
  m.items.push_back(kSeparator);
  m.items.push_back({cmd::kMyAddress, "&My Address"});
  m.items.push_back({cmd::kPrinting, "&Printing"});
  return m;
}

MenuDef helpMenu() {
  return {"&Help",
          {{cmd::kHelpContent, "&Content\tF1"},
           {cmd::kHelpIndex, "&Index"},
           kSeparator,
           {cmd::kAbout, "&About..."}}};
}

MenuDef viewMenu() {
  return {"&View",
          {{cmd::kClosePreview, "&Close Preview"},
           {cmd::kAddressBook, "&Address Book"},
           kSeparator,
           {cmd::kToolbar, "&Toolbar"},
           kSeparator,
           {cmd::kZoomIn, "Zoom &In\t+"},
           {cmd::kZoomOut, "Zoom &Out\t-"},
           {cmd::kZoom50, "&50%"},
           {cmd::kZoom80, "&80%"},
           {cmd::kZoom90, "&90%"},
           {cmd::kZoom100, "&100%"}}};
}

MenuDef layoutMenu() {
  return {"&Layout",
          {{1074, "1 line Addressbook"},
           {1075, "2 line Addressbook"},
           {1076, "3 line Addressbook"},
           {1077, "5 line Addressbook"},
           {1078, "Detailed Addressbook"},
           {1079, "Envelope"},
           {1080, "Labels"},
           kSeparator,
           {cmd::kNextLayout, "Next Layout"},
           {cmd::kPriorLayout, "Prior Layout"}}};
}

MenuDef pageMenu() {
  return {"&Page",
          {{cmd::kNextPage, "&Next Page\tPageDown"},
           {cmd::kPriorPage, "&Prior Page\tPageUp"},
           kSeparator,
           {cmd::kSkipForward, "Skip Pages - &Forward"},
           {cmd::kSkipBack, "Skip Pages - &Back"}}};
}

}  // namespace

std::vector<MenuDef> menuResource(int resource) {
  switch (resource) {
    case 1:
      return {fileMenu("&Quit\t[Cancel]"), editMenu(), setupMenu(false), helpMenu()};
    case 208:
      return {fileMenu("&Quit\tAlt+F4"), editMenu(), setupMenu(true), viewMenu(),
              layoutMenu(), pageMenu(), helpMenu()};
    case 212: {
      MenuDef letters{"", {}};
      for (int i = 0; i < 26; ++i)
        letters.items.push_back({cmd::kFirstLetter + i, std::string("&") + char('A' + i)});
      return {letters};
    }
    case 213: {
      MenuDef layouts{"", {}};
      for (int c = kFirstDrawnLayout; c <= kLastDrawnLayout; ++c)
        layouts.items.push_back({c, std::string(layoutShortNameOfCommand(c))});
      return {layouts};
    }
    default:
      return {};
  }
}

std::vector<Accelerator> acceleratorTable() {
  auto key = [](QKeyCombination k) { return k.toCombined(); };
  return {
      {key(Qt::KeypadModifier | Qt::Key_Plus), cmd::kZoomIn},
      {key(Qt::KeypadModifier | Qt::Key_Minus), cmd::kZoomOut},
      {key(QKeyCombination(Qt::Key_F1)), cmd::kHelpContent},
      {key(Qt::AltModifier | Qt::Key_F4), cmd::kSaveAndClose},
      {key(Qt::ControlModifier | Qt::Key_A), cmd::kAddressBook},
      {key(Qt::ControlModifier | Qt::Key_L), cmd::kLabels},
      {key(Qt::ControlModifier | Qt::Key_N), cmd::kEnvelope},
  };
}

std::vector<Gadget> toolbarGadgets() {
  using K = Gadget::Kind;
  return {
      {K::Button, cmd::kAddressBook, 347, 0},
      {K::Separator, 0, 0, 5},
      {K::Button, cmd::kPrint, 16, 0},
      {K::Separator, 0, 0, 5},
      {K::Button, cmd::kZoomIn, 54, 0},
      {K::Button, cmd::kZoomOut, 55, 0},
      {K::Separator, 0, 0, 5},
      {K::Button, cmd::kSkipBack, 72, 0},
      {K::Button, cmd::kPriorPage, 71, 0},
      {K::TextButton, cmd::kPageButton, 73, 0},
      {K::Button, cmd::kNextPage, 70, 0},
      {K::Button, cmd::kSkipForward, 69, 0},
      {K::Separator, 0, 0, 5},
      {K::TextButton, cmd::kLayoutButton, 73, 0},
      {K::Separator, 0, 0, 5},
      {K::Button, cmd::kFontAndColor, 208, 0},
      {K::Separator, 0, 0, 21},
  };
}

std::string_view commandHintEntry(int id) {
  static const std::map<int, std::string_view> kHints{
      {16, "Print the selected layout"},
      {17, "Select Printer Driver"},
      {18, "Set page margins and printing scale"},
      {23, "Edit Address Book"},
      {54, "Increases view scale"},
      {55, "Decreases view scale"},
      {64, "Next Layout"},
      {65, "Prior Layout"},
      {67, "Select a Layout"},
      {69, "1"},
      {70, "2"},
      {71, "3"},
      {72, "4"},
      {73, "5"},
      {78, "Insert text - top of the page"},
      {79, "Insert text - bottom of the page"},
      {81, "Change Font and Color"},
      {83, "Change calendar and addressbook options"},
      {95, "Content of help"},
      {96, "Search for help on..."},
      {24310, "Save settings and close program"},
  };
  const auto it = kHints.find(id);
  return it == kHints.end() ? std::string_view() : it->second;
}

std::string statusHint(int id, std::string_view title, int viewKind) {
  // The navigation texts of the view kinds 214..218, five per kind.
  static constexpr std::array<std::string_view, 25> kNavigation{
      "",          "Next Year",  "Prior Year",  "",           "Change date of calendar",
      "Next Year", "Next Month", "Prior Month", "Prior Year", "Change date of calendar",
      "Next Month", "Next Week", "Prior Week",  "Prior Month", "Change date of calendar",
      "Next Week", "Next Day",   "Prior Day",   "Prior Week", "Change date of calendar",
      "Skip 10 Pages", "Next Page", "Priot Page", "Skip 10 Pages", "Change Page"};
  std::string hint(commandHintEntry(id));
  if (!hint.empty() && hint[0] >= '1' && hint[0] <= '5') {
    const int entry = 5 * (viewKind - 214) + (hint[0] - '1');
    const std::string_view text =
        entry >= 0 && entry < static_cast<int>(kNavigation.size()) ? kNavigation[entry] : "";
    hint = text.size() < 3 ? std::string(" ") : std::string(text);
  }
  if (std::all_of(hint.begin(), hint.end(), [](char c) { return c == ' '; }))
    return std::string(title);
  return hint;
}

bool isCardWindowCommand(int id) {
  switch (id) {
    case cmd::kNewFile: case cmd::kOpen: case cmd::kSave: case cmd::kSaveAs:
    case cmd::kRescan: case cmd::kBackup: case cmd::kImport: case cmd::kExport:
    case cmd::kAddName: case cmd::kDeleteName: case cmd::kChangeName:
    case cmd::kAddGroup: case cmd::kDeleteGroup: case cmd::kFind: case cmd::kSearchAgain:
    case 183: case 184: case 186: case 187: case 195: case 196:
    case 1: case 2: case 9: case 113: case 114: case 175: case 176: case 185:
    case 191: case 192: case 193: case 194: case 328: case 6120:
    case 6901: case 6902: case 6903:
      return true;
    default:
      return false;
  }
}

bool isPageViewCommand(int id) {
  switch (id) {
    case cmd::kZoomIn: case cmd::kZoomOut: case cmd::kZoom50: case cmd::kZoom80:
    case cmd::kZoom90: case cmd::kZoom100: case cmd::kRefreshPageView:
      return true;
    default:
      return false;
  }
}

}  // namespace mv
