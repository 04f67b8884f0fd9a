// The main frame with the real card window and two books in the recent list: the card,
// the page view, the File and Edit menus, and the printing work-arounds dialog.
#include "pictures/Pictures.h"

#include "cardwindow/ui/TCardFile.h"
#include "support/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "shell/MainFrame.h"
#include "printing/ui/PrintingProblemsDialog.h"

#include <QMenu>
#include <QMenuBar>

#include <cstdio>
#include <memory>

namespace mv::pictures {

namespace {

// A book file that names itself an address book and holds nothing: enough for the
// recent list.
std::filesystem::path emptyBook(const Scene& scene, const std::string& name) {
  const auto p = scene.dir() / name;
  test::writeFile(p, "TVXADR_307\n\x16\n0\nMain\n\x15  error!\n");
  return p;
}

void setMru(const Scene& scene, int index, const std::filesystem::path& book) {
  if (!Profile(scene.ini(), "MRU").writeString("MRU" + std::to_string(index), book.string()))
    std::fprintf(stderr, "mervane-pictures: could not write the recent list\n");
}

}  // namespace

void framePictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  setMru(scene, 0, emptyBook(scene, "family.adr"));
  setMru(scene, 2, emptyBook(scene, "work.adr"));
  MainFrameOptions o;
  o.prompter = &prompter;
  o.fileChooser = &chooser;
  o.webBrowserProbe = nullptr;
  o.cardWindowFactory = createCardWindow;  // the real card window
  auto frame = std::make_unique<MainFrame>(std::move(o));
  MainFrame& f = *frame;
  f.setUp();
  f.show();
  shoot.take(f, "frame-card.png");
  f.onCommand(cmd::kPrintPreview);
  f.resize(800, 600);
  shoot.take(f, "frame-page.png");

  f.updateFileMenu();
  f.fileMenu()->popup(QPoint(0, 0));
  shoot.take(*f.fileMenu(), "menu-file.png");
  f.fileMenu()->hide();
  for (QAction* top : f.menuBar()->actions()) {
    if (top->text() != "&Edit") continue;
    top->menu()->popup(QPoint(0, 0));
    shoot.take(*top->menu(), "menu-edit.png");
    top->menu()->hide();
  }
  PrintingProblemsDialog d(f.customize(), scene.ini(), prompter, nullptr);
  d.show();
  shoot.take(d, "printing-problems.png");
}

}  // namespace mv::pictures
