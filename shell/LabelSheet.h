#pragma once
// The label property sheet "Labels": "Label Size" (the catalogue and the chosen format),
// "Select Labels" (which labels of the sheet are used), "Select Names" (who gets a label,
// or the return address on every label) and "Format" (fields, line options, alignment,
// margins, font). OK runs the pages' OK in that order; Cancel keeps everything as it was.
// The rules are the printing core's; the pages show and collect.

#include "platform/Prompter.h"
#include "printing/LabelPages.h"

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
class LabelSheetPreview;
class LabelFormatPreview;

struct LabelSheetContext {
  std::filesystem::path ini;        // mervane.ini
  std::filesystem::path labelsDat;  // the catalogue
  Book* book = nullptr;             // the open book; none: an empty names list
  LabelGrid* grid = nullptr;        // the labels in use, kept for the run
  std::string pageFace = "Arial";   // the face a "default" label font means
  std::function<void()> editReturnAddress;
  std::function<bool(FontSpec&)> chooseFont;  // the font dialog; true on OK
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
  // "Select Labels"
  QWidget* buildSelectPage();
  // "Select Names"
  QWidget* buildNamesPage();
  bool namesOk();
  // "Format"
  QWidget* buildFormatPage();
  void showField(int field);
  void storeFieldOptions();
  void formatOk();

  Prompter& prompter_;
  LabelSheetContext context_;
  LabelGrid grid_;
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

  QListWidget* sheetList_ = nullptr;
  LabelSheetPreview* sheetPreview_ = nullptr;

  std::vector<LabelName> names_;
  QListWidget* namesList_ = nullptr;
  QRadioButton* useNames_ = nullptr;
  QRadioButton* useReturn_ = nullptr;

  FieldLineOptions options_;
  FontSpec font_;
  int field_ = 0;
  QListWidget* fields_ = nullptr;
  QCheckBox* newLine_ = nullptr;
  QCheckBox* comma_ = nullptr;
  QCheckBox* bold_ = nullptr;
  QRadioButton* alignLeft_ = nullptr;
  QRadioButton* alignCenter_ = nullptr;
  QRadioButton* alignRight_ = nullptr;
  QLineEdit* marginLeft_ = nullptr;
  QLineEdit* marginRight_ = nullptr;
  QLineEdit* marginTop_ = nullptr;
  QLineEdit* marginBottom_ = nullptr;
  LabelFormatPreview* formatPreview_ = nullptr;
};

}  // namespace mv
