#pragma once
// "Duplicates": the groups of entries that look alike on the left, two of a group's
// entries side by side on the right with a choice for each field, Merge and Undo. The
// finding, merging and undoing are DuplicateMerger's; this window shows them.

#include "store/Duplicates.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace mv {

class Prompter;

class TDuplicates final : public QDialog {
  Q_OBJECT
 public:
  // Control ids.
  enum : int { kClose = 2, kHelp = 9, kGroups = 101, kFields = 102, kMerge = 103, kUndo = 104,
               kNote = 105 };
  static constexpr int kHelpContext = 8073;
  // Columns of the field table; a checked value cell is the value the merge keeps.
  enum : int { kFieldColumn = 0, kFirstColumn = 1, kSecondColumn = 2 };

  TDuplicates(Book& book, DuplicateMerger& merger, Prompter& prompter, QWidget* parent = nullptr);

  // The two entries shown (slots), -1 when none.
  int firstSlot() const noexcept { return first_; }
  int secondSlot() const noexcept { return second_; }
  // Compares the group's `member`-th entry with its first (member 0: the first two).
  void showPair(int group, int member);
  // The field's value is taken from the second entry (true) or the first.
  void chooseSecond(FieldId field, bool second);
  void merge();
  void undo();
  // True when a merge or an undo changed the book.
  bool changedBook() const noexcept { return changed_; }

 private:
  void refill();
  void fillFields();
  void cellClicked(int row, int column);
  void updateButtons();
  FieldChoice choice() const;

  Book& book_;
  DuplicateMerger& merger_;
  Prompter& prompter_;
  QTreeWidget* groups_;
  QTableWidget* fields_;
  QLabel* note_;
  QPushButton* merge_;
  QPushButton* undo_;
  std::vector<DuplicateGroup> found_;
  int first_ = -1;
  int second_ = -1;
  bool changed_ = false;
  bool filling_ = false;
};

}  // namespace mv
