// File > Synchronize...: as it opens with a kept account, and after a sync.
#include "pictures/Pictures.h"

#include "platform/ui/Controls.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "sync/Sync.h"
#include "sync/ui/PasswordStore.h"
#include "sync/ui/SyncDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

namespace mv::pictures {
namespace {

// Nothing leaves the picture's process: the password is kept in memory.
class MemoryPasswords final : public sync::PasswordStore {
 public:
  std::optional<QString> read(const QString&) override { return QStringLiteral("secret"); }
  bool write(const QString&, const QString&) override { return true; }
};

}  // namespace

void syncPictures(Shooter& shoot) {
  Scene scene;
  std::filesystem::create_directories(scene.program());
  Profile profile(scene.ini(), std::string(keys::section::Sync));
  (void)profile.writeString(keys::sync::Url, "https://dav.example.org/");
  (void)profile.writeString(keys::sync::User, "anna");
  MemoryPasswords passwords;
  sync::SyncDialog dialog(scene.dir() / "book.adr", scene.ini(), passwords);
  shoot.take(dialog, "sync-dialog.png");

  auto* books = control<QListWidget>(&dialog, sync::SyncDialog::kBooks);
  books->clear();
  books->addItem("Contacts  (https://dav.example.org/anna/contacts/)");
  books->addItem("Club  (https://dav.example.org/anna/club/)");
  books->setCurrentRow(0);
  auto* progress = control<QProgressBar>(&dialog, sync::SyncDialog::kProgress);
  progress->setValue(1);
  sync::SyncCounts counts;
  counts.received = 2;
  counts.sent = 1;
  counts.conflicts = 1;
  control<QLabel>(&dialog, sync::SyncDialog::kSummary)
      ->setText(QString::fromStdString(sync::summaryText(counts)));
  shoot.take(dialog, "sync-dialog-done.png");
}

}  // namespace mv::pictures
