#pragma once
// The "Format" page of labels and envelopes: which fields print, the new-line, comma and
// bold options of each, the alignment, the text margins and the font of one section
// (Labels, Return Address or Delivery Address), with a preview of the field names laid
// out by the label text engine. The envelope's blocks have no margins: it hides them.

#include "printing/LabelPages.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace mv {

class Prompter;
class LabelFormatPreview;

struct LabelFormatPageContext {
  std::filesystem::path ini;
  std::string section;         // the section of the field keys, Align and Margins
  std::string fontKey;         // the key of section Font
  std::string marginsDefault;  // Margins when the section has none
  bool showMargins = true;
  std::string pageFace = "Arial";
  std::function<bool(FontSpec&)> chooseFont;  // the font dialog; true on OK
  // The label (or block) the preview shows, in tenths of a millimetre.
  std::function<LabelDimensions()> previewLabel;
};

class LabelFormatPage final : public QWidget {
  Q_OBJECT
 public:
  LabelFormatPage(QWidget* parent, Prompter& prompter, LabelFormatPageContext context);

  // The page's choices as a labels page draws them (dimensions from previewLabel).
  LabelPageSettings settings() const;
  void refreshPreview();
  // Writes the field keys, Margins, Align and the font; says so when it cannot.
  void ok();

 private:
  void showField(int field);
  void storeFieldOptions();

  Prompter& prompter_;
  LabelFormatPageContext context_;
  FieldLineOptions options_;
  FontSpec font_;
  LabelMargins margins_;  // as read, kept when the boxes are hidden
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
  LabelFormatPreview* preview_ = nullptr;
};

}  // namespace mv
