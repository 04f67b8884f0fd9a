#pragma once
// The label property sheet "Labels": "Label Size" (the catalogue and the chosen format),
// "Select Labels" (which labels of the sheet are used), "Select Names" (who gets a label,
// or the return address on every label) and "Format" (fields, line options, alignment,
// margins, font). OK runs the pages' OK in that order; Cancel keeps everything as it was.
// The rules are the printing core's; the pages show and collect.

#include "platform/Prompter.h"
#include "printing/LabelPages.h"
#include "printing/PrinterCalibration.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace mv {

class ArrowBox;
class Book;
class FileChooser;
class LabelSheetPreview;
class LabelFormatPage;

struct LabelSheetContext {
  std::filesystem::path ini;        // mervane.ini
  std::filesystem::path labelsDat;  // the catalogue
  Book* book = nullptr;             // the open book; none: an empty names list
  LabelGrid* grid = nullptr;        // the labels in use, kept for the run
  std::string pageFace = "Arial";   // the face a "default" label font means
  std::function<void()> editReturnAddress;
  std::function<bool(FontSpec&)> chooseFont;  // the font dialog; true on OK
  FileChooser* chooser = nullptr;             // for label template files
  std::string printerName;                    // whose calibration the page shows
  std::function<void(const PageJob&)> printJob;  // to the printer, as File > Print does
};

class LabelSheet final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 32;

  LabelSheet(QWidget* parent, Prompter& prompter, LabelSheetContext context);
  void accept() override;

  QTabWidget* pages() const noexcept { return tabs_; }
  const LabelGrid& grid() const noexcept { return grid_; }
  // The catalogue as the "Label Size" page has edited it, written to labels.dat on OK.
  const LabelCatalogue& catalogue() const noexcept { return catalogue_; }
  // What the "Select Labels" preview and the "Format" preview show.
  LabelDimensions shownDimensions() const;
  LabelPageSettings formatPreviewSettings() const;
  void toggleLabel(int column, int row);

 private:
  // "Label Size"
  QWidget* buildSizePage();
  void refilter(int selectRow = 0);
  void showRow(int row);
  LabelFormat readBoxes() const;
  void addFormat();
  void deleteFormat();
  bool changeFormat();
  void saveChoice();
  // False when labels.dat could not be written: the sheet stays open with the edits.
  bool sizeOk();
  void importTemplates();
  QWidget* buildCalibration(QWidget* page);
  PrinterOffset shownOffset() const;
  // "Select Labels"
  QWidget* buildSelectPage();
  // "Select Names"
  QWidget* buildNamesPage();
  void checkAllNames(Qt::CheckState state);  // Select All, Select None
  bool namesOk();
  // "Format"
  QWidget* buildFormatPage();

  Prompter& prompter_;
  LabelSheetContext context_;
  LabelGrid grid_;
  // The unit of the format shown: what is typed is kept in it, so that a sheet measured in
  // inches stays exact.
  LabelUnit unit_ = LabelUnit::TenthMm;
  QTabWidget* tabs_ = nullptr;

  LabelCatalogue catalogue_;
  std::vector<LabelCatalogue::Row> rows_;
  bool changed_ = false;
  bool showing_ = false;
  QLineEdit* name_ = nullptr;
  QListWidget* list_ = nullptr;
  QComboBox* product_ = nullptr;
  QComboBox* type_ = nullptr;
  ArrowBox* top_ = nullptr;
  ArrowBox* left_ = nullptr;
  ArrowBox* width_ = nullptr;
  ArrowBox* height_ = nullptr;
  ArrowBox* vGap_ = nullptr;
  ArrowBox* hGap_ = nullptr;
  QSpinBox* across_ = nullptr;
  QSpinBox* down_ = nullptr;
  PrinterOffset storedOffset_;
  QSpinBox* offsetX_ = nullptr;
  QSpinBox* offsetY_ = nullptr;

  QListWidget* sheetList_ = nullptr;
  LabelSheetPreview* sheetPreview_ = nullptr;

  std::vector<LabelName> names_;
  QListWidget* namesList_ = nullptr;
  QRadioButton* useNames_ = nullptr;
  QRadioButton* useReturn_ = nullptr;

  LabelFormatPage* format_ = nullptr;
};

}  // namespace mv
