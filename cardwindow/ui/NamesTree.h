#pragma once
// The names list of the card window: "Main" and the groups, each with its names, the
// folder and person pictures, a triangle at the right end of entries that open, and the
// groups the user left open kept open when the list is built again.

// moc cannot read the C++20 headers behind the names list; the compiler can.
#ifndef Q_MOC_RUN
#include "store/NamesList.h"
#endif

#include <QSet>
#include <QTreeWidget>

namespace mv {

class NamesTree final : public QTreeWidget {
  Q_OBJECT
 public:
  explicit NamesTree(QWidget* parent = nullptr);

  // Read once at start: the card window's size, and with it the frame's, stays the same
  // for the whole session while the splitter moves room between the list and the card.
  void setRememberedWidth(int width) { remembered_ = width; }
  // The width the user last gave the list or, the first time, room for an entry of
  // typical length ("Lastname Firstname Company"), so that a newcomer's names are not
  // cut off.
  QSize sizeHint() const override;

  // Builds the list from `names` with `selection` current and its group open.
  void rebuild(const NamesList& names, EntryRef selection);
  // The item of an entry (null when it is not shown).
  QTreeWidgetItem* itemFor(EntryRef entry) const;
  static EntryRef entryOf(const QTreeWidgetItem& item);

 protected:
  bool event(QEvent* event) override;

 signals:
  // The user chose an entry (never while the list is being built).
  void entryChosen(EntryRef entry);

 private:
  int remembered_ = 0;
  bool building_ = false;
  QSet<QString> expandedGroups_;
};

}  // namespace mv
