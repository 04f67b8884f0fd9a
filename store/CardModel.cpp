#include "store/CardModel.h"

#include "platform/Text.h"
#include "store/AdrFormat.h"

namespace mv {
namespace {

std::string fieldForFile(std::string_view text) {
  std::string out = cleanFieldText(text);
  if (out.size() > kMaxFieldChars) out.resize(kMaxFieldChars);
  return out;
}

}  // namespace

void CardModel::set(Box& box, std::string text) {
  // A box that keeps its text also keeps nothing older to undo to.
  box.before = std::move(box.text);
  box.text = std::move(text);
}

void CardModel::type(FieldId f, std::string text) {
  Box& box = boxes_[index(f)];
  set(box, std::move(text));
  box.modified = true;
}

void CardModel::typeNotes(std::string text) {
  set(notes_, std::move(text));
  notes_.modified = true;
}

void CardModel::put(FieldId f, std::string text) { set(boxes_[index(f)], std::move(text)); }

bool CardModel::anyModified() const noexcept {
  if (notes_.modified) return true;
  for (const auto& b : boxes_)
    if (b.modified) return true;
  return false;
}

void CardModel::clearModified() noexcept {
  for (auto& b : boxes_) b.modified = false;
  notes_.modified = false;
}

void CardModel::keepSharedEditor() {
  Box& own = boxes_[static_cast<size_t>(shown_)];
  const Box& shared = boxes_[index(FieldId::Buffer)];
  set(own, shared.text);
  // What was typed in the shared editor belongs to the shown field.
  if (shared.modified) own.modified = true;
}

void CardModel::showSecondSet(int field) {
  if (field < kFirstSecondSet || field > kLastSecondSet) return;
  keepSharedEditor();
  shown_ = field;
  Box& shared = boxes_[index(FieldId::Buffer)];
  const bool wasModified = shared.modified;
  set(shared, boxes_[static_cast<size_t>(field)].text);
  shared.modified = wasModified;
}

void CardModel::load(const AddressRecord& record) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (i == toInt(FieldId::Buffer)) continue;
    set(boxes_[static_cast<size_t>(i)], record.fields[static_cast<size_t>(i)]);
  }
  set(boxes_[index(FieldId::Buffer)], record.fields[static_cast<size_t>(shown_)]);
  set(notes_, record.notes);
  buffers_ = record;
  clearModified();
}

AddressRecord CardModel::toRecord() const {
  AddressRecord r;
  for (int i = 0; i < kFieldCount; ++i)
    r.fields[static_cast<size_t>(i)] = fieldForFile(boxes_[static_cast<size_t>(i)].text);
  const std::string shared = fieldForFile(boxes_[index(FieldId::Buffer)].text);
  r.fields[static_cast<size_t>(shown_)] = shared;
  r[FieldId::Buffer] = shared;
  r.notes = cleanNotesText(notes_.text);
  if (r.notes.size() > adr::kMaxNotesRead) r.notes.resize(adr::kMaxNotesRead);
  return r;
}

void CardModel::noteStored(const AddressRecord& stored) {
  set(boxes_[static_cast<size_t>(shown_)], boxes_[index(FieldId::Buffer)].text);
  buffers_ = stored;
  clearModified();
}

void CardModel::clear() {
  for (int i = 1; i < kFieldCount; ++i) set(boxes_[static_cast<size_t>(i)], {});
  set(notes_, {});
}

void CardModel::clearAll() {
  set(boxes_[0], {});
  clear();
  buffers_ = AddressRecord{};
}

void CardModel::undoLastEdit() {
  for (auto& b : boxes_) std::swap(b.text, b.before);
  std::swap(notes_.text, notes_.before);
  clearModified();
}

bool CardModel::hasName() const {
  return isPresent(text(FieldId::First)) || isPresent(text(FieldId::Last)) ||
         isPresent(text(FieldId::Company));
}

}  // namespace mv
