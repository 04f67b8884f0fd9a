// The two-way sync against a real Radicale (tests/support/radicale.sh), its server side
// written to by the test's own requests, as a phone writes to it.
#include "exchange/ImportBook.h"
#include "platform/AtomicFile.h"
#include "store/Book.h"
#include "store/CardEditing.h"
#include "support/CliRun.h"
#include "support/TestDir.h"
#include "sync/Sync.h"
#include "sync/SyncServer.h"

#include <QUuid>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace mv::sync {
namespace {

using test::Phone;
using test::TestDir;

AddressRecord person(const std::string& first, const std::string& last, const std::string& email) {
  AddressRecord r;
  r[FieldId::First] = first;
  r[FieldId::Last] = last;
  r[FieldId::Email] = email;
  r.initial = first.front();
  return r;
}

std::string card(const std::string& first, const std::string& last, const std::string& email,
                 const std::string& more = {}) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + first + last + "\r\nFN:" + first + " " + last +
         "\r\nN:" + last + ";" + first + ";;;\r\nEMAIL;TYPE=INTERNET:" + email + "\r\n" + more +
         "END:VCARD\r\n";
}

// One book and one address book, fresh for each row.
struct World {
  TestDir dir;
  std::filesystem::path book = dir / "book.adr";
  Phone phone;
  int limit = kBookLimit;
  std::function<void(int, int, const std::string&)> progress;

  explicit World(const QUrl& url) : phone(url) {}

  std::vector<AddressRecord> records() const {
    Book b((dir / "look").string());
    std::filesystem::create_directories(dir / "look");
    if (b.open(book) != BookStatus::Ok) return {};
    return b.recordsInListOrder();
  }
  void write(const std::vector<AddressRecord>& records) {
    ASSERT_TRUE(writeFileAtomically(book, *imp::bookBytes(records)));
  }
  // Changes the book as a user would between two syncs.
  void edit(const std::function<void(std::vector<AddressRecord>&)>& change) {
    std::vector<AddressRecord> r = records();
    change(r);
    write(r);
  }
  const AddressRecord* entry(const std::string& first) {
    static std::vector<AddressRecord> last;
    last = records();
    for (const AddressRecord& r : last)
      if (r[FieldId::First] == first) return &r;
    return nullptr;
  }
  SyncOutcome sync() {
    Account account{phone.url(), "mervane", "secret"};
    SyncOptions options;
    options.bookLimit = limit;
    options.stateFolder = dir / "state";
    options.progress = progress;
    return synchronize(book, account, options);
  }
};

std::vector<AddressRecord>::iterator named(std::vector<AddressRecord>& r, const std::string& first) {
  return std::find_if(r.begin(), r.end(), [&](const AddressRecord& a) { return a[FieldId::First] == first; });
}

std::string counted(const SyncCounts& c) {
  return "received " + std::to_string(c.received) + ", sent " + std::to_string(c.sent) +
         ", deleted here " + std::to_string(c.deletedHere) + ", deleted there " +
         std::to_string(c.deletedThere) + ", conflicts " + std::to_string(c.conflicts) +
         ", left " + std::to_string(c.leftOnServer);
}

struct Row {
  const char* rule;
  // Between the first sync (of Anna, Bert and Cleo, each on both sides) and the one
  // looked at: what the user and the phone did.
  std::function<void(World&)> change;
  const char* counts;  // of the sync after the change
  std::function<void(World&)> check;
};

TEST(SyncWithRadicale, carriesEachRuleBothWays) {
  const auto env = test::serverEnv();
  if (env.count("skip") || !env.count("url"))
    GTEST_SKIP() << "no CardDAV server: " << (env.count("skip") ? env.at("skip") : "not started");
  const QUrl server(QString::fromStdString(env.at("url")));
  ASSERT_EQ(SyncOptions{}.bookLimit, CardEditing::kMaxRecordsForAdd);  // the book's own limit

  const Row rows[] = {
      {"new on each side",
       [](World& w) {
         w.edit([](auto& r) { r.push_back(person("Dora", "Dahl", "dora@example.org")); });
         w.phone.put("eva.vcf", card("Eva", "Ek", "eva@example.org"));
       },
       "received 1, sent 1, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         ASSERT_NE(w.entry("Eva"), nullptr);
         EXPECT_EQ((*w.entry("Eva"))[FieldId::Email], "eva@example.org");
         EXPECT_NE(w.phone.find("dora@example.org"), "");
         EXPECT_EQ(w.records().size(), 5u);
         EXPECT_EQ(w.phone.cards().size(), 5u);
       }},
      {"changed in the book",
       [](World& w) { w.edit([](auto& r) { (*named(r, "Bert"))[FieldId::Email] = "bert@new.org"; }); },
       "received 0, sent 1, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) { EXPECT_NE(w.phone.find("bert@new.org"), ""); }},
      {"changed on the server; fields without a property stay",
       [](World& w) {
         w.edit([](auto& r) { (*named(r, "Anna"))[FieldId::Describe] = "met in Oslo"; });
         w.phone.change("anna@", card("Anna", "Berg", "anna@new.org"));
       },
       "received 1, sent 0, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         EXPECT_EQ((*w.entry("Anna"))[FieldId::Email], "anna@new.org");
         EXPECT_EQ((*w.entry("Anna"))[FieldId::Describe], "met in Oslo");
       }},
      {"changed on both sides: the server's version in the entry, the book's beside it",
       [](World& w) {
         w.edit([](auto& r) { (*named(r, "Anna"))[FieldId::Email] = "anna@book.org"; });
         w.phone.change("anna@", card("Anna", "Berg", "anna@phone.org"));
       },
       "received 0, sent 1, deleted here 0, deleted there 0, conflicts 1, left 0",
       [](World& w) {
         EXPECT_EQ((*w.entry("Anna"))[FieldId::Email], "anna@phone.org");
         ASSERT_NE(w.entry("Anna[Dup:4]"), nullptr);
         EXPECT_EQ((*w.entry("Anna[Dup:4]"))[FieldId::Email], "anna@book.org");
         EXPECT_EQ(w.phone.cards().size(), 4u);
       }},
      {"deleted in the book",
       [](World& w) { w.edit([](auto& r) { r.erase(named(r, "Bert")); }); },
       "received 0, sent 0, deleted here 0, deleted there 1, conflicts 0, left 0",
       [](World& w) {
         EXPECT_EQ(w.phone.find("bert@"), "");
         EXPECT_EQ(w.phone.cards().size(), 2u);
       }},
      {"deleted on the server",
       [](World& w) { w.phone.remove(w.phone.find("cleo@")); },
       "received 0, sent 0, deleted here 1, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         EXPECT_EQ(w.entry("Cleo"), nullptr);
         EXPECT_EQ(w.records().size(), 2u);
       }},
      {"deleted in the book, changed on the server: the change comes back",
       [](World& w) {
         w.edit([](auto& r) { r.erase(named(r, "Bert")); });
         w.phone.change("bert@", card("Bert", "Nyl", "bert@phone.org"));
       },
       "received 1, sent 0, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         ASSERT_NE(w.entry("Bert"), nullptr);
         EXPECT_EQ((*w.entry("Bert"))[FieldId::Email], "bert@phone.org");
       }},
      {"deleted on the server, changed in the book: the change goes back",
       [](World& w) {
         w.phone.remove(w.phone.find("bert@"));
         w.edit([](auto& r) { (*named(r, "Bert"))[FieldId::Email] = "bert@book.org"; });
       },
       "received 0, sent 1, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) { EXPECT_NE(w.phone.find("bert@book.org"), ""); }},
      {"a book edit keeps PHOTO, BDAY and what else the card holds",
       [](World& w) {
         w.phone.change("anna@",
                     card("Anna", "Berg", "anna@example.org",
                          "EMAIL:a2@example.org\r\nEMAIL:a3@example.org\r\nBDAY:1980-02-29\r\n"
                          "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==\r\n"
                          "X-PHONETIC-LAST-NAME:berk\r\nCATEGORIES:Friends,Golf\r\n"));
         ASSERT_TRUE(w.sync().ok());
         w.edit([](auto& r) {
           (*named(r, "Anna"))[FieldId::Office] = "+47 555 0100";
           (*named(r, "Anna"))[FieldId::Group] = "Work";
         });
       },
       "received 0, sent 1, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         const std::string c = w.phone.cards()[w.phone.find("anna@")];
         for (const char* kept : {"BDAY:1980-02-29", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==",
                                  "EMAIL:a3@example.org", "X-PHONETIC-LAST-NAME:berk",
                                  "+47 555 0100", "CATEGORIES:Work,Golf"})
           EXPECT_NE(c.find(kept), std::string::npos) << kept << " in\n" << c;
       }},
      {"an entry renamed in the book renames its card, which keeps its PHOTO",
       [](World& w) {
         w.phone.change("FN:Anna Berg",
                        card("Anna", "Berg", "anna@example.org",
                             "BDAY:1980-02-29\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\r\n"));
         ASSERT_TRUE(w.sync().ok());
         w.edit([](auto& r) { (*named(r, "Anna"))[FieldId::First] = "Anne"; });
       },
       "received 0, sent 1, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         const std::string c = w.phone.cards()[w.phone.find("FN:Anne Berg")];
         for (const char* kept : {"PHOTO;ENCODING=b;TYPE=JPEG:", "BDAY:1980-02-29"})
           EXPECT_NE(c.find(kept), std::string::npos) << kept << " in\n" << c;
         w.edit([](auto& r) { (*named(r, "Anne"))[FieldId::First] = "Anna"; });
         ASSERT_TRUE(w.sync().ok());
       }},
      {"a card renamed on the server renames its entry",
       [](World& w) {
         w.phone.change("anna@", card("Annabel", "Berg", "anna@example.org"));
       },
       "received 1, sent 0, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         EXPECT_EQ(w.entry("Anna"), nullptr);
         ASSERT_NE(w.entry("Annabel"), nullptr);
         EXPECT_EQ(w.records().size(), 3u);
       }},
      {"cards beyond the book's limit stay on the server",
       [](World& w) {
         w.limit = 4;
         for (const char* name : {"Finn", "Gus", "Hal"})
           w.phone.put(QString(name) + ".vcf", card(name, "Lund", std::string(name) + "@x.org"));
       },
       "received 1, sent 0, deleted here 0, deleted there 0, conflicts 0, left 2",
       [](World& w) {
         EXPECT_EQ(w.records().size(), 4u);
         EXPECT_EQ(w.phone.cards().size(), 6u);
       }},
      {"a wrong password: exit code 2, the reason, the book unchanged",
       [](World& w) { w.edit([](auto& r) { (*named(r, "Bert"))[FieldId::Email] = "b@b.org"; }); },
       nullptr,
       [](World& w) {
         const std::string before = test::readFile(w.book);
         test::writeFile(w.dir / "pw", "wrong\n");
         qputenv("XDG_STATE_HOME", QByteArray::fromStdString((w.dir / "xdg").string()));
         const test::CliRun run = test::cli({"sync", w.book.string(), "--url",
                                             w.phone.url().toString().toStdString(), "--user",
                                             "mervane", "--password-file", (w.dir / "pw").string()});
         EXPECT_EQ(run.code, 2);
         EXPECT_EQ(run.err, "The server refused the user name or password.\n");
         EXPECT_EQ(run.out, "");
         EXPECT_EQ(test::readFile(w.book), before);
       }},
      {"plain HTTP to another machine is refused before anything is sent",
       [](World&) {},
       nullptr,
       [](World& w) {
         test::writeFile(w.dir / "pw", "secret\n");
         const test::CliRun run = test::cli({"sync", w.book.string(), "--url", "http://192.0.2.1/dav/",
                                             "--password-file", (w.dir / "pw").string()});
         EXPECT_EQ(run.code, 2);
         EXPECT_TRUE(run.err.starts_with("The server's address starts with http://")) << run.err;
       }},
      {"the server stopped half-way, then started again: nothing lost or doubled",
       [](World& w) {
         w.edit([](auto& r) {
           for (int i = 0; i < 8; ++i) r.push_back(person("P" + std::to_string(i), "Moe", "p@x.org"));
         });
         w.progress = [](int done, int, const std::string& what) {
           if (what == "Sending cards" && done == 4) test::radicale("stop");
         };
         const SyncOutcome cut = w.sync();
         EXPECT_EQ(cut.error, DavError::Unreachable) << cut.message;
         EXPECT_EQ(cut.counts.sent, 4);
         w.progress = {};
         test::radicale("start");
       },
       "received 0, sent 4, deleted here 0, deleted there 0, conflicts 0, left 0",
       [](World& w) {
         EXPECT_EQ(w.records().size(), 11u);
         EXPECT_EQ(w.phone.cards().size(), 11u);
         EXPECT_EQ(counted(w.sync().counts), "received 0, sent 0, deleted here 0, deleted there 0, conflicts 0, left 0");
       }},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    World w(server.resolved(QUrl("mervane/" + QUuid::createUuid().toString(QUuid::Id128) + "/")));
    ASSERT_TRUE(w.phone.create());
    w.write({person("Anna", "Berg", "anna@example.org"), person("Bert", "Nyl", "bert@example.org"),
             person("Cleo", "Ruiz", "cleo@example.org")});
    const SyncOutcome first = w.sync();
    ASSERT_TRUE(first.ok()) << first.message;
    ASSERT_EQ(counted(first.counts), "received 0, sent 3, deleted here 0, deleted there 0, conflicts 0, left 0");
    row.change(w);
    if (row.counts) {
      const SyncOutcome outcome = w.sync();
      EXPECT_TRUE(outcome.ok()) << outcome.message;
      EXPECT_EQ(counted(outcome.counts), row.counts);
      // Whatever was carried, the next sync finds both sides agreeing.
      if (w.limit == kBookLimit) {
        EXPECT_EQ(counted(w.sync().counts),
                  "received 0, sent 0, deleted here 0, deleted there 0, conflicts 0, left 0");
      }
    }
    row.check(w);
  }
}

}  // namespace
}  // namespace mv::sync
