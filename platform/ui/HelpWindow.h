#pragma once
// The help: HTML topics in the "help" folder beside the program, one file per context
// number ("90.html"), shown in one help window. Context 3 is the contents page and
// context 257 the topic list that stands in for the key search.

#include <QWidget>

#include <filesystem>

class QLineEdit;
class QTextBrowser;

namespace mv {

inline constexpr int kHelpContents = 3;
inline constexpr int kHelpKeySearch = 257;

// The topic file of a context number; the contents page when that topic is missing.
std::filesystem::path helpTopicPath(int context);

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Shows the topic in the one help window of the program and brings it forward.
  static HelpWindow* display(int context);
  // The open help window, if any (closed when the frame goes).
  static HelpWindow* instance();
  void showTopic(int context);
  int currentContext() const noexcept { return context_; }
  QTextBrowser* browser() const noexcept { return browser_; }
  // Lists the topics whose text holds every word of query (any letter case).
  void search(const QString& query);

 private:
  QLineEdit* searchBox_;
  QTextBrowser* browser_;
  int context_ = 0;
};

}  // namespace mv
