#include "cardwindow/ui/CardDialogs.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"
#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "platform/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace mv {
namespace {

QLineEdit* lineEdit(QWidget* parent, int id, int limit, const QString& name) {
  auto* e = new QLineEdit(parent);
  setControlId(e, id);
  e->setMaxLength(limit);
  e->setValidator(new Cp1252Validator(e));
  setAccessible(e, name);
  return e;
}

QPushButton* button(QDialogButtonBox* box, const QString& text, int id,
                    QDialogButtonBox::ButtonRole role) {
  auto* b = box->addButton(text, role);
  setControlId(b, id);
  setAccessible(b, QString(text).remove(QLatin1Char('&')));
  return b;
}

}  // namespace

QPoint placeUnderMouse(QSize dialog, QPoint okCentre, QPoint mouse, QRect screen) {
  int x = mouse.x() - okCentre.x();
  int y = mouse.y() - okCentre.y();
  if (x < 0) x = 5;
  if (y < 0) y = 5;
  if (x + dialog.width() > screen.right() + 1) x = screen.right() + 1 - 5 - dialog.width();
  if (y + dialog.height() > screen.bottom() + 1) y = screen.bottom() + 1 - 10 - dialog.height();
  return {x, y};
}

namespace {

// Places a dialog as it is about to appear: only then are its buttons laid out, and the
// window is not on the screen yet, so it never shows at another place first.
class OkUnderMouse final : public QObject {
 public:
  OkUnderMouse(QDialog& dialog, QWidget& okButton)
      : QObject(&dialog), dialog_(dialog), ok_(okButton) {
    dialog.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &dialog_ && event->type() == QEvent::Show) {
      place();
      deleteLater();  // once: a dialog shown again stays where the user left it
    }
    return false;
  }

 private:
  void place() {
    // Measured from the frame's corner, which is what moving places.
    const QPoint frame = dialog_.geometry().topLeft() - dialog_.pos();
    const QPoint centre = ok_.mapTo(&dialog_, ok_.rect().center()) + frame;
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    dialog_.move(
        placeUnderMouse(dialog_.frameSize(), centre, QCursor::pos(), screen->geometry()));
  }

  QDialog& dialog_;
  QWidget& ok_;
};

}  // namespace

void moveOkUnderMouse(QDialog& dialog, QWidget& okButton) { new OkUnderMouse(dialog, okButton); }

TCardFind::TCardFind(const FindState& state, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find Text"));
  auto* form = new QFormLayout;
  text_ = lineEdit(this, 101, static_cast<int>(kMaxFindChars), QStringLiteral("Look for"));
  text_->setText(fromCp1252(state.text));
  form->addRow(QStringLiteral("Look for:"), text_);
  range_ = new QComboBox(this);
  setControlId(range_, 12);
  setAccessible(range_, QStringLiteral("Range"));
  for (const auto& entry : findRangeEntries()) range_->addItem(fromCp1252(entry));
  range_->setCurrentIndex(fieldToRangeEntry(state.range));
  form->addRow(QStringLiteral("Range:"), range_);
  matchCase_ = new QCheckBox(QStringLiteral("&Match Case"), this);
  setControlId(matchCase_, 103);
  setAccessible(matchCase_, QStringLiteral("Match Case"));
  matchCase_->setChecked(state.matchCase);
  form->addRow(QString(), matchCase_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* find = button(buttons, QStringLiteral("&Find"), 1, QDialogButtonBox::AcceptRole);
  find->setDefault(true);
  button(buttons, QStringLiteral("Cancel"), 2, QDialogButtonBox::RejectRole);
  QPushButton* help = button(buttons, QStringLiteral("&Help"), 9, QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  giveHelp(this, kHelpContext, help);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  text_->setFocus();
  text_->selectAll();
}

void TCardFind::apply(FindState& state) const {
  state.text = toCp1252(text_->text()).substr(0, kMaxFindChars);
  state.matchCase = matchCase_->isChecked();
  state.range = rangeEntryToField(range_->currentIndex());
  state.fieldPosition = -1;
}

TCardAdd::TCardAdd(Prompter& prompter, const std::string& first, const std::string& last,
                   const std::string& company, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setWindowTitle(QStringLiteral("Add a new name"));
  auto* form = new QFormLayout;
  first_ = lineEdit(this, kFirstId, 23, QStringLiteral("First Name"));
  last_ = lineEdit(this, kLastId, 23, QStringLiteral("Last Name"));
  company_ = lineEdit(this, kCompanyId, 39, QStringLiteral("Company"));
  first_->setText(fromCp1252(first));
  last_->setText(fromCp1252(last));
  company_->setText(fromCp1252(company));
  form->addRow(QStringLiteral("First Name:"), first_);
  form->addRow(QStringLiteral("Last Name:"), last_);
  form->addRow(QStringLiteral("Company:"), company_);
  auto* buttons = new QDialogButtonBox(this);
  ok_ = button(buttons, QStringLiteral("OK"), 1, QDialogButtonBox::AcceptRole);
  ok_->setDefault(true);
  button(buttons, QStringLiteral("Cancel"), 2, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &TCardAdd::accept);
  giveHelp(this, kHelpContext);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}

std::string TCardAdd::first() const { return toCp1252(first_->text()); }
std::string TCardAdd::last() const { return toCp1252(last_->text()); }
std::string TCardAdd::company() const { return toCp1252(company_->text()); }

void TCardAdd::accept() {
  if (acceptNewName(NameParts{first(), last(), company()}, prompter_)) QDialog::accept();
}

TCardAddGroup::TCardAddGroup(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("New Group Name"));
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(QStringLiteral("Enter a new group name:"), this);
  name_ = lineEdit(this, kNameId, 254, QStringLiteral("New group name"));
  prompt->setBuddy(name_);
  layout->addWidget(prompt);
  layout->addWidget(name_);
  auto* buttons = new QDialogButtonBox(this);
  button(buttons, QStringLiteral("OK"), 1, QDialogButtonBox::AcceptRole)->setDefault(true);
  button(buttons, QStringLiteral("Cancel"), 2, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  giveHelp(this, kHelpContext);
  layout->addWidget(buttons);
  setMinimumWidth(300);
}

std::string TCardAddGroup::name() const { return toCp1252(name_->text()); }

}  // namespace mv
