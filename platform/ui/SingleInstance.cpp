#include "platform/ui/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace mv {

SingleInstance::SingleInstance(QString name, QString folder, QObject* parent)
    : QObject(parent), name_(std::move(name)), folder_(folder.isEmpty() ? defaultFolder() : folder) {
  if (!folder.isEmpty() || folder_ == qEnvironmentVariable("XDG_RUNTIME_DIR")) {
    QDir().mkpath(folder_);
    return;
  }
  // The shared temp folder: ours only if we made it, or it is as we would have made it.
  ::mkdir(QFile::encodeName(folder_).constData(), 0700);
  alone_ = !isPrivateFolder(folder_);
}

bool SingleInstance::isPrivateFolder(const QString& folder) {
  struct stat st {};
  if (::lstat(QFile::encodeName(folder).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 07777) == 0700;
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime;
  // Without a runtime folder, a folder of this user's own in /tmp keeps the socket
  // per-user.
  return QDir::tempPath() + QStringLiteral("/mervane-%1").arg(::getuid());
}

QString SingleInstance::socketPath() const { return folder_ + '/' + name_; }

bool SingleInstance::tryLock() {
  lock_ = std::make_unique<QLockFile>(lockPath());
  // The lock stays until this process ends; a lock left by a crashed copy is stale and
  // is taken over (QLockFile checks whether its owner still runs).
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) return true;
  lock_.reset();
  return false;
}

bool SingleInstance::listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // The lock is ours, so a socket file left behind belongs to a copy that is gone.
  QLocalServer::removeServer(socketPath());
  if (!server_->listen(socketPath())) return false;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
  return true;
}

void SingleInstance::listenOrWarn() {
  if (!listen())
    qWarning("Mervane: a second copy will not be able to bring this one to the front (%s)",
             qPrintable(server_->errorString()));
}

SingleInstance::Outcome SingleInstance::claim(int answerTimeoutMs, const QString& book) {
  if (alone_) return Outcome::First;
  if (tryLock()) {
    listenOrWarn();
    return Outcome::First;
  }
  // The lock is held: ask its holder to come forward. The holder may still be starting,
  // so connecting is retried until the timeout.
  QLocalSocket socket;
  QElapsedTimer timer;
  timer.start();
  while (true) {
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(500)) break;
    if (timer.elapsed() >= answerTimeoutMs) return Outcome::NoAnswer;
    QThread::msleep(100);
  }
  socket.write(kRaiseMessage);
  // A path holds no line break that matters here: one would end the message early and
  // the running copy would find no such book, so the path is refused before it is sent.
  if (!book.isEmpty() && !book.contains('\n')) {
    socket.write("\t");
    socket.write(book.toUtf8());
  }
  socket.write("\n");
  // flush() may write everything at once, after which waitForBytesWritten() has nothing
  // to wait for and says false; only the answer tells whether the message arrived.
  socket.flush();
  // The running copy answers "1" once it has taken the message.
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(std::max(100, answerTimeoutMs - static_cast<int>(timer.elapsed()))))
      return Outcome::NoAnswer;
  }
  return socket.read(1) == "1" ? Outcome::Raised : Outcome::NoAnswer;
}

void SingleInstance::claimWithoutCheck() {
  if (alone_) return;
  if (tryLock()) {
    listenOrWarn();
    return;
  }
  // The installer that started this copy ends a moment later; the lock is taken then, so
  // that a book opened from the desktop comes to this copy instead of a second window.
  auto* retry = new QTimer(this);
  retry->setInterval(500);
  connect(retry, &QTimer::timeout, this, [this, retry, tries = 0]() mutable {
    if (tryLock()) {
      listenOrWarn();
      retry->deleteLater();
    } else if (++tries >= 60) {
      retry->deleteLater();
    }
  });
  retry->start();
}

void SingleInstance::onNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // Read no more than one message can be; what does not end in time is dropped.
    socket->setReadBufferSize(kMaxHandOverBytes);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= kMaxHandOverBytes) socket->abort();
        return;
      }
      QByteArray line = socket->readLine();
      if (line.endsWith('\n')) line.chop(1);
      const qsizetype tab = line.indexOf('\t');
      const QByteArray word = tab < 0 ? line.trimmed() : line.left(tab);
      if (word == kRaiseMessage) {
        // The answer goes first: the handing copy ends at once, while this one may
        // still ask about its open book's changes before it opens the new one.
        socket->write("1");
        socket->flush();
        emit raiseRequested();
        if (tab >= 0 && tab + 1 < line.size()) emit bookHanded(QString::fromUtf8(line.mid(tab + 1)));
      }
      socket->disconnectFromServer();
    });
  }
}

}  // namespace mv
