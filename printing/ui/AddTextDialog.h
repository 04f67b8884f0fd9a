#pragma once
// "Add Text": the page heading and footnote on two pages, each with its text, alignment
// and font. OK takes the pages that were shown into the records; Cancel, and a page never
// shown, leave them as they were.

#include "settings/FontSpec.h"
#include "settings/PageText.h"

#include <QDialog>

#include <array>
#include <functional>

class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace mv {

class AddTextDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 80;
  // The heading's text is held to 70 characters, the footnote's to 149.
  static constexpr int kHeadingLength = 70;
  static constexpr int kFootnoteLength = 149;
  // A font dialog on a font; false when cancelled.
  using FontDialog = std::function<bool(FontSpec&)>;

  // startPage: 0 the heading, 1 the footnote.
  AddTextDialog(QWidget* parent, const PageText& heading, const PageText& footnote,
                int startPage, FontDialog fontDialog = {});

  QWidget* page(int index) const;
  void setCurrentPage(int index);
  // Copies each page that was shown into its record.
  void takeInto(PageText& heading, PageText& footnote) const;

 private:
  struct Page {
    QWidget* widget = nullptr;
    QLineEdit* text = nullptr;
    std::array<QRadioButton*, 3> align{};
    PageText value;
    bool setUp = false;
  };
  void buildPage(int index, const QString& title);
  void setUpPage(int index);
  void chooseFont(int index);

  QTabWidget* tabs_ = nullptr;
  std::array<Page, 2> pages_;
  FontDialog fontDialog_;
};

// The page text's font as the font dialog takes it, and back: the page's units are
// 1/90 inch on the sheet, the dialog's hundredths of an inch; the sign of the height is
// kept (negative: the character height).
FontSpec fontSpecOfPageText(const PageText& text);
void takeFontSpec(PageText& text, const FontSpec& font);

}  // namespace mv
