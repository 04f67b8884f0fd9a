#pragma once
// A card window that records what the frame asks of it, and a fixture that gives each
// test its own program, Windows and scratch folders.

#include "commands/CommandTarget.h"
#include "commands/Commands.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "shell/MainFrame.h"
#include "printing/ui/PrinterJob.h"
#include "store/AddressRecord.h"
#include "support/TestDir.h"

#include <QPrinter>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace mv::test {

inline AddressRecord person(std::string first, std::string last) {
  AddressRecord r;
  r[FieldId::First] = std::move(first);
  r[FieldId::Last] = std::move(last);
  return r;
}

class FakeCardWindow : public QWidget, public CardWindowHost {
 public:
  FakeCardWindow(QWidget* parent, ShellServices& services) : QWidget(parent), services_(services) {
    setFixedSize(600, 400);
  }
  bool handlesCommand(int id) const override {
    return commandOwner(id) == CommandOwner::CardWindow;
  }
  bool onCommand(int id) override {
    commands.push_back(id);
    return true;
  }
  std::optional<bool> isCommandEnabled(int id) const override {
    if (id == 24335) return saveEnabled;
    return std::nullopt;
  }
  QWidget* widget() override { return this; }
  bool canClose() override {
    ++closeQueries;
    return allowClose;
  }
  void saveWithoutAsking() override { ++silentSaves; }
  bool openBook(const std::filesystem::path& path) override {
    opened.push_back(path);
    services_.addRecentFile(path);
    return true;
  }
  bool hasHandler(int id) const override { return handlesCommand(id); }
  int selectedEntryIndex() const override { return -1; }

  std::vector<int> commands;
  std::vector<std::filesystem::path> opened;
  int closeQueries = 0;
  int silentSaves = 0;
  bool allowClose = true;
  bool saveEnabled = false;

 private:
  ShellServices& services_;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(program());
    std::filesystem::create_directories(dir_ / "windows");
    std::filesystem::create_directories(dir_ / "scratch");
    setProgramDirForTesting(program());
    setWindowsDirForTesting(dir_ / "windows");
    setScratchDirForTesting(dir_ / "scratch");
    setStateDirForTesting(dir_ / "state");  // the records of open books
  }
  void TearDown() override {
    frame.reset();
    setProgramDirForTesting({});
    setWindowsDirForTesting({});
    setScratchDirForTesting({});
    setStateDirForTesting({});
  }

  std::filesystem::path program() const { return dir_ / "program"; }
  std::filesystem::path ini() const { return program() / "mervane.ini"; }
  std::filesystem::path book(const std::string& name, const std::string& firstLine) const {
    const auto p = dir_ / name;
    writeFile(p, firstLine + "\n\x16\n0\nMain\n\x15  error!\n");
    return p;
  }
  void setMru(int index, const std::string& value) const {
    ASSERT_TRUE(Profile(ini(), "MRU").writeString("MRU" + std::to_string(index), value));
  }
  std::string mru(int index) const {
    return Profile(ini(), "MRU").readString("MRU" + std::to_string(index), "Default", 256);
  }

  // A frame after its set-up, with the recording card window (or the real one).
  MainFrame& start(CardWindowFactory realCardWindow = {}) {
    MainFrameOptions o;
    o.prompter = &prompter;
    o.fileChooser = &chooser;
    o.startBook = startBook;
    o.webBrowserProbe = [this] {
      ++browserProbes;
      return BrowserProbe{true, "/usr/bin/some-browser"};
    };
    // Printing writes PDF files that the scripted file chooser names, never to a printer
    // of the machine.
    o.printerFactory = [] { return makePdfPrinter(); };
    o.cardWindowFactory = [this](QWidget* parent, ShellServices& s) -> CardWindowHost* {
      card = new FakeCardWindow(parent, s);
      return card;
    };
    if (realCardWindow)
      o.cardWindowFactory = std::move(realCardWindow);
    else
      o.bookRecords = [this] { return entries; };
    frame = std::make_unique<MainFrame>(std::move(o));
    frame->setUp();
    frame->show();
    // A frame dialog nobody scripted is cancelled (printing from the layout menu, say).
    frame->setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    return *frame;
  }

  TestDir dir_;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  FakeCardWindow* card = nullptr;
  // The entries of the book the recording card window stands for, in list order.
  std::vector<AddressRecord> entries;
  int browserProbes = 0;
  // A book named on the command line.
  std::filesystem::path startBook;
  std::unique_ptr<MainFrame> frame;
};

}  // namespace mv::test
