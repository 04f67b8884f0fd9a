#include "cardwindow/ui/TCardEditControls.h"

#include "platform/ui/Controls.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"
#include "store/CardEditing.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace mv {
namespace {

constexpr int kSharedEditor = toInt(FieldId::Buffer);
constexpr int kLabelGap = 2;  // the label ends this many pixels before the right edge
constexpr int kBoxHeight = 25;  // 20 for the text, a little room above and below, the line
constexpr int kTextIndent = 1;  // with the line edit's own margin, 3 pixels before the text

// Small beside the value but still readable: a little below the application's font, and
// never under 11 pixels.
QFont labelFont() {
  QFont f(QStringLiteral("Small Fonts"));
  f.setStyleHint(QFont::SansSerif);
  f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"),
                 QStringLiteral("Liberation Sans")});
  const int appPixels = QFontInfo(QApplication::font()).pixelSize();
  f.setPixelSize(std::max(11, appPixels * 9 / 10));
  return f;
}

}  // namespace

QColor cardHoverBackground(const QPalette& palette) {
  const QColor base = palette.color(QPalette::Active, QPalette::Base);
  return mix(base, over(palette.color(QPalette::Active, QPalette::Highlight), base), 0.1);
}

QColor cardLabelColor(const QPalette& palette) {
  constexpr double kReadable = kReadableContrast;
  const QColor base = palette.color(QPalette::Active, QPalette::Base);
  const QColor hover = cardHoverBackground(palette);
  const QColor text = over(palette.color(QPalette::Active, QPalette::Text), base);
  const QColor start = over(palette.color(QPalette::Active, QPalette::PlaceholderText), base);
  const auto readable = [&](const QColor& c) {
    return contrastRatio(c, base) >= kReadable && contrastRatio(c, hover) >= kReadable;
  };
  // The lightest step toward the text colour that reads well: still set apart from the
  // value, which is drawn in the text colour itself.
  for (int step = 0; step <= 20; ++step) {
    const QColor c = mix(start, text, step / 20.0);
    if (readable(c)) return c;
  }
  return text;
}

std::string refusedCharactersText(int count, bool withOthers) {
  if (count == 1 && !withOthers) return "This character cannot be stored in an address book";
  return fillFormat("Characters that cannot be stored in an address book were left out: %d",
                    {std::to_string(count)});
}

QValidator::State Cp1252Validator::validate(QString& input, int& pos) const {
  int left = 0;
  QString kept = keepCp1252(input, &left);
  if (left == 0) return Acceptable;
  pos = static_cast<int>(keepCp1252(input.left(pos)).size());
  input = std::move(kept);
  emit refused(left, input);
  return Acceptable;
}

QString secondSetMenuText(int field) {
  static const char* kTexts[] = {"&Home2", "&Office2", "&EMail2", "&Web2",
                                 "&News Group", "&FTP Site", "&Other"};
  if (field < kFirstSecondSet || field > kLastSecondSet) return {};
  return QString::fromLatin1(kTexts[field - kFirstSecondSet]);
}

CardFieldEdit::CardFieldEdit(int field, QWidget* parent) : QLineEdit(parent) {
  const auto& info = fieldTable()[static_cast<size_t>(field)];
  setControlId(this, info.controlId);
  setMaxLength(info.inputLimit);
  auto* validator = new Cp1252Validator(this);
  setValidator(validator);
  connect(validator, &Cp1252Validator::refused, this, [this](int count, const QString& kept) {
    // Other characters came in with the refused ones when the text grew (or more than one
    // was refused): a paste or a dictated phrase rather than a single key.
    emit refused(count, count > 1 || kept.size() > lastText_.size());
  });
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
  // Boxes show only their bottom line (paintEvent) and light up under the pointer unless
  // focused (showGround). Drawn here rather than by a style sheet: restyling every box
  // through one cost more than the rest of the card window at start.
  setFrame(false);
  setMinimumHeight(kBoxHeight);
  setLabel(fromCp1252(info.cardLabel));
  setAccessible(this, fromCp1252(info.cardLabel.empty() ? info.listName : info.cardLabel));
}

void CardFieldEdit::setLabel(const QString& label) {
  label_ = label;
  // Typed text stops before the label so the two never overlap.
  const int width = label.isEmpty() ? 0 : QFontMetrics(labelFont()).horizontalAdvance(label);
  setTextMargins(kTextIndent, 0, width ? width + 2 * kLabelGap + 2 : 0, 0);
  update();
}

QPalette CardFieldEdit::plainPalette() const {
  return parentWidget() ? parentWidget()->palette() : QGuiApplication::palette();
}

void CardFieldEdit::showGround() {
  const bool lit = underMouse() && !hasFocus();
  if (lit == lit_) return;
  lit_ = lit;
  // The line edit paints its ground in the palette's base colour.
  const QPalette plain = plainPalette();
  QPalette p = palette();
  p.setColor(QPalette::Base, lit ? cardHoverBackground(plain) : plain.color(QPalette::Base));
  setPalette(p);
}

void CardFieldEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  QPainter p(this);
  const QPalette plain = plainPalette();
  // The bottom line: thicker, in the highlight colour, while the box has the focus.
  const int line = hasFocus() ? 2 : 1;
  p.fillRect(QRect(0, height() - line, width(), line),
             plain.color(hasFocus() ? QPalette::Highlight : QPalette::Mid));
  if (label_.isEmpty()) return;
  p.setFont(labelFont());
  p.setPen(cardLabelColor(plain));
  p.drawText(rect().adjusted(0, 0, -kLabelGap - 1, 0), Qt::AlignRight | Qt::AlignVCenter, label_);
}

void CardFieldEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  showGround();
}

void CardFieldEdit::enterEvent(QEnterEvent* event) {
  QLineEdit::enterEvent(event);
  showGround();
}

void CardFieldEdit::leaveEvent(QEvent* event) {
  QLineEdit::leaveEvent(event);
  showGround();
}

void CardFieldEdit::showText(const QString& text) {
  if (this->text() != text) setText(text);
  if (!hasFocus()) setCursorPosition(0);
}

void CardFieldEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  showGround();
  // Left behind, a long value shows its start again rather than the end the caret was at
  // (a context menu keeps the caret and the selection it works on).
  if (event->reason() != Qt::PopupFocusReason) setCursorPosition(0);
}

void CardFieldEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool noSelection = !hasSelectedText();
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
      key == Qt::Key_PageDown) {
    emit moveRequested(key);
    return;
  }
  // At the ends of the text, Left and Right carry on into the neighbouring box.
  if (key == Qt::Key_Left && noSelection && cursorPosition() == 0 &&
      event->modifiers() == Qt::NoModifier) {
    emit moveRequested(Qt::Key_Up);
    return;
  }
  if (key == Qt::Key_Right && noSelection && cursorPosition() == text().size() &&
      event->modifiers() == Qt::NoModifier) {
    emit moveRequested(Qt::Key_Down);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

NotesEdit::NotesEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setControlId(this, kId);
  setAccessible(this, QStringLiteral("Notes"));
}

int NotesEdit::room() const {
  const QString text = toPlainText();
  return notesRoom(static_cast<size_t>(text.size()),
                   static_cast<size_t>(text.count(QLatin1Char('\n'))),
                   static_cast<size_t>(textCursor().selectedText().size()));
}

void NotesEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!typed.isEmpty() && typed[0].isPrint()) {
    int left = 0;
    const QString kept = keepCp1252(typed, &left);
    if (left > 0) {
      // Refused: the book could not store it.
      emit refused(left, !kept.isEmpty());
      return;
    }
    if (room() < typed.size()) return;
  } else if (newLine && room() < 2) {
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

QString NotesEdit::fitting(const QString& text) const {
  QString storable;
  for (QChar c : text)
    if (isCp1252(c)) storable += c;
  return fromCp1252(fitNotes(toCp1252(storable), room()));
}

void NotesEdit::inputMethodEvent(QInputMethodEvent* event) {
  // Text composed through an input method passes the same refusal as typed keys.
  const QString commit = event->commitString();
  int left = 0;
  const QString kept = keepCp1252(commit, &left);
  if (left > 0) emit refused(left, !kept.isEmpty());
  if (commit.isEmpty() || fitting(commit) == commit) {
    QPlainTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(fitting(commit), event->replacementStart(),
                           event->replacementLength());
  QPlainTextEdit::inputMethodEvent(&filtered);
}

void NotesEdit::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  int left = 0;
  keepCp1252(source->text(), &left);
  // A paste always says how many characters it left out.
  if (left > 0) emit refused(left, true);
  insertPlainText(fitting(source->text()));
}

TCardEditControls::TCardEditControls(CardModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("card"));
  setAccessible(this, QStringLiteral("Card"));
  for (int f = 0; f < kFieldCount; ++f) {
    auto* box = new CardFieldEdit(f, this);
    boxes_[static_cast<size_t>(f)] = box;
    connect(box, &CardFieldEdit::moveRequested, this,
            [this, f](int key) { moveFocus(f, key); });
    // Every way text enters a box is an edit of the card: typing, but also text set
    // through the accessibility interface (dictation, screen-reader tools), which sets
    // the text without a key press.
    connect(box, &QLineEdit::textChanged, this, [this, f](const QString& text) {
      if (!refreshing_) typed(f, text);
    });
    connect(box, &CardFieldEdit::refused, this, &TCardEditControls::charactersRefused);
  }
  box(kSharedEditor)->setAccessibleDescription(QStringLiteral("Second set of numbers"));

  // The two menu buttons ask the window, which owns the menus' commands.
  const auto menuButton = [this](int id, const QString& tip, const QString& name) {
    auto* b = new QToolButton(this);
    setControlId(b, id);
    b->setFixedSize(25, 25);
    b->setArrowType(Qt::DownArrow);
    b->setToolTip(tip);
    setAccessible(b, name);
    connect(b, &QToolButton::clicked, this, [this, id] { emit commandRequested(id); });
    return b;
  };
  secondSetButton_ = menuButton(kSecondSetButton, QStringLiteral("Choose the second-set field"),
                                QStringLiteral("Second set"));
  groupButton_ = menuButton(kGroupButton, QStringLiteral("Choose a group"),
                            QStringLiteral("Group menu"));

  layoutBoxes();
  refresh();
}

void TCardEditControls::layoutBoxes() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  // Six columns on the left: pairs take three each, Mr/Ms one and First/Last a share.
  const auto put = [&](FieldId f, int row, int col, int span) {
    grid->addWidget(box(f), row, col, 1, span);
  };
  put(FieldId::MrMs, 0, 0, 1);
  put(FieldId::First, 0, 1, 2);
  put(FieldId::Last, 0, 3, 3);
  put(FieldId::Title, 1, 0, 6);
  put(FieldId::Dept, 2, 0, 6);
  put(FieldId::Company, 3, 0, 6);
  put(FieldId::Address1, 4, 0, 6);
  put(FieldId::Address2, 5, 0, 6);
  put(FieldId::City, 6, 0, 3);
  put(FieldId::State, 6, 3, 3);
  put(FieldId::Zip, 7, 0, 3);
  put(FieldId::Country, 7, 3, 3);
  put(FieldId::Home, 8, 0, 3);
  put(FieldId::Email, 8, 3, 3);
  put(FieldId::Office, 9, 0, 3);
  put(FieldId::WebSite, 9, 3, 3);
  put(FieldId::Mobile, 10, 0, 3);
  put(FieldId::Fax, 10, 3, 3);
  put(FieldId::Describe, 11, 0, 6);
  put(FieldId::Buffer, 12, 0, 5);
  grid->addWidget(secondSetButton_, 12, 5, Qt::AlignLeft);
  put(FieldId::Group, 13, 0, 5);
  grid->addWidget(groupButton_, 13, 5, Qt::AlignLeft);
  for (int c = 0; c < 6; ++c) grid->setColumnStretch(c, c == 0 ? 1 : 2);
  grid->setColumnMinimumWidth(6, 12);

  // The second set in a narrow column on the right.
  auto* title = new QLabel(QStringLiteral("Second set"), this);
  title->setAlignment(Qt::AlignCenter);
  grid->addWidget(title, 0, 7);
  for (int f = kFirstSecondSet; f <= kLastSecondSet; ++f) {
    grid->addWidget(box(f), 1 + f - kFirstSecondSet, 7);
    // Wide enough that a typical e-mail or web address is read from its start.
    box(f)->setMinimumWidth(190);
  }
  grid->setColumnStretch(7, 2);
  grid->setRowStretch(14, 1);

  // Tab follows the card as it reads, top to bottom, and then the second-set column,
  // rather than the field numbers (which would put Group first).
  QWidget* previous = nullptr;
  const auto chain = [&previous](QWidget* next) {
    if (previous) setTabOrder(previous, next);
    previous = next;
  };
  for (int f = toInt(FieldId::MrMs); f <= kSharedEditor; ++f) chain(box(f));
  chain(secondSetButton_);
  chain(box(FieldId::Group));
  chain(groupButton_);
  for (int f = kFirstSecondSet; f <= kLastSecondSet; ++f) chain(box(f));
}

void TCardEditControls::typed(int field, const QString& text) {
  model_.type(static_cast<FieldId>(field), toCp1252(text));
  // The shared editor and the box of the field it shows hold one value: what is typed in
  // one shows in the other, so the record keeps what was typed last in either.
  const int shown = model_.secondSetField();
  const int twin = field == kSharedEditor ? shown : field == shown ? kSharedEditor : -1;
  if (twin < 0) return;
  model_.type(static_cast<FieldId>(twin), toCp1252(text));
  refreshing_ = true;
  box(twin)->showText(text);
  refreshing_ = false;
}

void TCardEditControls::refresh() {
  refreshing_ = true;
  for (int f = 0; f < kFieldCount; ++f) {
    const QString text = fromCp1252(model_.text(static_cast<FieldId>(f)));
    // Only changed boxes are touched, so the caret stays where the user left it.
    if (box(f)->text() != text) box(f)->showText(text);
  }
  CardFieldEdit* shared = box(FieldId::Buffer);
  const QString label = box(model_.secondSetField())->label();
  shared->setLabel(label);
  shared->setAccessibleName(label);
  refreshing_ = false;
}

void TCardEditControls::previewSecondSet(int field) {
  CardFieldEdit* shared = box(FieldId::Buffer);
  if (field < kFirstSecondSet || field > kLastSecondSet) field = model_.secondSetField();
  refreshing_ = true;
  shared->showText(field == model_.secondSetField()
                       ? fromCp1252(model_.text(FieldId::Buffer))
                       : fromCp1252(model_.text(static_cast<FieldId>(field))));
  shared->setLabel(box(field)->label());
  refreshing_ = false;
}

void TCardEditControls::showSecondSetMenu() {
  // What was typed into the shared editor goes to the field it shows before the menu can
  // show another field there.
  model_.keepSharedEditor();
  refresh();
  QMenu menu(this);
  QAction* connectAction = menu.addAction(QStringLiteral("&Connect"));
  connectAction->setData(cmd::kConnect);
  connectAction->setEnabled(connectEnabled_);
  for (int f = kFirstSecondSet; f <= kLastSecondSet; ++f) {
    QAction* a = menu.addAction(secondSetMenuText(f));
    a->setData(cmd::kSecondSetFirst + f - kFirstSecondSet);
    a->setCheckable(true);
    a->setChecked(f == model_.secondSetField());
  }
  connect(&menu, &QMenu::hovered, this, [this](QAction* a) {
    const int id = a->data().toInt();
    previewSecondSet(id >= cmd::kSecondSetFirst && id <= cmd::kSecondSetLast
                         ? id - cmd::kSecondSetFirst + kFirstSecondSet
                         : -1);
  });
  const QPoint below = secondSetButton_->mapToGlobal(
      QPoint(secondSetButton_->width() - menu.sizeHint().width(), secondSetButton_->height()));
  QAction* chosen = menu.exec(below);
  previewSecondSet(-1);
  if (chosen) emit commandRequested(chosen->data().toInt());
}

void TCardEditControls::moveFocus(int fromField, int key) {
  if (!keyboardReady_) return;
  // Up and Down cycle through the boxes 0..20 (the second-set column is reached with the
  // mouse or Tab); Page Up goes to Mr/Ms, Page Down to the Group box.
  constexpr int kCycle = kSharedEditor + 1;
  int to = fromField;
  switch (key) {
    case Qt::Key_Down:
      to = fromField >= kCycle - 1 ? 0 : fromField + 1;
      break;
    case Qt::Key_Up:
      to = fromField <= 0 || fromField >= kCycle ? kCycle - 1 : fromField - 1;
      break;
    case Qt::Key_PageUp:
      to = toInt(FieldId::MrMs);
      break;
    case Qt::Key_PageDown:
      to = toInt(FieldId::Group);
      break;
    default:
      return;
  }
  box(to)->setFocus(Qt::OtherFocusReason);
}

}  // namespace mv
