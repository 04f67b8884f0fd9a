#include "platform/ui/HelpWindow.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
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

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), searchBox_(new QLineEdit(this)), browser_(new QTextBrowser(this)) {
  setWindowTitle(tr("Mervane Help"));
  setAccessibleName(tr("Mervane Help"));
  searchBox_->setPlaceholderText(tr("Search help for..."));
  searchBox_->setAccessibleName(tr("Search help"));
  searchBox_->setClearButtonEnabled(true);
  connect(searchBox_, &QLineEdit::returnPressed, this, [this] { search(searchBox_->text()); });
  browser_->setAccessibleName(tr("Help topic"));
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(searchBox_);
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

void HelpWindow::search(const QString& query) {
  const QStringList words = query.simplified().split(' ', Qt::SkipEmptyParts);
  if (words.isEmpty()) {
    showTopic(kHelpKeySearch);
    return;
  }
  const QDir dir(QString::fromStdString(helpDir().string()));
  QString html = tr("<h2>Topics with \"%1\"</h2><ul>").arg(query.simplified().toHtmlEscaped());
  int found = 0;
  for (const QString& name : dir.entryList({"*.html"}, QDir::Files, QDir::Name)) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QString text = QString::fromUtf8(file.readAll());
    const QString plain = QString(text).remove(QRegularExpression("<[^>]*>"));
    bool all = true;
    for (const QString& w : words) all = all && plain.contains(w, Qt::CaseInsensitive);
    if (!all) continue;
    const auto title = QRegularExpression("<title>(.*)</title>").match(text).captured(1);
    html += QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(name, title.isEmpty() ? name : title);
    ++found;
  }
  html += "</ul>";
  if (found == 0) html += tr("<p>No topic holds these words.</p>");
  browser_->setSearchPaths({dir.path()});
  browser_->setHtml(html);
}

HelpWindow* HelpWindow::instance() { return theWindow(); }

HelpWindow* HelpWindow::display(int context) {
  if (!theWindow()) theWindow() = new HelpWindow();
  HelpWindow* w = theWindow();
  w->showTopic(context);
  w->show();
  w->raise();
  w->activateWindow();
  return w;
}

}  // namespace mv
