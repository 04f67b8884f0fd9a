#pragma once
// File > Synchronize...: the account (URL, user name, password), the address books found
// under the URL, "Sync Now" with a progress bar, and what the sync did. The sync is the
// core's; the dialog reads its controls, calls it and shows the result.

#include "sync/CardDav.h"

#include <QDialog>

#include <filesystem>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace mv::sync {

class PasswordStore;

class SyncDialog : public QDialog {
 public:
  // Control ids (each control's objectName).
  static constexpr int kHelpContext = 8074;  // the synchronizing topic
  static constexpr int kUrl = 101, kUser = 102, kPassword = 103, kAllowHttp = 104,
                       kFindBooks = 105, kBooks = 106, kSyncNow = 107, kProgress = 108,
                       kSummary = 109, kPasswordNote = 110;

  // `book` is saved: its file is what is synced. The account is read from and written to
  // `settingsFile` ("mervane.ini", section Sync).
  SyncDialog(std::filesystem::path book, std::filesystem::path settingsFile,
             PasswordStore& passwords, QWidget* parent = nullptr);

  // A sync wrote the book: the window reads it again.
  bool bookChanged() const noexcept { return bookChanged_; }

  void findAddressBooks();
  void syncNow();

 private:
  Account account() const;
  QString accountKey() const;
  void rememberAccount();
  void keepPassword();

  std::filesystem::path book_;
  std::filesystem::path settingsFile_;
  PasswordStore& passwords_;
  QLineEdit* url_;
  QLineEdit* user_;
  QLineEdit* password_;
  QCheckBox* allowHttp_;
  QPushButton* findBooks_;
  QListWidget* books_;
  QPushButton* syncNow_;
  QProgressBar* progress_;
  QLabel* summary_;
  QLabel* passwordNote_;
  bool bookChanged_ = false;
};

}  // namespace mv::sync
