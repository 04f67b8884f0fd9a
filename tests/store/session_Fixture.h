#pragma once
// A card session driven as the user drives the card window: commands by number, typing
// into the card, answers to messages and file dialogs from scripts.

#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "store/AdrFormat.h"
#include "store/CardSession.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace mv::test {

class ScriptedDialogs final : public CardDialogs {
 public:
  std::optional<NameParts> askNewName(const NameParts& prefill) override {
    prefills.push_back(prefill);
    if (names.empty()) return std::nullopt;
    auto a = names.front();
    names.pop_front();
    return a;
  }
  std::optional<std::string> askNewGroup() override {
    ++groupAsks;
    if (groups.empty()) return std::nullopt;
    auto a = groups.front();
    groups.pop_front();
    return a;
  }
  std::deque<std::optional<NameParts>> names;
  std::deque<std::optional<std::string>> groups;
  std::vector<NameParts> prefills;
  int groupAsks = 0;
};

inline AddressRecord person(std::string first, std::string last, std::string company = {},
                            std::string group = {}) {
  AddressRecord r;
  r[FieldId::First] = std::move(first);
  r[FieldId::Last] = std::move(last);
  r[FieldId::Company] = std::move(company);
  r[FieldId::Group] = std::move(group);
  return r;
}

// A saved book holding `records` in this order (card sort 0 initials).
inline std::string bookBytes(const std::vector<AddressRecord>& records) {
  std::string out = "TVXADR_307\n";
  int i = 0;
  for (const auto& r : records) {
    adr::appendRecord(out, r, i++, savedInitial(nameKey(r, 0)), r.mark);
  }
  out += "\x16\n";
  return out;
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setScratchDirForTesting(scratch.path());
    setStateDirForTesting(state.path());  // the records of open books
    settings = dir / "mervane.ini";
    SessionHooks hooks;
    hooks.setTitle = [this](const std::string& t) { titles.push_back(t); };
    hooks.progressTitle = [this](const std::string& t) { progress.push_back(t); };
    hooks.addRecentFile = [this](const std::filesystem::path& p) { recents.push_back(p); };
    hooks.closeWindow = [this] { ++closed; };
    hooks.notice = [this](const std::string& t) { notices.push_back(t); };
    hooks.importCsv = [this](const std::filesystem::path& csv) -> std::optional<std::filesystem::path> {
      imported.push_back(csv);
      return importResult;
    };
    hooks.exportCsv = [this](const std::filesystem::path& csv,
                             const std::vector<AddressRecord>& records) {
      exported.push_back(csv);
      exportedRecords = records;
      return true;
    };
    session = std::make_unique<CardSession>(prompter, chooser, dialogs, settings, 0, hooks);
  }
  void TearDown() override {
    session.reset();
    setScratchDirForTesting({});
    setStateDirForTesting({});
  }

  std::filesystem::path writeBook(const std::string& name, const std::vector<AddressRecord>& r) {
    const auto path = dir / name;
    test::writeFile(path, bookBytes(r));
    return path;
  }
  void openBook(const std::vector<AddressRecord>& records) {
    bookPath = writeBook("book.adr", records);
    ASSERT_TRUE(session->openBook(bookPath));
    prompter.clear();
  }

  CardSession& s() { return *session; }
  CardModel& card() { return session->card(); }
  std::vector<std::string> namesOf(int group) const {
    std::vector<std::string> out;
    for (const auto& e : session->names().group(group).names) out.push_back(e.text);
    return out;
  }
  // The first entry with this text under `group`.
  EntryRef entry(int group, const std::string& text) const {
    return session->names().findNameInGroup(group, text);
  }
  int slotOf(EntryRef ref) const { return session->names().name(ref)->slot; }
  AddressRecord recordAt(EntryRef ref) const {
    return *session->book().readRecord(slotOf(ref));
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : prompter.shown()) out.push_back(m.text);
    return out;
  }

  TestDir scratch;
  TestDir state;
  TestDir dir;
  std::filesystem::path settings;
  std::filesystem::path bookPath;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  ScriptedDialogs dialogs;
  std::vector<std::string> titles;
  std::vector<std::string> progress;
  std::vector<std::filesystem::path> recents;
  std::vector<std::string> notices;
  std::vector<std::filesystem::path> imported;
  std::vector<std::filesystem::path> exported;
  std::vector<AddressRecord> exportedRecords;
  std::optional<std::filesystem::path> importResult;
  int closed = 0;
  std::unique_ptr<CardSession> session;
};

}  // namespace mv::test
