#pragma once
// Where the window keeps the sync password: the desktop's secret store (QtKeychain). A
// machine without one keeps nothing, and the window asks each time: never a plain file.

#include <QString>

#include <optional>

namespace mv::sync {

class PasswordStore {
 public:
  virtual ~PasswordStore() = default;
  // nullopt: no password kept, or no secret store answered.
  virtual std::optional<QString> read(const QString& account) = 0;
  // False when no secret store took it.
  virtual bool write(const QString& account, const QString& password) = 0;
};

// The desktop's secret store through QtKeychain; each call waits for the answer.
class KeychainPasswordStore final : public PasswordStore {
 public:
  std::optional<QString> read(const QString& account) override;
  bool write(const QString& account, const QString& password) override;
};

}  // namespace mv::sync
