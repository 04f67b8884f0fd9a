#include "commands/Commands.h"

#include <array>

namespace mv {
namespace {

using O = CommandOwner;

// One row per command, or per numbered run. Card-window rows forward from the frame's
// menus; page-view rows go to the page view.
constexpr CommandInfo row(int id, std::string_view label, std::string_view hint = {},
                          int picture = 0, O owner = O::Frame, std::string_view shortcut = {}) {
  return CommandInfo{id, id, label, hint, picture, owner, shortcut, {}};
}
constexpr CommandInfo run(int first, int last, std::string_view label, O owner) {
  return CommandInfo{first, last, label, {}, 0, owner, {}, {}};
}
constexpr CommandInfo card(int id, std::string_view label, int picture = 0,
                           std::string_view tooltip = {}) {
  return CommandInfo{id, id, label, {}, picture, O::CardWindow, {}, tooltip};
}

constexpr auto kTable = std::to_array<CommandInfo>({
    // File
    card(cmd::kNewFile, "&New File", cmd::kNewFile, "New addressbook file"),
    card(cmd::kOpen, "&Open...", cmd::kOpen, "Open another addressbook file"),
    card(cmd::kSave, "&Save", cmd::kSave, "Save the changes to this file"),
    card(cmd::kSaveAs, "Save &As..."),
    card(cmd::kRescan, "&Rescan"),
    card(cmd::kBackup, "&Backup File"),
    card(cmd::kImport, "&Import"),
    card(cmd::kImportVcard, "Import v&Card..."),
    card(cmd::kExport, "&Export"),
    card(cmd::kSynchronize, "S&ynchronize..."),
    row(cmd::kPrint, "&Print", "Print the selected layout", cmd::kPrint),
    CommandInfo{cmd::kPrintPreview, cmd::kPrintPreview, "Print Pre&view", {}, cmd::kPrintPreview,
                O::Frame, {}, "Print Preview"},
    row(cmd::kPaperSize, "Paper Si&ze", "Set page margins and printing scale", cmd::kPaperSize),
    row(cmd::kPrinterSetup, "Printer &Setup", "Select Printer Driver"),
    run(cmd::kFirstRecent, cmd::kLastRecent, "", O::Frame),
    row(cmd::kSaveAndClose, "Sa&ve and Close\t[OK]", "Save settings and close program", 0,
        O::Frame, "Alt+F4"),
    row(cmd::kQuit, "&Quit\t[Cancel]"),
    // Edit
    card(cmd::kAddName, "&Add a new name", cmd::kAddName),
    card(cmd::kDeleteName, "&Delete the selected name", cmd::kDeleteName),
    card(cmd::kChangeName, "&Change the selected name", cmd::kChangeName),
    card(cmd::kAddGroup, "Add a new &group", cmd::kAddGroup),
    card(cmd::kDeleteGroup, "D&elete the selected group", cmd::kDeleteGroup),
    card(cmd::kFind, "&Find", 0, "Look for text"),
    card(cmd::kSearchAgain, "&Search Again"),
    card(cmd::kPhoneHome, "Phone &Home"),
    card(cmd::kPhoneOffice, "Phone &Office"),
    card(cmd::kPhoneMobile, ""),
    card(cmd::kSendEmail, "Send &Email"),
    card(cmd::kOpenWebPage, "Open &Web page"),
    card(cmd::kPhoneHome2, ""),
    card(cmd::kPhoneOffice2, ""),
    card(cmd::kSendEmail2, ""),
    card(cmd::kOpenWebPage2, ""),
    card(cmd::kNewsGroup, "News &Group"),
    card(cmd::kFtpSite, "FTP &Site"),
    card(cmd::kConnect, "&Connect"),
    // Tools
    card(cmd::kFindDuplicates, "Find &Duplicates"),
    // Setup
    row(cmd::kLabels, "&Labels\tCtrl+L", {}, cmd::kLabels, O::Frame, "Ctrl+L"),
    row(cmd::kEnvelope, "&Envelope\tCtrl+N", {}, cmd::kEnvelope, O::Frame, "Ctrl+N"),
    row(cmd::kPageSettings, "Page &Settings", "Change calendar and addressbook options"),
    row(cmd::kHeading, "Page &Heading", "Insert text - top of the page"),
    row(cmd::kFootnote, "Page &Footnote", "Insert text - bottom of the page"),
    row(cmd::kFontAndColor, "Fon&t and Color", "Change Font and Color", picture::kFontAndColor),
    row(cmd::kMyAddress, "&My Address", {}, 0, O::Frame),
    row(cmd::kPrinting, "&Printing"),
    // Help
    // The menu names F1 beside Content: F1 opens the help window, at the topic of the view
    // in front, with the contents beside it (kHelpOnView).
    row(cmd::kHelpContent, "&Content\tF1", "Content of help"),
    row(cmd::kHelpIndex, "&Index", "Search for help on..."),
    row(cmd::kAbout, "&About..."),
    // View
    row(cmd::kClosePreview, "&Close Preview", {}, cmd::kClosePreview),
    row(cmd::kAddressBook, "&Address Book", "Edit Address Book", cmd::kClosePreview, O::Frame,
        "Ctrl+A"),
    row(cmd::kToolbar, "&Toolbar"),
    // + and - themselves the page view reads, so that they never reach a window shortcut
    // while the card's boxes have the keyboard.
    row(cmd::kZoomIn, "Zoom &In\t+", "Increases view scale", cmd::kZoomIn, O::PageView,
        "Num++; Ctrl++; Ctrl+="),
    row(cmd::kZoomOut, "Zoom &Out\t-", "Decreases view scale", cmd::kZoomOut, O::PageView,
        "Num+-; Ctrl+-"),
    row(cmd::kZoom50, "&50%", {}, 0, O::PageView),
    row(cmd::kZoom80, "&80%", {}, 0, O::PageView),
    row(cmd::kZoom90, "&90%", {}, 0, O::PageView),
    row(cmd::kZoom100, "&100%", {}, 0, O::PageView),
    // Layout
    row(cmd::kLayout1Line, "1 line Addressbook"),
    row(cmd::kLayout2Line, "2 line Addressbook"),
    row(cmd::kLayout3Line, "3 line Addressbook"),
    row(cmd::kLayout5Line, "5 line Addressbook"),
    row(cmd::kLayoutDetailed, "Detailed Addressbook"),
    row(cmd::kLayoutEnvelope, "Envelope"),
    row(cmd::kLayoutLabels, "Labels"),
    row(cmd::kNextLayout, "Next Layout", "Next Layout"),
    row(cmd::kPriorLayout, "Prior Layout", "Prior Layout"),
    // Page; the hints "1".."5" stand for the navigation texts of the view kind.
    row(cmd::kNextPage, "&Next Page\tPageDown", "2", cmd::kNextPage),
    row(cmd::kPriorPage, "&Prior Page\tPageUp", "3", cmd::kPriorPage),
    row(cmd::kSkipForward, "Skip Pages - &Forward", "1", cmd::kSkipForward),
    row(cmd::kSkipBack, "Skip Pages - &Back", "4", cmd::kSkipBack),
    // The toolbar's two text buttons and the letter menu behind the page button.
    row(cmd::kLayoutButton, "", "Select a Layout", picture::kTextButtonFace),
    row(cmd::kPageButton, "", "5", picture::kTextButtonFace),
    run(cmd::kFirstLetter, cmd::kLastLetter, "", O::Frame),
    // Internal
    row(cmd::kRefreshPageView, ""),  // the frame counts the pages again, then the view draws
    row(cmd::kCloseMain, ""),
    row(cmd::kSetUpLayout, ""),
    row(cmd::kHelpOnView, "", {}, 0, O::Frame, "F1"),
    // The card window's own buttons and menus.
    card(cmd::kOk, "&OK"),
    card(cmd::kCancel, "Cancel"),
    card(cmd::kHelp, "Help"),
    card(cmd::kAZ, "A to Z menu... browse alphabetically"),
    card(cmd::kSortMenu, "Sort the items"),
    card(cmd::kSecondSetMenu, "Second set"),
    card(cmd::kGroupMenu, "Group menu"),
    card(cmd::kClearCard, "Clear the page for a new entry", 0, "Clear the page for a new entry"),
    card(cmd::kWebPage, "Quorvel web page"),
    card(cmd::kCopySummary, "Select All and Copy"),
    card(cmd::kAddNameTool, "Add a new name to the addressbook", 0,
         "Add a new name to the addressbook"),
    card(cmd::kDeleteTool, "Delete the selected item in the list", 0,
         "Delete the selected item in the list"),
    card(cmd::kChangeTool, "Change the address then click", 0, "Change the address then click"),
    card(cmd::kSortFirst, "by &First Name"),
    card(cmd::kSortLast, "by &Last Name"),
    card(cmd::kSortCompany, "by &Company"),
    run(cmd::kSecondSetFirst, cmd::kSecondSetLast, "", O::CardWindow),
    run(cmd::kGoToGroupFirst, cmd::kGoToGroupLast, "", O::CardWindow),
});

}  // namespace

std::span<const CommandInfo> commandTable() noexcept { return kTable; }

const CommandInfo* findCommand(int id) noexcept {
  for (const CommandInfo& c : kTable)
    if (id >= c.id && id <= c.last) return &c;
  return nullptr;
}

CommandOwner commandOwner(int id) noexcept {
  const CommandInfo* c = findCommand(id);
  return c ? c->owner : CommandOwner::Frame;
}

std::string_view commandTooltip(int id) noexcept {
  const CommandInfo* c = findCommand(id);
  return c ? c->tooltip : std::string_view();
}

std::string_view commandLabel(int id) noexcept {
  const CommandInfo* c = findCommand(id);
  return c ? c->label : std::string_view();
}

std::string_view commandHintEntry(int id) noexcept {
  const CommandInfo* c = findCommand(id);
  return c ? c->hint : std::string_view();
}

int commandPicture(int id) noexcept {
  const CommandInfo* c = findCommand(id);
  return c ? c->picture : 0;
}

}  // namespace mv
