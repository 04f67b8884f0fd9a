#include "shell/CommandTable.h"

#include "printing/LayoutCatalogue.h"

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>

#include <algorithm>
#include <array>

namespace mv {
namespace {

const MenuItem kSeparator{0, {}};

// An item labelled as the command table says.
MenuItem item(int id) { return {id, std::string(commandLabel(id))}; }

MenuDef menu(const char* title, std::initializer_list<int> ids) {
  MenuDef m{title, {}};
  for (int id : ids) m.items.push_back(id == 0 ? kSeparator : item(id));
  return m;
}

// The File menu of both menu bars; only the Quit label differs.
MenuDef fileMenu(const char* quitLabel) {
  // The recent files are inserted above "Save and Close" as the menu opens.
  MenuDef m = menu("&File", {cmd::kNewFile, cmd::kOpen, cmd::kSave, cmd::kSaveAs, 0,
                             cmd::kRescan, cmd::kBackup, 0, cmd::kImport, cmd::kImportVcard, cmd::kExport,
                             cmd::kSynchronize, 0,
                             cmd::kPrint, cmd::kPrintPreview, cmd::kPaperSize,
                             cmd::kPrinterSetup, 0, cmd::kSaveAndClose, cmd::kQuit});
  m.items.back().label = quitLabel;
  return m;
}

MenuDef editMenu() {
  return menu("&Edit", {cmd::kAddName, cmd::kDeleteName, cmd::kChangeName, 0, cmd::kAddGroup,
                        cmd::kDeleteGroup, 0, cmd::kFind, cmd::kSearchAgain, 0,
                        cmd::kPhoneHome, cmd::kPhoneOffice, cmd::kSendEmail,
                        cmd::kOpenWebPage, cmd::kNewsGroup, cmd::kFtpSite});
}

MenuDef setupMenu(bool pageView) {
  MenuDef m = menu("&Setup", {cmd::kLabels, cmd::kEnvelope, 0, cmd::kPageSettings,
                              cmd::kHeading, cmd::kFootnote});
  if (pageView) m.items.push_back(item(cmd::kFontAndColor));
  m.items.push_back(kSeparator);
  m.items.push_back(item(cmd::kMyAddress));
  m.items.push_back(item(cmd::kPrinting));
  return m;
}

MenuDef toolsMenu() { return menu("&Tools", {cmd::kFindDuplicates}); }

MenuDef helpMenu() { return menu("&Help", {cmd::kHelpContent, cmd::kHelpIndex, 0, cmd::kAbout}); }

MenuDef viewMenu() {
  return menu("&View", {cmd::kClosePreview, cmd::kAddressBook, 0, cmd::kToolbar, 0,
                        cmd::kZoomIn, cmd::kZoomOut, cmd::kZoom50, cmd::kZoom80, cmd::kZoom90,
                        cmd::kZoom100});
}

MenuDef layoutMenu() {
  return menu("&Layout", {cmd::kLayout1Line, cmd::kLayout2Line, cmd::kLayout3Line,
                          cmd::kLayout5Line, cmd::kLayoutDetailed, cmd::kLayoutEnvelope,
                          cmd::kLayoutLabels, 0, cmd::kNextLayout, cmd::kPriorLayout});
}

MenuDef pageMenu() {
  return menu("&Page",
              {cmd::kNextPage, cmd::kPriorPage, 0, cmd::kSkipForward, cmd::kSkipBack});
}

}  // namespace

std::vector<MenuDef> menuResource(int resource) {
  switch (resource) {
    case menus::kCardMode:
      return {fileMenu("&Quit\t[Cancel]"), editMenu(), setupMenu(false), toolsMenu(),
              helpMenu()};
    case menus::kPageViewMode:
      return {fileMenu("&Quit\tAlt+F4"), editMenu(), setupMenu(true), viewMenu(),
              layoutMenu(), pageMenu(), toolsMenu(), helpMenu()};
    case menus::kLetters: {
      MenuDef letters{"", {}};
      for (int i = 0; i < 26; ++i)
        letters.items.push_back({cmd::kFirstLetter + i, std::string("&") + char('A' + i)});
      return {letters};
    }
    case menus::kLayouts: {
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
  std::vector<Accelerator> out;
  for (const CommandInfo& c : commandTable()) {
    if (c.shortcut.empty()) continue;
    const QString keys = QString::fromLatin1(c.shortcut.data(), qsizetype(c.shortcut.size()));
    for (const QKeySequence& k : QKeySequence::listFromString(keys, QKeySequence::PortableText))
      if (!k.isEmpty()) out.push_back({k[0].toCombined(), c.id});
  }
  return out;
}

std::vector<Gadget> toolbarGadgets() {
  using K = Gadget::Kind;
  const auto button = [](K kind, int id) { return Gadget{kind, id, commandPicture(id), 0}; };
  const auto gap = [](int width) { return Gadget{K::Separator, 0, 0, width}; };
  return {
      button(K::Button, cmd::kAddressBook),  gap(5),
      button(K::Button, cmd::kPrint),        gap(5),
      button(K::Button, cmd::kZoomIn),       button(K::Button, cmd::kZoomOut), gap(5),
      button(K::Button, cmd::kSkipBack),     button(K::Button, cmd::kPriorPage),
      button(K::TextButton, cmd::kPageButton),
      button(K::Button, cmd::kNextPage),     button(K::Button, cmd::kSkipForward), gap(5),
      button(K::TextButton, cmd::kLayoutButton), gap(5),
      button(K::Button, cmd::kFontAndColor), gap(21),
  };
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

}  // namespace mv
