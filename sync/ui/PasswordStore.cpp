#include "sync/ui/PasswordStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace mv::sync {
namespace {

constexpr const char* kService = "Mervane CardDAV";

// Runs a keychain job to its end. The plain-text fallback stays off: a password goes to
// a secret store or nowhere.
bool finish(QKeychain::Job& job) {
  job.setAutoDelete(false);
  job.setInsecureFallback(false);
  QEventLoop loop;
  QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
  job.start();
  loop.exec();
  return job.error() == QKeychain::NoError;
}

}  // namespace

std::optional<QString> KeychainPasswordStore::read(const QString& account) {
  QKeychain::ReadPasswordJob job{QString::fromLatin1(kService)};
  job.setKey(account);
  if (!finish(job)) return std::nullopt;
  return job.textData();
}

bool KeychainPasswordStore::write(const QString& account, const QString& password) {
  QKeychain::WritePasswordJob job{QString::fromLatin1(kService)};
  job.setKey(account);
  job.setTextData(password);
  return finish(job);
}

}  // namespace mv::sync
