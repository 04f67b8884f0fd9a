// Printing's dialogs: the print dialog on a small page size and the dialog shown while a
// job prints; the label sheet's pages and My Address; the envelope sheet's pages and the
// Envelope layout in the page view.
#include "pictures/Pictures.h"

#include "commands/CommandTarget.h"
#include "commands/Commands.h"
#include "support/ScriptedPrompter.h"
#include "printing/LayoutCatalogue.h"
#include "settings/Profile.h"
#include "printing/ui/EnvelopeSheet.h"
#include "printing/ui/LabelSheet.h"
#include "shell/MainFrame.h"
#include "printing/ui/PrintDialog.h"
#include "printing/ui/PrinterJob.h"
#include "printing/ui/UserInfoDialog.h"

#include <QPrinter>
#include <QTabWidget>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace mv::pictures {

namespace {

// Stands in for the card window so that the frame takes a book from a list of entries
// (the page view draws them); it shows nothing and takes every card-window command.
class BlankCardWindow : public QWidget, public CardWindowHost {
 public:
  explicit BlankCardWindow(QWidget* parent) : QWidget(parent) { setFixedSize(600, 400); }
  bool handlesCommand(int id) const override {
    return commandOwner(id) == CommandOwner::CardWindow;
  }
  bool onCommand(int) override { return true; }
  std::optional<bool> isCommandEnabled(int) const override { return std::nullopt; }
  bool hasHandler(int id) const override { return handlesCommand(id); }
  QWidget* widget() override { return this; }
  bool canClose() override { return true; }
  void saveWithoutAsking() override {}
  bool openBook(const std::filesystem::path&) override { return true; }
  int selectedEntryIndex() const override { return -1; }
};

AddressRecord person(std::string first, std::string last) {
  AddressRecord r;
  r[FieldId::First] = std::move(first);
  r[FieldId::Last] = std::move(last);
  return r;
}

void printDialogPictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  PrintDialogFacts facts;
  facts.layout = 1076;
  facts.count = facts.bookletCount = 26;
  facts.currentPage = 5;
  facts.geometry.sheetCode = 1;  // a 4 x 6 in page on the sheet
  facts.geometry.widthFraction = 1016.0 / 2159;
  facts.geometry.lengthFraction = 1524.0 / 2794;
  PrintDialog d(nullptr, prompter, scene.ini(),
                PrintDialogHooks{[facts] { return facts; }, [] {}, [] {}});
  d.show();
  shoot.take(d, "print-dialog.png");
  AbortDialog abort(nullptr, "Mervane", "MervanePDF");
  abort.show();
  shoot.take(abort, "print-abort.png");
}

void labelSheetPictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  LabelGrid grid;
  const auto dat = scene.dir() / "labels.dat";
  test::writeFile(dat,
                  "Alpha;Address 0, 667,254, 48,127, 699,254, 3,10\n"
                  "Beta;Shipping 0, 1016,508, 40,127, 1064,508, 2,5\n"
                  "A4;Address 1, 635,381, 72,152, 660,381, 3,7\n");
  LabelSheetContext c;
  c.ini = scene.ini();
  c.labelsDat = dat;
  c.grid = &grid;
  c.editReturnAddress = [] {};
  c.chooser = &chooser;
  c.printerName = "Laser";
  c.printJob = [](const PageJob&) {};
  LabelSheet sheet(nullptr, prompter, std::move(c));
  // Two labels of a part-used sheet left out.
  sheet.toggleLabel(0, 0);
  sheet.toggleLabel(2, 3);
  sheet.show();
  for (int page = 0; page < sheet.pages()->count(); ++page) {
    sheet.pages()->setCurrentIndex(page);
    shoot.take(sheet, QString("label-sheet-%1.png").arg(page));
  }
  UserInfoDialog me(nullptr, prompter, scene.ini());
  me.show();
  shoot.take(me, "my-address.png");
}

void envelopePictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  // My Address, for the return address the preview shows.
  if (!Profile(scene.ini(), "AddressBook").writeString("First Name", "Ann"))
    std::fprintf(stderr, "mervane-pictures: could not write My Address\n");
  {
    EnvelopeSheet sheet(nullptr, prompter, EnvelopeSheetContext{scene.ini(), "Arial", [] {}, {}});
    sheet.show();
    for (int page = 0; page < sheet.pages()->count(); ++page) {
      sheet.pages()->setCurrentIndex(page);
      shoot.take(sheet, QString("envelope-sheet-%1.png").arg(page));
    }
  }

  // The Envelope layout in the page view, on the second entry's envelope.
  std::vector<AddressRecord> entries{person("Ann", "Doe"), person("Bob", "Roe")};
  entries[1][FieldId::City] = "Lima";
  MainFrameOptions o;
  o.prompter = &prompter;
  o.fileChooser = &chooser;
  o.webBrowserProbe = [] { return BrowserProbe{true, "/usr/bin/some-browser"}; };
  o.printerFactory = [] { return makePdfPrinter(); };  // never a printer of the machine
  o.cardWindowFactory = [](QWidget* parent, ShellServices&) -> CardWindowHost* {
    return new BlankCardWindow(parent);
  };
  o.bookRecords = [entries] { return entries; };
  MainFrame f(std::move(o));
  f.setUp();
  f.show();
  f.setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
  f.onCommand(cmd::kPrintPreview);
  f.onCommand(kEnvelopeLayout);
  f.onCommand(cmd::kNextPage);
  f.resize(900, 600);
  shoot.take(f, "envelope-page-view.png");
  // And the Labels layout: each label's outline where the sheet has it.
  f.onCommand(kLabelsLayout);
  shoot.take(f, "labels-page-view.png");
}

}  // namespace

void printPictures(Shooter& shoot) {
  printDialogPictures(shoot);
  labelSheetPictures(shoot);
  envelopePictures(shoot);
}

}  // namespace mv::pictures
