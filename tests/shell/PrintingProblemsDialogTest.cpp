#include "shell/PrintingProblemsDialog.h"

#include "platform/Controls.h"
#include "platform/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "support/TestDir.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace mv {
namespace {

class PrintingProblemsDialogTest : public ::testing::Test {
 protected:
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
  ScriptedPrompter prompter;
  CustomizeSettings settings;
  std::vector<int> help;
  std::unique_ptr<PrintingProblemsDialog> open() {
    return std::make_unique<PrintingProblemsDialog>(settings, ini, prompter,
                                                    [this](int c) { help.push_back(c); });
  }
};

TEST_F(PrintingProblemsDialogTest, showsTheSettingsInItsControls) {
  settings.restoreDc = false;
  settings.forceNoBanding = true;
  settings.labelUseTextOut = true;
  settings.textoutYOffset = 9;  // out of -5..5: shown as 0
  settings.headingY1 = 40;
  auto d = open();
  EXPECT_FALSE(control<QCheckBox>(d.get(), 105)->isChecked());
  EXPECT_TRUE(control<QCheckBox>(d.get(), 104)->isChecked());
  EXPECT_TRUE(control<QCheckBox>(d.get(), 108)->isChecked());
  EXPECT_EQ(control<QCheckBox>(d.get(), 105)->text(), "Force printer restet");
  EXPECT_EQ(control<QCheckBox>(d.get(), 104)->text(), "No Banding");
  EXPECT_EQ(control<QCheckBox>(d.get(), 108)->text(),
            "Use simple output\nCheck this box only if labels are not being printed properly.");
  EXPECT_EQ(control<QLineEdit>(d.get(), 102)->text(), "0");
  EXPECT_EQ(control<QLineEdit>(d.get(), 103)->text(), "40");
}

TEST_F(PrintingProblemsDialogTest, okChecksTheVerticalAdjustment) {
  struct Row {
    std::string vertical, top;
    bool closes;
    int textout, headingY1;
  };
  const Row rows[] = {
      {"6", "30", false, 0, 40},   // out of range: refused, nothing stored
      {"-6", "30", false, 0, 40},
      {"-5", "30", true, -5, 30},  // limits are accepted
      {"5", "60", true, 5, 40},    // top margin out of range: HEADING_Y1 kept, silently
      {"2", "10", true, 2, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.vertical + "/" + r.top);
    settings = CustomizeSettings{};
    prompter.clear();
    auto d = open();
    d->show();
    control<QLineEdit>(d.get(), 102)->setText(QString::fromStdString(r.vertical));
    control<QLineEdit>(d.get(), 103)->setText(QString::fromStdString(r.top));
    control<QCheckBox>(d.get(), 108)->setChecked(true);
    d->accept();
    if (r.closes) {
      EXPECT_EQ(d->result(), QDialog::Accepted);
      EXPECT_TRUE(prompter.shown().empty());
    } else {
      EXPECT_TRUE(d->isVisible());
      ASSERT_EQ(prompter.shown().size(), 1u);
      EXPECT_EQ(prompter.last().text, "Value is not accepted");
      EXPECT_EQ(prompter.last().caption, "Mervane");
    }
    EXPECT_EQ(settings.textoutYOffset, r.textout);
    EXPECT_EQ(settings.headingY1, r.headingY1);
  }
  // Simple output is written at once.
  EXPECT_EQ(Profile(ini, "Customize").readInt("Label_Use_TextOut", 0), 1);
}

}  // namespace
}  // namespace mv
