// The Qt platform pieces the shell relies on: the display check and the help window.
#include "ShellTestSupport.h"

#include "platform/Display.h"
#include "platform/HelpWindow.h"
#include "shell/FontChooser.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QTextBrowser>

#include <map>

namespace mv::test {
namespace {

TEST(Display, aWindowNeedsADisplayOrAChosenPlatform) {
  struct Row {
    std::map<std::string, std::string> env;
    bool missing;
  };
  const Row rows[] = {
      {{}, true},                                   // a bare console or a service
      {{{"DISPLAY", ""}}, true},                    // set but empty counts as missing
      {{{"DISPLAY", ":0"}}, false},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, false},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, false},  // headless on purpose
  };
  for (const Row& r : rows) {
    const auto message = missingDisplayMessage([&](const char* name) -> const char* {
      const auto it = r.env.find(name);
      return it == r.env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(message.has_value(), r.missing);
    if (message) {
      EXPECT_NE(message->find("no display"), std::string::npos);
    }
  }
}

TEST(FontChooser, storedHeightsAreHundredthsOfAnInch) {
  FontSpec spec = parseFontSpec("50,700,1,0,1, 255,0,0, &<<Liberation Serif", "Arial");
  const QFont f = fontOfSpec(spec);
  EXPECT_DOUBLE_EQ(f.pointSizeF(), 36.0);  // half an inch
  EXPECT_TRUE(f.bold());
  EXPECT_TRUE(f.italic());
  EXPECT_TRUE(f.underline());
  EXPECT_FALSE(f.strikeOut());
  FontSpec back;
  back.color = spec.color;
  takeFont(back, f);
  EXPECT_EQ(back, spec);  // the round trip through the dialog's font keeps everything
}

TEST_F(ShellTest, helpCommandsOpenTheirTopics) {
  std::filesystem::create_directories(program() / "help");
  for (const char* topic : {"3", "257", "90"})
    writeFile(program() / "help" / (std::string(topic) + ".html"),
              std::string("<h1>topic ") + topic + "</h1>");
  EXPECT_EQ(helpTopicPath(90), program() / "help" / "90.html");
  EXPECT_EQ(helpTopicPath(4711), program() / "help" / "3.html");  // unknown: the contents

  MainFrame& f = start();
  f.onCommand(95);
  ASSERT_NE(HelpWindow::instance(), nullptr);
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 3);
  EXPECT_TRUE(HelpWindow::instance()->browser()->toPlainText().contains("topic 3"));
  f.onCommand(96);
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 257);
  EXPECT_TRUE(HelpWindow::instance()->browser()->toPlainText().contains("topic 257"));
  HelpWindow::instance()->search("TOPIC 90");
  EXPECT_TRUE(HelpWindow::instance()->browser()->toHtml().contains("90.html"));
  EXPECT_FALSE(HelpWindow::instance()->browser()->toHtml().contains("257.html"));
  f.close();  // the help goes with the frame
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(HelpWindow::instance(), nullptr);
}

TEST_F(ShellTest, popupMenusCheckTheCurrentItem) {
  MainFrame& f = start();
  f.onCommand(1078);  // from card mode: selects, then prints
  std::unique_ptr<QMenu> layouts(f.buildPopup(213, &f));
  QStringList checked;
  for (QAction* a : layouts->actions())
    if (a->isChecked()) checked << a->text();
  EXPECT_EQ(checked, QStringList{"Detailed Address"});

  // Several letters starting on the current page: the last of them is checked.
  f.appState().firstPageOfLetter = {1, 1, 1, 2};
  std::unique_ptr<QMenu> letters(f.buildPopup(212, &f));
  checked.clear();
  for (QAction* a : letters->actions())
    if (a->isChecked()) checked << a->text();
  EXPECT_EQ(checked, QStringList{"&C"});
}

}  // namespace
}  // namespace mv::test
