#pragma once
// The card as plain data: what the 28 edit boxes and the notes editor hold, which of them
// the user has typed into, and which second-set field the shared editor (field 20) shows.
// The card window mirrors its edit boxes from this model and reports typing into it.

#include "store/AddressRecord.h"

#include <array>
#include <string>
#include <string_view>

namespace mv {

class CardModel {
 public:
  static constexpr int kDefaultSecondSet = kLastSecondSet;  // "Other"

  // The text of an edit box; box 20 is the shared editor.
  const std::string& text(FieldId f) const { return boxes_[index(f)].text; }
  const std::string& notes() const noexcept { return notes_.text; }

  // The user typed: the box's text changes and it counts as modified.
  void type(FieldId f, std::string text);
  void typeNotes(std::string text);
  // The program puts a text into a box: not a modification.
  void put(FieldId f, std::string text);

  bool isModified(FieldId f) const { return boxes_[index(f)].modified; }
  // Any of the 28 boxes or the notes editor.
  bool anyModified() const noexcept;
  void clearModified() noexcept;

  // The second-set field (21..27) the shared editor shows.
  int secondSetField() const noexcept { return shown_; }
  // Switches the shared editor: its text goes back into the shown field's own box, the
  // chosen field's own box is shown in it. Values outside 21..27 are ignored.
  void showSecondSet(int field);
  // While the second-set menu is open: copies the shared editor into the shown field's
  // own box (so switching away keeps what was typed).
  void keepSharedEditor();

  // Shows a record: every field in its box, the chosen second-set field in the shared
  // editor (field 20 of a file is never shown), the notes; nothing modified.
  void load(const AddressRecord& record);
  // The record the card describes: the shared editor's text is stored into both the
  // chosen second-set field and field 20. Texts are cleaned (no line break in a field,
  // no record delimiters anywhere) and cut to what a file holds.
  AddressRecord toRecord() const;
  // What storing does to the card: the shared editor's text goes into the shown field's
  // own box, and the field buffers now hold the stored record.
  void noteStored(const AddressRecord& stored);

  // The field buffers: the record last loaded or stored (Change compares the Group it
  // loaded with the Group it stores).
  const AddressRecord& buffers() const noexcept { return buffers_; }

  // Clear card: fields 1..27 and the notes are emptied (the Group box stays).
  void clear();
  // Empties every box including Group (the rescan starts from a blank card).
  void clearAll();

  // Undo of the last edit in every box and the notes editor, as the edit boxes do it:
  // each box gets back the text it had before its last change; nothing is modified after.
  void undoLastEdit();

  // True when at least one of First, Last and Company is present.
  bool hasName() const;

 private:
  struct Box {
    std::string text;
    std::string before;  // the text before the last change, for undo
    bool modified = false;
  };
  static size_t index(FieldId f) { return static_cast<size_t>(toInt(f)); }
  static void set(Box& box, std::string text);

  std::array<Box, kFieldCount> boxes_{};
  Box notes_;
  AddressRecord buffers_;
  int shown_ = kDefaultSecondSet;
};

}  // namespace mv
