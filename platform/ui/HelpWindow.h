#pragma once
// The help: HTML topics in the "help" folder beside the program, one file per context
// number ("90.html"), shown in one help window with the contents beside the page and a
// search over every topic. Context 3 is the contents page and context 257 the topic list
// that stands in for the key search.

#include <QString>
#include <QWidget>

#include <filesystem>
#include <vector>

class QLineEdit;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace mv {

inline constexpr int kHelpContents = 3;
inline constexpr int kHelpKeySearch = 257;

// The topic file of a context number; the contents page when that topic is missing.
std::filesystem::path helpTopicPath(int context);

// One topic of the help folder: its context, its title (<title>, else its first
// heading, else the file name) and its text without markup, for the search.
struct HelpTopic {
  int context = 0;
  QString title;
  QString text;
};
// Every topic of the help folder, by context number.
std::vector<HelpTopic> readHelpTopics();

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Shows the topic in the one help window of the program and brings it forward.
  static HelpWindow* display(int context);
  // The open help window, if any (closed when the frame goes).
  static HelpWindow* instance();
  void showTopic(int context);
  // The topic shown, 0 for a list of search results.
  int currentContext() const noexcept { return context_; }
  // The title of the page shown.
  QString currentTitle() const;
  QTextBrowser* browser() const noexcept { return browser_; }
  // The contents: the sections of the contents page with their topics, then any topic
  // the contents page does not name.
  QTreeWidget* contents() const noexcept { return contents_; }
  QLineEdit* searchBox() const noexcept { return searchBox_; }
  // Lists the topics whose text holds every word of query (any letter case).
  void search(const QString& query);

 private:
  void fillContents();
  // The browser moved to another page (a link, back, forward).
  void followSource(const QUrl& url);

  QLineEdit* searchBox_;
  QTreeWidget* contents_;
  QTextBrowser* browser_;
  std::vector<HelpTopic> topics_;
  int context_ = 0;
};

}  // namespace mv
