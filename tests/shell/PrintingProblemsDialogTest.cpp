#include "printing/ui/PrintingProblemsDialog.h"

#include "platform/ui/Controls.h"
#include "support/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "support/TestDir.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
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
  std::unique_ptr<PrintingProblemsDialog> open() {
    return std::make_unique<PrintingProblemsDialog>(settings, ini, prompter);
  }
};

TEST_F(PrintingProblemsDialogTest, showsTheSettingsInItsControls) {
  settings.restoreDc = false;
  settings.forceNoBanding = true;
  settings.labelUseTextOut = true;
  settings.textoutYOffset = 9;  // out of -5..5: shown as 0
  settings.headingY1 = 60;      // out of 10..50: shown as 50
  auto d = open();
  EXPECT_FALSE(control<QCheckBox>(d.get(), 105)->isChecked());
  EXPECT_TRUE(control<QCheckBox>(d.get(), 104)->isChecked());
  EXPECT_TRUE(control<QCheckBox>(d.get(), 108)->isChecked());
  EXPECT_EQ(control<QCheckBox>(d.get(), 105)->text(), "Force printer restet");
  EXPECT_EQ(control<QCheckBox>(d.get(), 104)->text(), "No Banding");
  EXPECT_EQ(control<QCheckBox>(d.get(), 108)->text(),
            "Use simple output\nCheck this box only if labels are not being printed properly.");
  EXPECT_EQ(control<QLineEdit>(d.get(), 102)->text(), "0");
  EXPECT_EQ(control<QLineEdit>(d.get(), 103)->text(), "50");
}

// The rules themselves are tested with applyPrintingProblems; here, what the user meets.
TEST_F(PrintingProblemsDialogTest, aRefusedAdjustmentKeepsTheDialogOpen) {
  auto d = open();
  d->show();
  control<QLineEdit>(d.get(), 102)->setText("6");
  control<QCheckBox>(d.get(), 108)->setChecked(true);
  d->accept();
  EXPECT_TRUE(d->isVisible());
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "Value is not accepted");
  EXPECT_EQ(prompter.last().caption, "Mervane");
  EXPECT_EQ(settings.textoutYOffset, 0);
  // Simple output is written at once, even so.
  EXPECT_EQ(Profile(ini, "Customize").readInt("Label_Use_TextOut", 0), 1);

  control<QLineEdit>(d.get(), 102)->setText("-5");
  control<QLineEdit>(d.get(), 103)->setText("30");
  d->accept();
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(settings.textoutYOffset, -5);
  EXPECT_EQ(settings.headingY1, 30);
}

}  // namespace
}  // namespace mv
