#pragma once
// One running copy per user. The first copy holds a lock file and listens on a local
// socket named after "Mervane"; a later copy connects, sends "QRVLMervane1" and ends,
// and the first copy brings its frame to the front. A later copy started with a book
// (from the desktop) hands its path over on the same line, and the first copy opens it.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace mv {

inline constexpr const char* kRaiseMessage = "QRVLMervane1";
// The longest message a copy takes: a line longer than this is dropped unread, so that
// whoever writes to the socket cannot make the program hold any amount of it.
inline constexpr qint64 kMaxHandOverBytes = 64 * 1024;

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    First,     // this copy holds the lock and listens
    Raised,    // another copy holds it and answered: exit 0
    NoAnswer,  // another copy holds it but did not answer: exit -1
  };

  // folder: where the lock and the socket live (empty = the per-user runtime folder, or
  // when there is none a private folder of this user's in the temp folder).
  explicit SingleInstance(QString name = "Mervane", QString folder = {},
                          QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock or, when another copy holds it, asks that copy to come forward and,
  // when `book` (an absolute path) is given, to open that book.
  [[nodiscard]] Outcome claim(int answerTimeoutMs = 5000, const QString& book = {});
  // First-run mode (started by the installer while its own copy holds the lock): no
  // check; the lock is taken as soon as it is free (within half a minute), so later
  // copies find this one.
  void claimWithoutCheck();

  // The folder used when none is given: $XDG_RUNTIME_DIR, else a per-user temp folder.
  static QString defaultFolder();
  // A folder only this user can enter: a real folder (no symbolic link) owned by the
  // user, mode 0700. Another user could plant a lock and a socket in any other, make a
  // starting copy end at once and receive the book it was given.
  static bool isPrivateFolder(const QString& folder);
  QString socketPath() const;
  // The lock file a running copy holds.
  QString lockPath() const { return socketPath() + QStringLiteral(".lock"); }
  // No private folder could be had: this copy runs alone, neither asking another copy
  // nor answering one.
  bool alone() const noexcept { return alone_; }

 signals:
  // Another copy asked this one to show its frame.
  void raiseRequested();
  // Another copy handed over a book to open (after raiseRequested).
  void bookHanded(const QString& path);

 private:
  [[nodiscard]] bool tryLock();
  [[nodiscard]] bool listen();
  // A copy that cannot listen still runs; later copies then end with "no answer".
  void listenOrWarn();
  void onNewConnection();

  QString name_;
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
  bool alone_ = false;
};

}  // namespace mv
