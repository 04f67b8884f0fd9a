#pragma once
// What the main frame needs of a window it routes commands to (the card window, the
// page view): commands are numbers, as the menus and toolbars carry them.

#include <optional>
#include <string>

namespace mv {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // true when the id was handled.
  virtual bool onCommand(int id) = 0;
  // nullopt when this target has no say on the id.
  virtual std::optional<bool> isCommandEnabled(int id) const = 0;
};

// The card window as the frame sees it (closing, saving, the start book).
class CardWindowHost : public CommandTarget {
 public:
  // The close query: may ask the changed question; false when the user cancelled.
  virtual bool canClose() = 0;
  // Save and Close: store the book without asking and clear its changed mark.
  virtual void saveWithoutAsking() = 0;
  // Opens the book at path (already checked by the start-up check); false on failure.
  virtual bool openBook(const std::string& pathCp1252) = 0;
  // The 0-based index of the selected entry under "Main" (envelope printing), -1 none.
  virtual int selectedEntryIndex() const = 0;
};

}  // namespace mv
