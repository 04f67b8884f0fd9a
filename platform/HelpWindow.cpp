#include "platform/HelpWindow.h"

#include "platform/Paths.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace mv {
namespace {

QPointer<HelpWindow>& theWindow() {
  static QPointer<HelpWindow> w;
  return w;
}

std::filesystem::path helpDir() { return programDir() / "help"; }

}  // namespace

std::filesystem::path helpTopicPath(int context) {
  const auto topic = helpDir() / (std::to_string(context) + ".html");
  if (std::filesystem::exists(topic)) return topic;
  return helpDir() / (std::to_string(kHelpContents) + ".html");
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  setWindowTitle(tr("Mervane Help"));
  setAccessibleName(tr("Mervane Help"));
  browser_->setAccessibleName(tr("Help topic"));
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(560, 480);
  setAttribute(Qt::WA_DeleteOnClose);
}

void HelpWindow::showTopic(int context) {
  context_ = context;
  const auto path = helpTopicPath(context);
  browser_->setSearchPaths({QString::fromStdString(helpDir().string())});
  if (std::filesystem::exists(path)) {
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(path.string())));
  } else {
    browser_->setHtml(tr("<h2>Help is not installed</h2><p>The help topics belong in the "
                         "folder <tt>%1</tt>.</p>")
                          .arg(QString::fromStdString(helpDir().string()).toHtmlEscaped()));
  }
}

HelpWindow* HelpWindow::instance() { return theWindow(); }

HelpWindow* HelpWindow::show(int context) {
  if (!theWindow()) theWindow() = new HelpWindow();
  HelpWindow* w = theWindow();
  w->showTopic(context);
  w->QWidget::show();
  w->raise();
  w->activateWindow();
  return w;
}

}  // namespace mv
