#include "platform/ui/HelpWindow.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace mv {
namespace {

QPointer<HelpWindow>& theWindow() {
  static QPointer<HelpWindow> w;
  return w;
}

std::filesystem::path helpDir() { return programDir() / "help"; }

QString helpDirText() { return QString::fromStdString(helpDir().string()); }

// The context of a topic file's name ("90.html" -> 90); 0 for any other file.
int contextOfFile(const QString& fileName) {
  static const QRegularExpression topic(QStringLiteral("^(\\d{1,9})\\.html$"));
  const auto m = topic.match(fileName);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString readUtf8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString plainOf(const QString& html) {
  return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

constexpr int kContextRole = Qt::UserRole;

}  // namespace

std::filesystem::path helpTopicPath(int context) {
  const auto topic = helpDir() / (std::to_string(context) + ".html");
  if (std::filesystem::exists(topic)) return topic;
  return helpDir() / (std::to_string(kHelpContents) + ".html");
}

std::vector<HelpTopic> readHelpTopics() {
  std::vector<HelpTopic> topics;
  const QDir dir(helpDirText());
  for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
    const int context = contextOfFile(name);
    if (context == 0) continue;
    const QString html = readUtf8(dir.filePath(name));
    QTextDocument doc;
    doc.setHtml(html);
    HelpTopic t{context, doc.metaInformation(QTextDocument::DocumentTitle).simplified(),
                doc.toPlainText().simplified()};
    if (t.title.isEmpty()) {
      static const QRegularExpression heading(QStringLiteral("<h[1-6][^>]*>(.*?)</h[1-6]>"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::DotMatchesEverythingOption);
      t.title = plainOf(heading.match(html).captured(1));
    }
    if (t.title.isEmpty()) t.title = name;
    topics.push_back(std::move(t));
  }
  std::sort(topics.begin(), topics.end(),
            [](const HelpTopic& a, const HelpTopic& b) { return a.context < b.context; });
  return topics;
}

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      searchBox_(new QLineEdit(this)),
      contents_(new QTreeWidget(this)),
      browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(tr("Mervane Help"));
  setAccessibleName(tr("Mervane Help"));
  searchBox_->setObjectName(QStringLiteral("search"));
  searchBox_->setPlaceholderText(tr("Search help for..."));
  searchBox_->setAccessibleName(tr("Search help"));
  searchBox_->setClearButtonEnabled(true);
  // Every word typed narrows the list at once; an empty box goes back to the contents.
  connect(searchBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text.trimmed().isEmpty())
      showTopic(kHelpContents);
    else
      search(text);
  });
  connect(searchBox_, &QLineEdit::returnPressed, this, [this] { search(searchBox_->text()); });
  contents_->setObjectName(QStringLiteral("contents"));
  contents_->setAccessibleName(tr("Help contents"));
  contents_->setHeaderHidden(true);
  contents_->setColumnCount(1);
  connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!item) return;
    if (const int context = item->data(0, kContextRole).toInt(); context > 0)
      showTopic(context);
  });
  browser_->setObjectName(QStringLiteral("topic"));
  browser_->setAccessibleName(tr("Help topic"));
  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({helpDirText()});
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::followSource);
  // F1 here, as in every other window, asks for help: the contents.
  new QShortcut(QKeySequence(Qt::Key_F1), this, [this] { showTopic(kHelpContents); });

  auto* left = new QWidget(this);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addWidget(searchBox_);
  leftLayout->addWidget(contents_, 1);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(left);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 600});
  splitter->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(splitter);
  resize(900, 600);
  setAttribute(Qt::WA_DeleteOnClose);
  fillContents();
}

void HelpWindow::fillContents() {
  topics_ = readHelpTopics();
  const QSignalBlocker quiet(contents_);
  contents_->clear();
  std::set<int> listed;
  const auto add = [&](QTreeWidgetItem* under, int context) {
    const auto it = std::find_if(topics_.begin(), topics_.end(),
                                 [context](const HelpTopic& t) { return t.context == context; });
    if (it == topics_.end() || !listed.insert(context).second) return;
    auto* item = under ? new QTreeWidgetItem(under) : new QTreeWidgetItem(contents_);
    item->setText(0, it->title);
    item->setToolTip(0, it->title);  // a long title may be cut at the pane's edge
    item->setData(0, kContextRole, context);
  };
  // The contents page leads, then its sections (<h3>) with the topics it links in each.
  add(nullptr, kHelpContents);
  const QString page = readUtf8(QString::fromStdString(helpTopicPath(kHelpContents).string()));
  static const QRegularExpression entries(
      QStringLiteral("<h3[^>]*>(.*?)</h3>|href=\"(\\d{1,9})\\.html\""),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  QTreeWidgetItem* section = nullptr;
  for (auto it = entries.globalMatch(page); it.hasNext();) {
    const auto m = it.next();
    if (m.capturedLength(1) > 0) {
      section = new QTreeWidgetItem(contents_);
      section->setText(0, plainOf(m.captured(1)));
      section->setFlags(Qt::ItemIsEnabled);
      section->setExpanded(true);
    } else {
      add(section, m.captured(2).toInt());
    }
  }
  for (const HelpTopic& t : topics_) add(nullptr, t.context);
  contents_->expandAll();
}

void HelpWindow::followSource(const QUrl& url) {
  context_ = contextOfFile(url.fileName());
  const QSignalBlocker quiet(contents_);
  QTreeWidgetItem* shown = nullptr;
  for (QTreeWidgetItemIterator it(contents_); *it && !shown; ++it)
    if (context_ > 0 && (*it)->data(0, kContextRole).toInt() == context_) shown = *it;
  contents_->setCurrentItem(shown);
}

QString HelpWindow::currentTitle() const { return browser_->documentTitle(); }

void HelpWindow::showTopic(int context) {
  const auto path = helpTopicPath(context);
  if (std::filesystem::exists(path)) {
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(path.string())));
    followSource(browser_->source());  // also when the page was shown already
    return;
  }
  browser_->setHtml(tr("<html><head><title>Help is not installed</title></head><body>"
                       "<h2>Help is not installed</h2><p>The help topics belong in the "
                       "folder <tt>%1</tt>.</p></body></html>")
                        .arg(helpDirText().toHtmlEscaped()));
  followSource({});
}

void HelpWindow::search(const QString& query) {
  const QStringList words = query.simplified().split(' ', Qt::SkipEmptyParts);
  if (words.isEmpty()) {
    showTopic(kHelpKeySearch);
    return;
  }
  const auto holds = [&words](const QString& text) {
    return std::all_of(words.begin(), words.end(),
                       [&text](const QString& w) { return text.contains(w, Qt::CaseInsensitive); });
  };
  // Topics that hold the words in their title come first.
  std::vector<const HelpTopic*> inTitle, inText;
  for (const HelpTopic& t : topics_) {
    // The contents and the topic list hold every title, so they would match any search.
    if (t.context == kHelpContents || t.context == kHelpKeySearch) continue;
    if (holds(t.title))
      inTitle.push_back(&t);
    else if (holds(t.title + ' ' + t.text))
      inText.push_back(&t);
  }
  inTitle.insert(inTitle.end(), inText.begin(), inText.end());
  const QString shown = query.simplified().toHtmlEscaped();
  QString html = tr("<html><head><title>Search: %1</title></head><body>"
                    "<h2>Topics with \"%1\"</h2>").arg(shown);
  if (inTitle.empty()) {
    html += tr("<p>No topic holds all of these words. Try fewer words, or pick a topic "
               "from the contents.</p>");
  } else {
    html += "<ul>";
    for (const HelpTopic* t : inTitle) {
      const QString file = QDir(helpDirText()).filePath(QStringLiteral("%1.html").arg(t->context));
      html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                  .arg(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded), t->title.toHtmlEscaped());
    }
    html += "</ul>";
  }
  html += "</body></html>";
  browser_->setHtml(html);
  followSource({});
}

HelpWindow* HelpWindow::instance() { return theWindow(); }

HelpWindow* HelpWindow::display(int context) {
  if (!theWindow()) theWindow() = new HelpWindow();
  HelpWindow* w = theWindow();
  w->searchBox_->clear();  // a search typed before is not what this request asks for
  w->showTopic(context);
  w->show();
  w->raise();
  w->activateWindow();
  return w;
}

}  // namespace mv
