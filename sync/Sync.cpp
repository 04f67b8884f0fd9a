#include "sync/Sync.h"

#include "exchange/ImportBook.h"
#include "exchange/Vcard.h"
#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "store/Book.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUuid>

#include <map>
#include <set>

namespace mv::sync {
namespace {

// What the state file keeps of one entry as last synced.
struct Synced {
  QString href;
  QString etag;  // empty: the card is being created and the server may not have it yet
  std::string card;
  QByteArray hash;
};
// By the entry's name key, in lower case: the store tells names apart without case.
using State = std::map<std::string, Synced>;

constexpr const char* kUnknownEtag = "-";  // a write answered without an ETag

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string keyOf(const AddressRecord& r) { return lowered(nameKey(r, 0)); }

// The fields a card has no property for: a change of those alone sends nothing.
bool unmapped(int field) noexcept {
  return field == toInt(FieldId::Describe) || field == toInt(FieldId::Buffer) ||
         field == toInt(FieldId::NewsGroup) || field == toInt(FieldId::FtpSite) ||
         field == toInt(FieldId::Other);
}

QByteArray hashOf(const AddressRecord& r) {
  QCryptographicHash h(QCryptographicHash::Sha1);
  for (int f = 0; f < kFieldCount; ++f) {
    if (unmapped(f)) continue;
    const std::string& v = r.fields[static_cast<std::size_t>(f)];
    h.addData(QByteArrayView(v.data(), static_cast<qsizetype>(v.size())));
    h.addData("\x1f");
  }
  h.addData(QByteArrayView(r.notes.data(), static_cast<qsizetype>(r.notes.size())));
  return h.result().toHex();
}

// The server's card over the entry: the mapped fields from the card, the rest kept.
AddressRecord merged(const AddressRecord& fromCard, const AddressRecord& entry) {
  AddressRecord out = fromCard;
  for (int f = 0; f < kFieldCount; ++f)
    if (unmapped(f)) out.fields[static_cast<std::size_t>(f)] = entry.fields[static_cast<std::size_t>(f)];
  out.slot = entry.slot;
  out.mark = entry.mark;
  return out;
}

QString hrefKey(const DavClient& dav, const QString& href) {
  return QUrl::fromPercentEncoding(dav.resolve(href).path().toUtf8());
}

// ----- the state file

QString bytesText(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
std::string textBytes(const QString& s) { return s.toLatin1().toStdString(); }

State loadState(const std::filesystem::path& file, QString& token) {
  State state;
  std::string bytes;
  if (!readWholeFile(file, bytes)) return state;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes));
  token = doc.object().value(QLatin1String("syncToken")).toString();
  for (const QJsonValue& v : doc.object().value(QLatin1String("entries")).toArray()) {
    const QJsonObject o = v.toObject();
    Synced s;
    s.href = o.value(QLatin1String("href")).toString();
    s.etag = o.value(QLatin1String("etag")).toString();
    s.card = o.value(QLatin1String("card")).toString().toStdString();
    s.hash = o.value(QLatin1String("hash")).toString().toLatin1();
    if (!s.href.isEmpty()) state[textBytes(o.value(QLatin1String("key")).toString())] = s;
  }
  return state;
}

bool saveState(const std::filesystem::path& file, const State& state, const QString& token,
               const std::filesystem::path& book, const QUrl& url) {
  QJsonArray entries;
  for (const auto& [key, s] : state) {
    entries.append(QJsonObject{{QLatin1String("key"), bytesText(key)},
                               {QLatin1String("href"), s.href},
                               {QLatin1String("etag"), s.etag},
                               {QLatin1String("card"), QString::fromStdString(s.card)},
                               {QLatin1String("hash"), QString::fromLatin1(s.hash)}});
  }
  const QJsonObject root{{QLatin1String("book"), QString::fromStdString(book.string())},
                         {QLatin1String("url"), url.toString(QUrl::RemoveUserInfo)},
                         {QLatin1String("syncToken"), token},
                         {QLatin1String("entries"), entries}};
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
  return writeFileAtomically(file, std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
}

// ----- the book

// The book opened in a scratch folder of its own, so that the window's working copy and
// this one never meet; changed entry by entry, then written by one save.
class SyncBook {
 public:
  explicit SyncBook(const std::filesystem::path& scratch) : book_(scratch) {}

  BookStatus open(const std::filesystem::path& path) {
    const BookStatus status = book_.open(path);
    if (status != BookStatus::Ok) return status;
    book_.forEachInListOrder([this](const ListedRecord& listed) {
      AddressRecord r = listed.read();
      std::string key = keyOf(r);
      entries_.emplace(std::move(key), std::move(r));
    });
    return BookStatus::Ok;
  }

  std::map<std::string, AddressRecord>& entries() noexcept { return entries_; }
  int count() const noexcept { return static_cast<int>(entries_.size() + added_.size()); }
  bool has(const std::string& key) const {
    return entries_.count(key) > 0 || addedKeys_.count(key) > 0;
  }

  // The entry under `key` becomes `record` (which may carry another name).
  bool replace(const std::string& key, AddressRecord record) {
    auto it = entries_.find(key);
    const int slot = it->second.slot;
    record.slot = slot;
    const std::string newKey = keyOf(record);
    const std::string listKey = nameKey(record, 0);
    if (newKey != key || record[FieldId::Group] != it->second[FieldId::Group]) {
      removeNames(slot);
      book_.names().insertRecord(slot, listKey, record[FieldId::Group], /*sorted=*/true);
    }
    if (!book_.workingFile().append(record, slot, listKey.empty() ? '_' : listKey.front()))
      return false;
    entries_.erase(it);
    entries_.emplace(newKey, std::move(record));
    changed_ = true;
    return true;
  }

  void remove(const std::string& key) {
    auto it = entries_.find(key);
    book_.workingFile().setOffset(it->second.slot, WorkingFile::kDeleted);
    removeNames(it->second.slot);
    book_.workingFile().setChanged(true);
    book_.workingFile().setReorderNeeded(true);
    entries_.erase(it);
    changed_ = true;
  }

  // Added when the book is written, after the changes: taking a slot may renumber them.
  void add(AddressRecord record) {
    addedKeys_.insert(keyOf(record));
    added_.push_back(std::move(record));
    changed_ = true;
  }

  // A name for `record` that no other entry has, by the duplicate rule of the import.
  void makeDistinct(AddressRecord& record) const {
    if (!has(keyOf(record))) return;
    const AddressRecord original = record;
    for (int n = count() + 1;; ++n) {
      record = original;
      for (FieldId f : {FieldId::First, FieldId::Last, FieldId::Company}) {
        std::string& value = record[f];
        if (value.empty()) continue;
        const std::string suffix = duplicateSuffix(n);
        if (value.size() + suffix.size() > kMaxFieldChars) value.resize(kMaxFieldChars - suffix.size());
        value += suffix;
        break;
      }
      if (!has(keyOf(record))) return;
    }
  }

  // The added entries with the names they were added under.
  const std::vector<AddressRecord>& added() const noexcept { return added_; }

  BookStatus write() {
    if (!changed_) return BookStatus::Ok;
    for (AddressRecord& record : added_) {
      const int slot = book_.allocateSlot();
      if (slot < 0) return BookStatus::TooManyRecords;
      record.slot = slot;
      book_.workingFile().setMark(slot, 0);
      const std::string listKey = nameKey(record, 0);
      book_.names().insertRecord(slot, listKey, record[FieldId::Group], /*sorted=*/true);
      if (!book_.workingFile().append(record, slot, listKey.empty() ? '_' : listKey.front()))
        return BookStatus::WorkingFileError;
    }
    if (const BookStatus s = book_.rewrite(false); s != BookStatus::Ok) return s;
    return book_.save();
  }

 private:
  void removeNames(int slot) {
    NamesList& names = book_.names();
    for (int g = 0; g < names.groupCount(); ++g) {
      const auto& list = names.group(g).names;
      for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (list[static_cast<std::size_t>(i)].slot == slot) names.removeName(EntryRef{g, i});
    }
  }

  Book book_;
  std::map<std::string, AddressRecord> entries_;
  std::vector<AddressRecord> added_;
  std::set<std::string> addedKeys_;
  bool changed_ = false;
};

// A write the server is to get once the book is written.
struct ServerOp {
  enum Kind { Create, Update, Delete } kind;
  std::string key;
  QString href;
  QString ifMatch;
  std::string card;
  QByteArray hash;
};

vcard::Card parsedCard(std::string_view bytes) {
  std::vector<vcard::Card> cards = vcard::parseCards(bytes);
  return cards.empty() ? vcard::Card{} : std::move(cards.front());
}

// An entry renamed in the book: its synced name is gone, and one new name holds exactly
// what the card last held under the old one (every field but the names, and the notes).
// The card is then the renamed entry's, updated in place, so that what only the card holds
// (a photo, a birthday) stays; without this the rename would delete the card and send a
// new one. A match that is not one to one is left alone: delete and create, as before.
void followRenames(State& state, const std::map<std::string, AddressRecord>& entries,
                   const std::map<QString, CardRef>& server,
                   const std::map<QString, FetchedCard>& cards, const DavClient& dav) {
  const auto sameButNames = [](const AddressRecord& a, const AddressRecord& b) {
    for (int f = 0; f < kFieldCount; ++f) {
      if (f == toInt(FieldId::First) || f == toInt(FieldId::Last) ||
          f == toInt(FieldId::Company) || unmapped(f))
        continue;
      if (a.fields[static_cast<std::size_t>(f)] != b.fields[static_cast<std::size_t>(f)])
        return false;
    }
    return a.notes == b.notes;
  };
  std::vector<std::pair<std::string, std::string>> renames;  // old key, new key
  for (const auto& [oldKey, s] : state) {
    const QString href = hrefKey(dav, s.href);
    // Only a card still on the server and unchanged there: anything else has its own rule.
    if (entries.count(oldKey) || s.etag.isEmpty() || !server.count(href) || cards.count(href))
      continue;
    const std::optional<AddressRecord> last = vcard::cardRecord(parsedCard(s.card));
    if (!last) continue;
    std::vector<std::string> found;
    for (const auto& [newKey, r] : entries)
      if (!state.count(newKey) && sameButNames(*last, r)) found.push_back(newKey);
    if (found.size() == 1) renames.emplace_back(oldKey, found.front());
  }
  for (const auto& [oldKey, newKey] : renames) {
    const auto taken = std::count_if(renames.begin(), renames.end(),
                                     [&](const auto& r) { return r.second == newKey; });
    if (taken != 1 || state.count(newKey)) continue;
    state[newKey] = state.at(oldKey);
    state.erase(oldKey);
  }
}

}  // namespace

std::string summaryText(const SyncCounts& c) {
  std::string out = "Received " + std::to_string(c.received) + ", sent " + std::to_string(c.sent) +
                    ", deleted here " + std::to_string(c.deletedHere) + ", deleted there " +
                    std::to_string(c.deletedThere) + ".";
  if (c.conflicts > 0)
    out += "\n" + std::to_string(c.conflicts) +
           (c.conflicts == 1 ? " entry was" : " entries were") +
           " changed on both sides: the server's version is in the entry, yours beside it "
           "marked [Dup:n].";
  if (c.leftOnServer > 0)
    out += "\n" + std::to_string(c.leftOnServer) +
           (c.leftOnServer == 1 ? " card stays" : " cards stay") +
           " on the server: the book holds at most " + std::to_string(kBookLimit) + " entries.";
  return out;
}

std::filesystem::path stateFolder() {
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (base.isEmpty()) base = QDir::homePath() + QLatin1String("/.local/state");
  return std::filesystem::path(base.toStdString()) / "mervane" / "sync";
}

std::filesystem::path stateFile(const std::filesystem::path& folder,
                                const std::filesystem::path& book, const QUrl& collection) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::weakly_canonical(book, ec);
  if (ec) absolute = std::filesystem::absolute(book, ec);
  const QByteArray id = QByteArray::fromStdString(absolute.string()) + '\n' +
                        collection.adjusted(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash)
                            .toString()
                            .toUtf8();
  return folder / (QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().toStdString() +
                   ".json");
}

SyncOutcome synchronize(const std::filesystem::path& bookPath, const Account& account,
                        const SyncOptions& options) {
  SyncOutcome outcome;
  SyncCounts& counts = outcome.counts;
  const auto progress = [&options](int done, int total, const char* what) {
    if (options.progress) options.progress(done, total, what);
  };
  const auto fail = [&outcome](DavError error, std::string message) {
    outcome.error = error;
    outcome.message = std::move(message);
    return outcome;
  };
  DavClient dav(account);
  const std::filesystem::path statePath =
      stateFile(options.stateFolder.empty() ? stateFolder() : options.stateFolder, bookPath,
                account.url);
  QString token;
  State state = loadState(statePath, token);

  QTemporaryDir scratch;
  if (!scratch.isValid()) return fail(DavError::Failed, "No scratch folder could be made.");
  SyncBook book(scratch.path().toStdString());
  if (const BookStatus s = book.open(bookPath); s != BookStatus::Ok)
    return fail(DavError::Failed, bookPath.string() + ": " + describe(s));

  // --- what the server has, and the cards that are new or changed there
  progress(0, 1, "Looking at the server");
  const auto listed = dav.listCards(state.empty() ? QString() : token);
  if (!listed) return fail(dav.error(), describe(dav.error(), account.url));
  std::map<QString, CardRef> server;  // by href key
  if (listed->changesOnly) {
    // What the server had at the last sync, with what changed since. A card whose
    // creation was cut off is not assumed to be there: it is sent unless it was listed.
    for (const auto& [key, s] : state)
      if (!s.etag.isEmpty()) server[hrefKey(dav, s.href)] = CardRef{s.href, s.etag};
    for (const QString& gone : listed->removed) server.erase(hrefKey(dav, gone));
  }
  for (const CardRef& c : listed->cards) server[hrefKey(dav, c.href)] = c;
  // The next sync may ask for the changes only when every card of the server is in the
  // state now: a card left out (no room, nothing to know it by) must be seen again.
  bool complete = true;
  const QString nextToken = listed->syncToken;
  std::map<QString, std::string> knownHref;  // href key -> state key
  for (const auto& [key, s] : state) knownHref[hrefKey(dav, s.href)] = key;
  std::vector<QString> wanted;
  for (const auto& [href, c] : server) {
    const auto known = knownHref.find(href);
    if (known == knownHref.end() || state[known->second].etag != c.etag) wanted.push_back(c.href);
  }
  progress(0, static_cast<int>(wanted.size()), "Fetching cards");
  const auto fetched = dav.fetch(wanted);
  if (!fetched) return fail(dav.error(), describe(dav.error(), account.url));
  std::map<QString, FetchedCard> cards;
  for (const FetchedCard& c : *fetched) cards[hrefKey(dav, c.href)] = c;

  // --- the server's changes into the book; the book's changes noted for the server
  std::vector<ServerOp> ops;
  auto& entries = book.entries();
  const auto entryChanged = [&](const std::string& key, const Synced& s) {
    return hashOf(entries.at(key)) != s.hash;
  };
  // A card from the server into the state under the name its entry now has.
  const auto adopt = [&](const std::string& key, const FetchedCard& card, const AddressRecord& r) {
    state[key] = Synced{card.href, card.etag.isEmpty() ? QString::fromLatin1(kUnknownEtag) : card.etag,
                        card.data.toStdString(), hashOf(r)};
  };
  // The book's version of a changed entry kept beside the server's, as a new entry that
  // goes to the server as a card of its own.
  const auto keepBookVersion = [&](const AddressRecord& bookVersion) {
    AddressRecord copy = bookVersion;
    book.makeDistinct(copy);
    book.add(copy);
    ++counts.conflicts;
  };
  // A card the book does not hold comes in as a new entry while the book has room; else it
  // stays on the server, counted, for a later sync.
  const auto addFromServer = [&](const AddressRecord& fromCard, const FetchedCard& card) {
    if (book.count() >= options.bookLimit) {
      ++counts.leftOnServer;
      complete = false;
      return;
    }
    AddressRecord r = fromCard;
    book.makeDistinct(r);
    book.add(r);
    adopt(keyOf(r), card, r);
    ++counts.received;
  };

  followRenames(state, entries, server, cards, dav);
  const State before = state;
  for (const auto& [key, s] : before) {
    const QString href = hrefKey(dav, s.href);
    const auto onServer = server.find(href);
    const bool inBook = entries.count(key) > 0;
    if (onServer == server.end()) {
      if (!inBook) {
        state.erase(key);
      } else if (s.etag.isEmpty()) {
        // Its creation never reached the server: it is still to be sent, as it is now.
        const std::string card = vcard::updateCard(parsedCard(s.card), entries.at(key));
        state[key].card = card;
        state[key].hash = hashOf(entries.at(key));
        ops.push_back({ServerOp::Create, key, s.href, {}, card, state[key].hash});
      } else if (!entryChanged(key, s)) {
        book.remove(key);
        state.erase(key);
        ++counts.deletedHere;
      } else {
        // Deleted there, changed here: the change wins and the card comes back.
        const std::string card = vcard::updateCard(parsedCard(s.card), entries.at(key));
        ops.push_back({ServerOp::Create, key, s.href, {}, card, hashOf(entries.at(key))});
      }
      continue;
    }
    const bool serverChanged = onServer->second.etag != s.etag;
    if (!serverChanged) {
      if (!inBook) {
        ops.push_back({ServerOp::Delete, key, s.href, s.etag, {}, {}});
      } else if (entryChanged(key, s)) {
        const std::string card = vcard::updateCard(parsedCard(s.card), entries.at(key));
        ops.push_back({ServerOp::Update, key, s.href, s.etag, card, hashOf(entries.at(key))});
      }
      continue;
    }
    const auto fetchedCard = cards.find(href);
    if (fetchedCard == cards.end()) {  // gone since the listing: the next sync sees it
      complete = false;
      continue;
    }
    const std::optional<AddressRecord> fromCard =
        vcard::cardRecord(parsedCard(fetchedCard->second.data.toStdString()));
    if (!fromCard) {  // nothing to know it by: left as it was
      complete = false;
      continue;
    }
    if (!inBook) {
      // Deleted here, changed there: the change wins and the entry comes back.
      state.erase(key);
      addFromServer(*fromCard, fetchedCard->second);
      continue;
    }
    const AddressRecord current = entries.at(key);
    AddressRecord r = merged(*fromCard, current);
    const bool bookChanged = entryChanged(key, s);
    if (hashOf(r) == hashOf(current)) {
      // Both sides say the same (a write whose answer never came): nothing to carry.
      adopt(key, fetchedCard->second, current);
      continue;
    }
    if (bookChanged && book.count() >= options.bookLimit) {
      // No room for the book's version: resolved when there is.
      ++counts.leftOnServer;
      complete = false;
      continue;
    }
    // Renamed there: the entry takes the new name unless another entry has it.
    if (keyOf(r) != key) book.makeDistinct(r);
    state.erase(key);
    if (!book.replace(key, r)) return fail(DavError::Failed, "The book's working copy cannot be written.");
    adopt(keyOf(r), fetchedCard->second, r);
    if (bookChanged)
      keepBookVersion(current);
    else
      ++counts.received;
  }

  // Cards new on the server.
  for (const auto& [href, c] : server) {
    if (knownHref.count(href)) continue;
    const auto fetchedCard = cards.find(href);
    const std::optional<AddressRecord> fromCard =
        fetchedCard == cards.end()
            ? std::nullopt
            : vcard::cardRecord(parsedCard(fetchedCard->second.data.toStdString()));
    if (!fromCard) {
      complete = false;
      continue;
    }
    const std::string key = keyOf(*fromCard);
    if (entries.count(key) && !state.count(key)) {
      // The same name new on both sides (a first sync of a book the server already holds).
      const AddressRecord current = entries.at(key);
      const AddressRecord r = merged(*fromCard, current);
      if (hashOf(r) == hashOf(current)) {
        adopt(key, fetchedCard->second, current);
        continue;
      }
      if (book.count() >= options.bookLimit) {
        ++counts.leftOnServer;
        complete = false;
        continue;
      }
      if (!book.replace(key, r)) return fail(DavError::Failed, "The book's working copy cannot be written.");
      adopt(key, fetchedCard->second, r);
      keepBookVersion(current);
      continue;
    }
    addFromServer(*fromCard, fetchedCard->second);
  }

  // Entries new in the book (the kept versions of conflicts among them) become new cards.
  const auto createCard = [&](const AddressRecord& r) {
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const std::string key = keyOf(r);
    const std::string card = vcard::exportCard(r, uid.toStdString());
    const QByteArray hash = hashOf(r);
    const QString href = dav.newHref(uid);
    // Noted before it is sent: a sync cut off after the server took the card then finds
    // it there instead of sending it twice.
    state[key] = Synced{href, QString(), card, hash};
    ops.push_back({ServerOp::Create, key, href, {}, card, hash});
  };
  for (const auto& [key, r] : entries)
    if (!state.count(key)) createCard(r);
  for (const AddressRecord& r : book.added())
    if (!state.count(keyOf(r))) createCard(r);

  // The book first: what the server sends is kept even if the server goes away below.
  if (const BookStatus s = book.write(); s != BookStatus::Ok)
    return fail(DavError::Failed, bookPath.string() + ": " + describe(s));
  if (!saveState(statePath, state, complete ? nextToken : QString(), bookPath, account.url))
    return fail(DavError::Failed, "The sync state cannot be written: " + lastFileError() + ".");

  // --- the book's changes to the server
  int done = 0;
  for (const ServerOp& op : ops) {
    progress(done++, static_cast<int>(ops.size()), "Sending cards");
    if (op.kind == ServerOp::Delete) {
      if (dav.remove(op.href, op.ifMatch)) {
        state.erase(op.key);
        ++counts.deletedThere;
        continue;
      }
    } else {
      const auto etag = dav.put(op.href, QByteArray::fromStdString(op.card),
                                op.kind == ServerOp::Update ? op.ifMatch : QString());
      if (etag) {
        state[op.key] = Synced{op.href, etag->isEmpty() ? QString::fromLatin1(kUnknownEtag) : *etag,
                               op.card, op.hash};
        ++counts.sent;
        continue;
      }
    }
    // A card changed on the server since it was listed: the next sync sees the change.
    if (dav.lastStatus() == 412) continue;
    const DavError error = dav.error();
    if (!saveState(statePath, state, complete ? nextToken : QString(), bookPath, account.url)) break;
    return fail(error, describe(error, account.url));
  }
  progress(done, done, "Done");
  if (!saveState(statePath, state, complete ? nextToken : QString(), bookPath, account.url))
    return fail(DavError::Failed, "The sync state cannot be written: " + lastFileError() + ".");
  return outcome;
}

}  // namespace mv::sync
