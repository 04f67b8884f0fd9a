// File > Synchronize... driven by its command id and control ids against the test server:
// the unsaved book is saved first (or nothing happens), then the dialog syncs and the
// window shows what the server sent.
#include "cardwindow/ui/TCardFile.h"
#include "exchange/ImportBook.h"
#include "platform/Paths.h"
#include "platform/ui/Controls.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDir.h"
#include "sync/SyncServer.h"
#include "sync/ui/PasswordStore.h"
#include "sync/ui/SyncDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUuid>

#include <gtest/gtest.h>

namespace mv::sync {
namespace {

namespace fs = std::filesystem;

// A desktop without a secret store: nothing is kept.
class NoSecretStore final : public PasswordStore {
 public:
  std::optional<QString> read(const QString&) override { return std::nullopt; }
  bool write(const QString&, const QString&) override { return false; }
};

TEST(SynchronizeCommand, savesFirstThenSyncsAndShowsWhatCame) {
  const auto env = test::serverEnv();
  if (env.count("skip") || !env.count("url"))
    GTEST_SKIP() << "no CardDAV server: " << (env.count("skip") ? env.at("skip") : "not started");
  test::TestDir dir;
  fs::create_directories(dir / "scratch");
  setScratchDirForTesting(dir / "scratch");
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString((dir / "state").string()));
  test::Phone phone(QUrl(QString::fromStdString(env.at("url")))
                        .resolved(QUrl("mervane/" + QUuid::createUuid().toString(QUuid::Id128) + "/")));
  ASSERT_TRUE(phone.create());
  phone.put("eva.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:eva\r\nFN:Eva Ek\r\nN:Ek;Eva;;;\r\n"
                       "END:VCARD\r\n");
  AddressRecord anna;
  anna[FieldId::First] = "Anna";
  anna[FieldId::Last] = "Berg";
  test::writeFile(dir / "book.adr", *imp::bookBytes({anna}));

  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  ShellServices services;
  services.prompter = &prompter;
  services.fileChooser = &chooser;
  services.settingsFile = dir / "mervane.ini";
  TCardFile window(services);
  NoSecretStore secrets;
  window.setPasswordStore(&secrets);
  int dialogs = 0;
  QString summary, note;
  window.setDialogRunner([&](QDialog& d) {
    auto* dialog = dynamic_cast<SyncDialog*>(&d);
    if (!dialog) return int(QDialog::Rejected);
    ++dialogs;
    control<QLineEdit>(dialog, SyncDialog::kUrl)->setText(phone.url().toString());
    control<QLineEdit>(dialog, SyncDialog::kUser)->setText("mervane");
    control<QLineEdit>(dialog, SyncDialog::kPassword)->setText("secret");
    control<QPushButton>(dialog, SyncDialog::kFindBooks)->click();
    control<QPushButton>(dialog, SyncDialog::kSyncNow)->click();
    summary = control<QLabel>(dialog, SyncDialog::kSummary)->text();
    note = control<QLabel>(dialog, SyncDialog::kPasswordNote)->text();
    return int(QDialog::Accepted);
  });
  ASSERT_TRUE(window.openBook(dir / "book.adr"));
  EXPECT_TRUE(window.isCommandEnabled(cmd::kSynchronize).value_or(false));

  const auto editAnna = [&] {
    window.session().select({NamesList::kMain, 0});
    window.session().card().type(FieldId::Email, "anna@example.org");
  };
  // Not saved, not synced: the dialog does not open and the server gets nothing.
  editAnna();
  prompter.answer(Answer::No);
  window.onCommand(cmd::kSynchronize);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_NE(prompter.last().text.find("must be saved before it is synchronized"), std::string::npos);
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(phone.cards().size(), 1u);

  prompter.answer(Answer::Yes);
  window.onCommand(cmd::kSynchronize);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(summary.toStdString(), "Received 1, sent 1, deleted here 0, deleted there 0.");
  EXPECT_NE(note.indexOf("could not be stored"), -1);
  EXPECT_NE(phone.find("anna@example.org"), "");
  std::vector<std::string> names;
  for (const NameEntry& e : window.session().names().mainNames()) names.push_back(e.text);
  EXPECT_EQ(names, (std::vector<std::string>{"Anna Berg ", "Eva Ek "}));
}

}  // namespace
}  // namespace mv::sync
