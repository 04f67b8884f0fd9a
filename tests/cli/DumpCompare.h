#pragma once
// What `mervane-cli dump` says about a book, reduced to what a command must keep: each
// record's mark, fields and notes (slot, initial and list order may change).

#include "store/AddressRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace mv::test {

// One line per record: mark, then the fields and the notes, separated by a byte no field
// holds. Sorted, so that two dumps compare as sets.
inline std::optional<std::vector<std::string>> dumpedRecords(const std::string& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  if (error.error != QJsonParseError::NoError || !doc.isArray()) return std::nullopt;
  std::vector<std::string> out;
  for (const QJsonValue& value : doc.array()) {
    const QJsonObject r = value.toObject();
    std::string line = std::to_string(r["mark"].toInt());
    for (const QJsonValue& f : r["fields"].toArray()) line += '\x1F' + f.toString().toStdString();
    line += '\x1E' + r["notes"].toString().toStdString();
    out.push_back(std::move(line));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The rescan marks repeated names by appending "[Dup:n]" to the first name, cut with the
// field to 70 characters: a first name is compared without such endings.
inline std::string withoutDupSuffixes(std::string field) {
  while (true) {
    const size_t at = field.rfind("[Dup:");
    if (at == std::string::npos) break;
    size_t i = at + 5;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
    const bool whole = i < field.size() && field[i] == ']' && i + 1 == field.size() && i > at + 5;
    const bool cut = i == field.size() && field.size() == kMaxFieldChars;
    if (!whole && !cut) break;
    field.resize(at);
  }
  // A suffix cut before its "[Dup:" was complete.
  if (field.size() == kMaxFieldChars) {
    for (const char* part : {"[Dup", "[Du", "[D", "["}) {
      const std::string p(part);
      if (field.size() >= p.size() && field.compare(field.size() - p.size(), p.size(), p) == 0) {
        field.resize(field.size() - p.size());
        break;
      }
    }
  }
  return field;
}

inline std::vector<std::string> withoutDupSuffixes(std::vector<std::string> records) {
  for (std::string& line : records) {
    // The first name is the third field: after the mark and two separators.
    size_t start = 0;
    for (int i = 0; i <= toInt(FieldId::First) && start != std::string::npos; ++i)
      start = line.find('\x1F', start + (i ? 1 : 0));
    if (start == std::string::npos) continue;
    const size_t end = line.find('\x1F', start + 1);
    if (end == std::string::npos) continue;
    line.replace(start + 1, end - start - 1,
                 withoutDupSuffixes(line.substr(start + 1, end - start - 1)));
  }
  std::sort(records.begin(), records.end());
  return records;
}

}  // namespace mv::test
