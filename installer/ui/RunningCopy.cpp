#include "installer/ui/RunningCopy.h"

#include "platform/ui/SingleInstance.h"

#include <QLocalSocket>
#include <QLockFile>

namespace mv {

bool mervaneRuns(const QString& folder) {
  // Only names the lock and the socket; nothing is claimed.
  const SingleInstance names(QStringLiteral("Mervane"), folder);
  // Without a private folder a running copy runs alone and cannot be seen; a lock or a
  // socket in a folder that others can write to proves nothing, and would let them keep
  // setup and remove from ever going ahead.
  if (names.alone()) return false;
  // A running copy answers on its socket. Connecting and leaving without a word does
  // nothing there: only the raise message makes it act.
  QLocalSocket socket;
  socket.connectToServer(names.socketPath());
  if (socket.waitForConnected(1000)) {
    socket.abort();
    return true;
  }
  // A copy that could not listen still holds the lock. The probe takes a free lock only
  // for the moment of the test (a stale one left by a crash counts as free).
  QLockFile lock(names.lockPath());
  lock.setStaleLockTime(0);
  if (!lock.tryLock(0)) return lock.error() == QLockFile::LockFailedError;
  lock.unlock();
  return false;
}

}  // namespace mv
