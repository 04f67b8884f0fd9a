#pragma once
// The card: 28 one-line boxes, one per field (ids 131 + FieldId), each drawing its card
// label inside itself; the shared editor (151) showing one second-set field at a time
// with the seven second-set boxes (152..158) beside; the buttons for the second-set menu
// and the group menu; keyboard movement between the boxes.

#include "commands/Commands.h"
#include "platform/ui/Colours.h"
#include "store/AddressRecord.h"
#include "store/CardModel.h"

#include <QColor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>
#include <QWidget>

#include <array>
#include <string>

class QToolButton;
class QMenu;

namespace mv {

// Keeps only text that Windows-1252 can hold. A character the book cannot store is left
// out however it arrives (typed, pasted, composed, or set by the program or by assistive
// technology) instead of turning into '?' when the book is saved, and the refusal is
// reported so that it is not silent.
class Cp1252Validator final : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;

 signals:
  // `count` characters were left out; `kept` is what remains of the text.
  void refused(int count, const QString& kept) const;
};

// The status-bar text for characters left out: a single refused key gets the short
// sentence; text that arrived together with other characters (a paste, a dictated
// phrase) also says how many were left out.
std::string refusedCharactersText(int count, bool withOthers);

// The background of a box under the pointer: its base colour tinted with the highlight.
QColor cardHoverBackground(const QPalette& palette);
// The colour of the labels inside the boxes: the palette's placeholder colour, moved
// toward the text colour until it reads at 4.5 : 1 or better against both backgrounds a
// box shows (its base colour and the hover colour).
QColor cardLabelColor(const QPalette& palette);

// One field box: draws its label right-aligned in a small font inside itself and
// reports the movement keys to the card.
class CardFieldEdit final : public QLineEdit {
  Q_OBJECT
 public:
  CardFieldEdit(int field, QWidget* parent);
  void setLabel(const QString& label);
  const QString& label() const noexcept { return label_; }
  // Text the program puts in: shown from its start, as the label's room would otherwise
  // hide the beginning of a long value behind the caret at its end.
  void showText(const QString& text);

 signals:
  // Qt::Key_Up, Key_Down, Key_PageUp or Key_PageDown.
  void moveRequested(int key);
  // Characters the book cannot hold were left out (see refusedCharactersText).
  void refused(int count, bool withOthers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The card's own palette: the box's ground and label colours come from it.
  QPalette plainPalette() const;
  // Lights the box up under the pointer unless it has the focus.
  void showGround();

  QString label_;
  QString lastText_;  // the text before the change being validated
  bool lit_ = false;
};

class TCardEditControls final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSecondSetButton = cmd::kSecondSetMenu;
  static constexpr int kGroupButton = cmd::kGroupMenu;

  // The card shows `model` and reports every edit into it.
  explicit TCardEditControls(CardModel& model, QWidget* parent = nullptr);

  CardFieldEdit* box(int field) const { return boxes_.at(static_cast<size_t>(field)); }
  CardFieldEdit* box(FieldId f) const { return box(toInt(f)); }
  QToolButton* groupButton() const noexcept { return groupButton_; }

  // Puts the model's texts into the boxes and the shown field's label on the shared
  // editor (after the program changed the card).
  void refresh();

  // The second-set button: the shared editor's text first goes back to the field it shows, then the
  // menu "&Connect", "&Home2"... opens with the current field checked, right-aligned under
  // the button; highlighting an item previews that field in the shared editor. The chosen
  // item is sent as a command.
  void showSecondSetMenu();
  // Shows a second-set field in the shared editor without making it current (menu
  // hover); a field outside 21..27 shows the current one again.
  void previewSecondSet(int field);
  void setConnectEnabled(bool on) { connectEnabled_ = on; }

  // Keyboard movement is honoured only once the window is set up.
  void setKeyboardReady(bool ready) { keyboardReady_ = ready; }
  void moveFocus(int fromField, int key);

 signals:
  // A command the card asks the window for (a second-set field, "&Connect", the menus).
  void commandRequested(int id);
  // A box left out characters the book cannot hold.
  void charactersRefused(int count, bool withOthers);

 private:
  void layoutBoxes();
  void typed(int field, const QString& text);

  CardModel& model_;
  std::array<CardFieldEdit*, kFieldCount> boxes_{};
  QToolButton* secondSetButton_ = nullptr;
  QToolButton* groupButton_ = nullptr;
  bool refreshing_ = false;
  bool connectEnabled_ = false;
  bool keyboardReady_ = false;
};

// The notes editor (105): multi-line, as much as the notes hold (notesRoom()), and like
// the card's boxes it takes only characters Windows-1252 can hold.
class NotesEdit final : public QPlainTextEdit {
  Q_OBJECT
 public:
  static constexpr int kId = 105;
  explicit NotesEdit(QWidget* parent = nullptr);

 signals:
  // Characters the book cannot hold were left out (see refusedCharactersText).
  void refused(int count, bool withOthers);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  int room() const;
  // What of `text` the notes can take: characters Windows-1252 holds, as far as they fit.
  QString fitting(const QString& text) const;
};

// The label of the second-set menu item for a field 21..27 ("&Home2"...).
QString secondSetMenuText(int field);

}  // namespace mv
