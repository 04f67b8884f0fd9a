#pragma once
// "Envelope Setup": "Settings" (where the return and delivery addresses stand, with a
// preview and the way to My Address) and "Return Address" / "Delivery Address" (the
// labels' format page for each block, without margins). OK runs the pages' OK in the
// order Return Address, Delivery Address, Settings; Cancel keeps everything as it was.

#include "platform/Prompter.h"
#include "printing/EnvelopePages.h"

#include <QDialog>
#include <QWidget>

#include <filesystem>
#include <functional>

class QLineEdit;
class QTabWidget;

namespace mv {

class LabelFormatPage;
class EnvelopePositionPreview;

struct EnvelopeSheetContext {
  std::filesystem::path ini;       // mervane.ini
  std::string pageFace = "Arial";  // the face a "default" font means
  std::function<void()> editReturnAddress;
  std::function<bool(FontSpec&)> chooseFont;  // the font dialog; true on OK
};

// "Settings": the four positions, each held to its range when it is read.
class EnvelopeSizePage final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kReturnButton = 101, kPreview = 102, kReturnLeft = 104,
                       kReturnTop = 105, kDeliveryLeft = 113, kDeliveryTop = 114;

  EnvelopeSizePage(QWidget* parent, Prompter& prompter, const EnvelopeSheetContext& context);
  // The boxes as numbers within their ranges; a box outside its range shows its fallback.
  EnvelopePositions checkedPositions();
  // What the boxes say now, checked but left as typed (the preview, while typing).
  EnvelopePositions shownPositions() const;
  void ok();

 private:
  Prompter& prompter_;
  std::filesystem::path ini_;
  QLineEdit* returnLeft_;
  QLineEdit* returnTop_;
  QLineEdit* deliveryLeft_;
  QLineEdit* deliveryTop_;
  EnvelopePositionPreview* preview_;
};

class EnvelopeSheet final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 29;
  static constexpr int kSettingsPage = 0, kReturnPage = 1, kDeliveryPage = 2;
  // Font and Color opens the sheet here: the delivery address's font is the one that
  // stands out on the envelope.
  static constexpr int kFontPage = kDeliveryPage;

  EnvelopeSheet(QWidget* parent, Prompter& prompter, EnvelopeSheetContext context);
  void accept() override;

  QTabWidget* pages() const noexcept { return tabs_; }

 private:
  EnvelopeSheetContext context_;
  QTabWidget* tabs_ = nullptr;
  EnvelopeSizePage* size_ = nullptr;
  LabelFormatPage* returnFormat_ = nullptr;
  LabelFormatPage* deliveryFormat_ = nullptr;
};

}  // namespace mv
