// dump: every record in list order as indented JSON (UTF-8), with its slot, initial,
// mark, fields and notes.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/Cp1252.h"
#include "store/Book.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace mv::cli::verbs {
namespace {

QJsonValue jsonText(const std::string& cp1252) { return QJsonValue(fromCp1252(cp1252)); }

}  // namespace

int dump(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  QJsonArray records;
  for (const AddressRecord& r : book.recordsInListOrder()) {
    QJsonArray fields;
    for (const std::string& field : r.fields) fields.append(jsonText(field));
    records.append(QJsonObject{{"slot", r.slot},
                               {"initial", jsonText(std::string(1, r.initial))},
                               {"mark", r.mark},
                               {"fields", fields},
                               {"notes", jsonText(r.notes)}});
  }
  out << QJsonDocument(records).toJson(QJsonDocument::Indented).toStdString();
  return kOk;
}

}  // namespace mv::cli::verbs
