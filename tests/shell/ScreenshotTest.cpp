// Pictures of the frame for a person to look at; run by hand with
// MERVANE_SHOT_DIR=/some/folder shell_tests --gtest_also_run_disabled_tests --gtest_filter='*Screenshot*'
#include "ShellTestSupport.h"

#include "cardwindow/CardFile.h"

#include "platform_qt/Controls.h"
#include "platform/Paths.h"
#include "shell/PrintingProblemsDialog.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>


namespace mv::test {
namespace {

TEST_F(ShellTest, DISABLED_Screenshots) {
  const QString out = qEnvironmentVariable("MERVANE_SHOT_DIR", "/tmp");
  setMru(0, book("family.adr", "TVXADR_307").string());
  setMru(2, book("work.adr", "TVXADR_307").string());
  MainFrameOptions o;
  o.prompter = &prompter;
  o.fileChooser = &chooser;
  o.webBrowserProbe = nullptr;
  o.cardWindowFactory = createCardWindow;  // the real card window
  frame = std::make_unique<MainFrame>(std::move(o));
  MainFrame& f = *frame;
  f.setUp();
  f.show();
  QApplication::processEvents();
  f.grab().save(out + "/frame-card.png");
  f.onCommand(15);
  f.resize(800, 600);
  QApplication::processEvents();
  f.grab().save(out + "/frame-page.png");

  f.updateFileMenu();
  f.fileMenu()->popup(QPoint(0, 0));
  QApplication::processEvents();
  f.fileMenu()->grab().save(out + "/menu-file.png");
  f.fileMenu()->hide();
  // The Edit menu: the launch commands greyed until launching is built.
  for (QAction* top : f.menuBar()->actions()) {
    if (top->text() != "&Edit") continue;
    top->menu()->popup(QPoint(0, 0));
    QApplication::processEvents();
    top->menu()->grab().save(out + "/menu-edit.png");
    top->menu()->hide();
  }
  PrintingProblemsDialog d(f.customize(), ini(), prompter, nullptr);
  d.show();
  QApplication::processEvents();
  d.grab().save(out + "/printing-problems.png");
}

}  // namespace
}  // namespace mv::test
