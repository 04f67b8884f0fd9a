#pragma once
// The right half of the card window: the card's Edit, Notes and Link pages, the tabs
// below them, and the caption the Notes and Link pages carry. It shows the card model it
// is given and writes typed notes back into it.

#include <QWidget>

#include <string>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace mv {

class CardModel;
class NotesEdit;
class SummaryView;
class TCardEditControls;

class CardPages final : public QWidget {
  Q_OBJECT
 public:
  enum Page { EditPage = 1, NotesPage = 2, LinkPage = 3 };

  CardPages(CardModel& card, QWidget* parent = nullptr);

  TCardEditControls* card() const noexcept { return card_; }
  SummaryView* summary() const noexcept { return summary_; }
  Page page() const noexcept { return page_; }
  void setPage(Page page);
  // The caption names the entry shown; empty: no item is selected.
  void setCaption(const QString& shown);
  // Shows the card model as it stands: the boxes, the notes and, on the Link page, the
  // summary.
  void refresh();

 signals:
  // The user picked a page by its tab.
  void pageChosen(int page);
  // Characters the book cannot hold were left out of a box or the notes.
  void charactersRefused(int count, bool withOthers);

 private:
  void notesChanged();
  void rebuildSummary();
  void updateCaption();

  CardModel& model_;
  Page page_ = EditPage;
  bool notesBusy_ = false;
  QString shown_;
  QLabel* caption_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  TCardEditControls* card_ = nullptr;
  NotesEdit* notes_ = nullptr;
  QPushButton* notesButton_ = nullptr;
  SummaryView* summary_ = nullptr;
  QTabBar* tabs_ = nullptr;
};

}  // namespace mv
