#include "sync/ui/SyncDialog.h"

#include "platform/ui/DialogButtons.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "sync/Sync.h"
#include "sync/ui/PasswordStore.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::sync {
namespace {

constexpr std::size_t kValueChars = 1024;

template <typename W>
W* named(W* widget, int id, const QString& accessible) {
  widget->setObjectName(QString::number(id));
  widget->setAccessibleName(accessible);
  return widget;
}

}  // namespace

SyncDialog::SyncDialog(std::filesystem::path book, std::filesystem::path settingsFile,
                       PasswordStore& passwords, QWidget* parent)
    : QDialog(parent),
      book_(std::move(book)),
      settingsFile_(std::move(settingsFile)),
      passwords_(passwords),
      url_(named(new QLineEdit(this), kUrl, tr("Server or address book URL"))),
      user_(named(new QLineEdit(this), kUser, tr("User name"))),
      password_(named(new QLineEdit(this), kPassword, tr("Password"))),
      allowHttp_(named(new QCheckBox(tr("Allow plain &HTTP to this server (unencrypted)"), this),
                       kAllowHttp, tr("Allow plain HTTP"))),
      findBooks_(named(new QPushButton(tr("&Find Address Books"), this), kFindBooks,
                       tr("Find Address Books"))),
      books_(named(new QListWidget(this), kBooks, tr("Address books"))),
      syncNow_(named(new QPushButton(tr("&Sync Now"), this), kSyncNow, tr("Sync Now"))),
      progress_(named(new QProgressBar(this), kProgress, tr("Progress"))),
      summary_(named(new QLabel(this), kSummary, tr("Summary"))),
      passwordNote_(named(new QLabel(this), kPasswordNote, tr("Password note"))) {
  setWindowTitle(tr("Synchronize"));
  setObjectName(QStringLiteral("Synchronize"));
  password_->setEchoMode(QLineEdit::Password);
  url_->setPlaceholderText(QStringLiteral("https://dav.example.org/"));
  books_->setMinimumHeight(90);
  progress_->setRange(0, 1);
  progress_->setValue(0);
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  passwordNote_->setWordWrap(true);
  passwordNote_->hide();

  auto* form = new QFormLayout;
  form->addRow(tr("&URL:"), url_);
  form->addRow(tr("User &name:"), user_);
  form->addRow(tr("&Password:"), password_);
  form->addRow(QString(), allowHttp_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(passwordNote_);
  layout->addWidget(findBooks_, 0, Qt::AlignLeft);
  auto* booksLabel = new QLabel(tr("&Address books:"), this);
  booksLabel->setBuddy(books_);
  layout->addWidget(booksLabel);
  layout->addWidget(books_);
  layout->addWidget(syncNow_, 0, Qt::AlignLeft);
  layout->addWidget(progress_);
  layout->addWidget(summary_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
  layout->addWidget(buttons);
  QPushButton* help = buttons->button(QDialogButtonBox::Help);
  help->setObjectName(QStringLiteral("9"));  // Help, as in every dialog
  giveHelp(this, kHelpContext, help);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(findBooks_, &QPushButton::clicked, this, &SyncDialog::findAddressBooks);
  connect(syncNow_, &QPushButton::clicked, this, &SyncDialog::syncNow);
  resize(520, 480);

  const Profile profile(settingsFile_, std::string(keys::section::Sync));
  url_->setText(QString::fromStdString(profile.readString(keys::sync::Url, "", kValueChars)));
  user_->setText(QString::fromStdString(profile.readString(keys::sync::User, "", kValueChars)));
  allowHttp_->setChecked(profile.readInt(keys::sync::AllowHttp, 0) == 1);
  const QString chosen =
      QString::fromStdString(profile.readString(keys::sync::AddressBook, "", kValueChars));
  if (!chosen.isEmpty()) {
    auto* item = new QListWidgetItem(chosen, books_);
    item->setData(Qt::UserRole, chosen);
    books_->setCurrentItem(item);
  }
  if (!url_->text().isEmpty() && !user_->text().isEmpty()) {
    if (const std::optional<QString> kept = passwords_.read(accountKey())) password_->setText(*kept);
  }
}

QString SyncDialog::accountKey() const {
  return user_->text().trimmed() + QLatin1Char('@') + QUrl(url_->text().trimmed()).host();
}

Account SyncDialog::account() const {
  Account a;
  a.url = QUrl(url_->text().trimmed());
  a.user = user_->text().trimmed();
  a.password = password_->text();
  a.allowHttp = allowHttp_->isChecked();
  return a;
}

void SyncDialog::rememberAccount() {
  Profile profile(settingsFile_, std::string(keys::section::Sync));
  const QListWidgetItem* chosen = books_->currentItem();
  const bool written =
      profile.writeString(keys::sync::Url, url_->text().trimmed().toStdString()) &&
      profile.writeString(keys::sync::User, user_->text().trimmed().toStdString()) &&
      profile.writeInt(keys::sync::AllowHttp, allowHttp_->isChecked() ? 1 : 0) &&
      profile.writeString(keys::sync::AddressBook,
                          chosen ? chosen->data(Qt::UserRole).toString().toStdString() : "");
  (void)written;  // the sync goes on; the account is typed again next time
}

void SyncDialog::keepPassword() {
  if (passwords_.write(accountKey(), password_->text())) {
    passwordNote_->hide();
    return;
  }
  passwordNote_->setText(tr("The password could not be stored: no secret store of the desktop "
                            "answered. It is asked for each time."));
  passwordNote_->show();
}

void SyncDialog::findAddressBooks() {
  summary_->setText(tr("Looking for address books..."));
  QCoreApplication::processEvents();
  DavClient dav(account());
  const auto found = dav.findAddressBooks();
  books_->clear();
  if (!found) {
    summary_->setText(QString::fromStdString(describe(dav.error(), account().url)));
    return;
  }
  if (dav.error() != DavError::Refused) keepPassword();
  if (found->empty()) {
    summary_->setText(tr("No address books were found there."));
    return;
  }
  for (const AddressBookInfo& book : *found) {
    auto* item = new QListWidgetItem(book.name + QLatin1String("  (") +
                                         book.url.toString(QUrl::RemoveUserInfo) + QLatin1Char(')'),
                                     books_);
    item->setData(Qt::UserRole, book.url.toString(QUrl::RemoveUserInfo));
  }
  books_->setCurrentRow(0);
  summary_->setText(tr("%n address book(s) found.", nullptr, static_cast<int>(found->size())));
  rememberAccount();
}

void SyncDialog::syncNow() {
  Account a = account();
  if (const QListWidgetItem* chosen = books_->currentItem())
    a.url = QUrl(chosen->data(Qt::UserRole).toString());
  rememberAccount();
  syncNow_->setEnabled(false);
  findBooks_->setEnabled(false);
  summary_->setText(tr("Synchronizing..."));
  SyncOptions options;
  options.progress = [this](int done, int total, const std::string& what) {
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(done);
    progress_->setFormat(QString::fromStdString(what) + QLatin1String(" %v / %m"));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  const SyncOutcome outcome = synchronize(book_, a, options);
  const SyncCounts& c = outcome.counts;
  bookChanged_ = bookChanged_ || c.received > 0 || c.deletedHere > 0 || c.conflicts > 0;
  std::string text = outcome.ok() ? summaryText(c) : outcome.message;
  if (!outcome.ok() && (c.sent > 0 || c.received > 0 || c.deletedHere > 0 || c.deletedThere > 0))
    text += "\n" + summaryText(c) + "\nSync again to finish.";
  summary_->setText(QString::fromStdString(text));
  if (outcome.error != DavError::Refused && outcome.error != DavError::Unreachable &&
      outcome.error != DavError::PlainHttp)
    keepPassword();
  progress_->setRange(0, 1);
  progress_->setValue(outcome.ok() ? 1 : 0);
  progress_->setFormat(QStringLiteral("%p%"));
  syncNow_->setEnabled(true);
  findBooks_->setEnabled(true);
}

}  // namespace mv::sync
