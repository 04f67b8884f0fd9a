#include "exchange/ui/QtLauncher.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace mv {

Launcher::Result QtLauncher::openUrl(const std::string& url) {
  const QUrl target = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
  if (!target.isValid()) return Result::NoHandler;
  return QDesktopServices::openUrl(target) ? Result::Ok : Result::NoHandler;
}

Launcher::Result QtLauncher::startProgram(const std::string& program,
                                          const std::string& argument) {
  const bool started = QProcess::startDetached(QString::fromStdString(program),
                                               {QString::fromStdString(argument)});
  return started ? Result::Ok : Result::StartFailed;
}

void QtLauncher::copyToClipboard(const std::string& textUtf8) {
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setText(QString::fromStdString(textUtf8));
}

}  // namespace mv
