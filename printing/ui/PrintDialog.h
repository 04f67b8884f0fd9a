#pragma once
// "Print": the range, the print mode and the orientation of a print job, the size of the
// printed page, and the ways to the page settings (or the label and envelope sheets) and
// to the printer set-up. The rules are printing/PrintJob.h's; this reads the controls.

#include "printing/PageGeometry.h"
#include "printing/PrintJob.h"

#include <QDialog>

#include <filesystem>
#include <functional>

class QComboBox;
class QLabel;
class QRadioButton;

namespace mv {

class Prompter;

// What the dialog is opened on; asked again after "&Paper Size".
struct PrintDialogFacts {
  int layout = kDefaultLayout;
  int count = 1;         // pages, or sheets two on one, as the lists show them
  int bookletCount = 1;  // the same in the double-sided, even and odd modes
  int currentPage = 1;   // in the lists' numbers
  bool layoutLandscape = false;
  bool twoOnOne = false;
  PageGeometry geometry;
};

struct PrintDialogHooks {
  std::function<PrintDialogFacts()> facts;
  std::function<void()> paperSize;     // by layout: page settings, labels or envelope
  std::function<void()> printerSetup;
};

class PrintDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 16;
  static constexpr int kPaperSizeText = 111, kPaperSizeButton = 104, kPrinterSetupButton = 1610;
  static constexpr int kLandscape = 106, kPortrait = 107, kRangeGroup = 1618;
  static constexpr int kAll = 1611, kSelected = 1613, kFirstList = 1612, kLastList = 1614;
  static constexpr int kModeList = 1631;

  PrintDialog(QWidget* parent, Prompter& prompter, std::filesystem::path ini,
              PrintDialogHooks hooks);

  // OK: settles the range (or says why not and stays open).
  void accept() override;
  // Cancel: the whole document in the default mode.
  void reject() override;

  PrintRange range() const noexcept { return range_; }
  bool landscape() const noexcept { return landscape_; }

 private:
  void fill();
  void showPaper();
  void readRange();
  void firstChanged(int index);
  void lastChanged(int index);

  Prompter& prompter_;
  std::filesystem::path ini_;
  PrintDialogHooks hooks_;
  PrintDialogFacts facts_;
  PrintRange range_;
  bool landscape_ = false;
  bool inch_ = true;
  QLabel* paperText_;
  QRadioButton* landscapeBox_;
  QRadioButton* portraitBox_;
  QRadioButton* all_;
  QRadioButton* selected_;
  QComboBox* first_;
  QComboBox* last_;
  QComboBox* mode_;
};

}  // namespace mv
