// Installing and removing in a temporary HOME: the target rules, the copy lists, the
// install record, the desktop entries and the removal script.
#include "InstallerTestSupport.h"

#include "installer/DesktopEntries.h"
#include "installer/Installer.h"
#include "installer/QuietMode.h"
#include "installer/Remover.h"
#include "installer/SetupList.h"

#include <QProcess>

#include <algorithm>
#include <sstream>

namespace fs = std::filesystem;

namespace mv::test {
namespace {

class InstallerTest : public TempHome {
 protected:
  CopyReport install() {
    const SetupList list = readSetupList(dist() / kSetupListName);
    bool made = false;
    EXPECT_EQ(prepareTarget(list.target, &made), TargetCheck::Ready);
    CopyReport copy = copyInstallation(list, dist(), dist() / "setup", list.target);
    copy.targetMade = made;
    EXPECT_TRUE(registerInstallation(list.target, copy, XdgFolders::fromEnvironment()).empty());
    return copy;
  }
  static bool has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  }
};

TEST_F(InstallerTest, theDefaultTargetLiesInTheUsersDataFolder) {
  makeDist();
  EXPECT_EQ(readSetupList(dist() / kSetupListName).target, target().string() + "/");
}

TEST_F(InstallerTest, targetRules) {
  const std::string deep = (home() / "a" / "b" / "c").string() + "/";
  struct Case {
    std::string target;
    TargetCheck expected;
  } cases[] = {
      {"Programs/Mervane/", TargetCheck::NotAbsolute},        // relative
      {"", TargetCheck::NotAbsolute},                          // empty
      {"/" + std::string(245, 'x'), TargetCheck::TooLong},    // 246 characters: refused, not cut
      {deep, TargetCheck::Ready},                              // nested missing folders are made
      {"/proc/mervane-cannot-be-here/", TargetCheck::NotCreated},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target.substr(0, 40));
    EXPECT_EQ(prepareTarget(c.target), c.expected);
  }
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_EQ(targetMessage(TargetCheck::NotAbsolute), "Folder name should be an absolute path,\nstarting with /");
  EXPECT_EQ(targetMessage(TargetCheck::NotCreated), "Error creating new directory!");
}

TEST_F(InstallerTest, aListEndsAtItsFirstMissingKeyOrEnd) {
  fs::create_directories(dist());
  writeFile(dist() / kSetupListName,
            "[Files]\n1=a\n2=b\n3=c\n5=e\n[Data]\n1=x\n2=_END_\n3=y\n");
  const SetupList list = readSetupList(dist() / kSetupListName);
  EXPECT_EQ(list.files, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(list.data, (std::vector<std::string>{"x"}));
  EXPECT_EQ(list.totalFiles, 2);
}

TEST_F(InstallerTest, aReinstallReplacesFilesAndKeepsData) {
  makeDist("1");
  install();
  writeFile(target() / "address.adr", "TVXADR_307 my own book");
  makeDist("2");
  const CopyReport again = install();
  EXPECT_TRUE(again.complete());
  EXPECT_EQ(readFile(target() / "pagesize.dat"), "paper 2");
  EXPECT_EQ(readFile(target() / "help" / "3.html"), "help 2");
  EXPECT_EQ(readFile(target() / "mervane"), "#!/bin/sh\n# program 2\n");
  EXPECT_EQ(readFile(target() / "address.adr"), "TVXADR_307 my own book");
  EXPECT_EQ(again.skipped, std::vector<std::string>{"address.adr"});
  // The program keeps its permission to run.
  EXPECT_NE(fs::status(target() / "mervane").permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(InstallerTest, aFileThatCannotBeCopiedIsReported) {
  makeDist();
  fs::remove(dist() / "pagesize.dat");
  const SetupList list = readSetupList(dist() / kSetupListName);
  ASSERT_EQ(prepareTarget(list.target), TargetCheck::Ready);
  int steps = 0;
  const CopyReport copy = copyInstallation(list, dist(), dist() / "setup", list.target, [&] { ++steps; });
  EXPECT_EQ(copy.failed, std::vector<std::string>{"pagesize.dat"});
  EXPECT_FALSE(copy.complete());
  EXPECT_TRUE(has(copy.files, "help/3.html"));
  EXPECT_EQ(steps, 4);  // pagesize.dat, help/3.html, address.adr, the program
  EXPECT_EQ(countCopySteps(list, dist()), 4);
}

TEST_F(InstallerTest, theDesktopGetsItsEntriesAndTheRecordListsThem) {
  makeDist();
  install();
  const XdgFolders xdg = XdgFolders::fromEnvironment();
  EXPECT_EQ(xdg.desktop, home() / "Desktop");
  const std::string entry = readFile(xdg.menuEntry());
  EXPECT_NE(entry.find("Name=Mervane\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=application/x-mervane-addressbook;\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=" + (target() / "mervane").string() + " %f\n"), std::string::npos);
  EXPECT_NE(readFile(xdg.removeEntry()).find("Name=Remove Mervane\n"), std::string::npos);
  EXPECT_NE(readFile(xdg.removeEntry()).find("/mervane remove\n"), std::string::npos);
  EXPECT_NE(readFile(xdg.mimePackage()).find("<glob pattern=\"*.adr\"/>"), std::string::npos);
  EXPECT_TRUE(fs::exists(xdg.iconFile()));
  EXPECT_EQ(readFile(xdg.desktopShortcut()), entry);

  InstallRecord record;
  ASSERT_TRUE(readInstallRecord(target(), record));
  EXPECT_EQ(record.uninstallString, "'" + (target() / "mervane").string() + "' remove");
  EXPECT_TRUE(has(record.files, "mervane"));
  EXPECT_TRUE(has(record.files, "help/3.html"));
  EXPECT_EQ(record.data, std::vector<std::string>{"address.adr"});
  EXPECT_EQ(record.entries.size(), 5u);
}

TEST_F(InstallerTest, theDesktopFolderComesFromUserDirs) {
  fs::create_directories(home() / ".config");
  writeFile(home() / ".config" / "user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  EXPECT_EQ(XdgFolders::fromEnvironment().desktop, home() / "Schreibtisch");
}

TEST_F(InstallerTest, execArgumentsAreQuotedForTheDesktopEntry) {
  struct Case {
    std::string path, exec;
  } cases[] = {
      {"/opt/mervane", "/opt/mervane"},             // nothing reserved: no quotes
      {"/opt/mervane-1.0/m_x", "/opt/mervane-1.0/m_x"},
      {"/home/a b/mervane", R"("/home/a b/mervane")"},
      {"/x/100%/m", "/x/100%%/m"},                 // a field code is never formed
      {"/x/(1)/m", R"("/x/(1)/m")"},
      {"/x/$HOME/m", R"("/x/\\$HOME/m")"},          // \$ in the quoted argument, \ escaped in the value
      {"/x/\"q\"/m", R"("/x/\\"q\\"/m")"},
      {"/x/b\\s/m", R"("/x/b\\\\s/m")"},            // a backslash takes four
  };
  for (const Case& c : cases) EXPECT_EQ(desktopExecArgument(c.path), c.exec) << c.path;
}

class RemoveTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    makeDist();
    install();
    writeFile(target() / "mervane.ini", "[MRU]\n");  // the program's own settings
  }
  // Runs the removal script as the program would leave it behind, for a process that
  // has already ended.
  void runScript(bool removeFolder, const fs::path& folder = {}) {
    const fs::path program = (folder.empty() ? target() : folder) / "mervane";
    const fs::path script = writeRemovalScript(removalScriptText(999999, program, removeFolder));
    ASSERT_FALSE(script.empty());
    ASSERT_EQ(QProcess::execute("/bin/sh", {QString::fromStdString(script.string())}), 0);
    EXPECT_FALSE(fs::exists(script));
  }
};

TEST_F(RemoveTest, withoutTheDataBoxTheBookStays) {
  const RemoveReport report = removeInstallation(target(), false);
  EXPECT_TRUE(report.failed.empty());
  EXPECT_TRUE(report.folderKept);
  runScript(report.removeFolder);
  EXPECT_EQ(readFile(target() / "address.adr"), "TVXADR_307 starter 1");
  for (const char* gone : {"mervane", "pagesize.dat", "help", "mervane.ini", kInstallRecordName})
    EXPECT_FALSE(fs::exists(target() / gone)) << gone;
  const XdgFolders xdg = XdgFolders::fromEnvironment();
  for (const fs::path& p : {xdg.menuEntry(), xdg.removeEntry(), xdg.desktopShortcut(),
                            xdg.iconFile(), xdg.mimePackage()})
    EXPECT_FALSE(fs::exists(p)) << p;
}

TEST_F(RemoveTest, withTheDataBoxNoFolderIsLeft) {
  const RemoveReport report = removeInstallation(target(), true);
  EXPECT_FALSE(report.folderKept);
  EXPECT_TRUE(report.removeFolder);
  runScript(report.removeFolder);
  EXPECT_FALSE(fs::exists(target()));
}

TEST_F(RemoveTest, aForeignFileSurvivesAndKeepsTheFolder) {
  writeFile(target() / "my notes.txt", "mine");
  fs::create_directories(target() / "help");
  writeFile(target() / "help" / "mine.html", "mine too");
  runScript(removeInstallation(target(), true).removeFolder);
  EXPECT_EQ(readFile(target() / "my notes.txt"), "mine");
  EXPECT_EQ(readFile(target() / "help" / "mine.html"), "mine too");
  EXPECT_FALSE(fs::exists(target() / "help" / "3.html"));
}

TEST_F(RemoveTest, aFolderWithoutARecordIsLeftAlone) {
  const fs::path build = dir_ / "build";
  fs::create_directories(build);
  writeFile(build / "pagesize.dat", "keep");
  EXPECT_FALSE(removeInstallation(build, true).installed);
  EXPECT_EQ(readFile(build / "pagesize.dat"), "keep");
}

TEST_F(RemoveTest, aRecordCannotReachOutsideTheFolder) {
  const fs::path outside = dir_ / "outside.txt";
  writeFile(outside, "keep");
  // Named like a desktop entry of ours, but not where setup writes them.
  const fs::path entry = dir_ / "elsewhere" / "mervane.desktop";
  fs::create_directories(entry.parent_path());
  writeFile(entry, "keep");
  // A folder of the user's linked into the installation.
  fs::create_directories(dir_ / "linked");
  writeFile(dir_ / "linked" / "3.html", "keep");
  fs::create_symlink(dir_ / "linked", target() / "docs");
  writeFile(target() / kInstallRecordName,
            "[Uninstall]\nExact=1\n[Files]\n1=../../../../outside.txt\n2=" + outside.string() +
                "\n3=docs/3.html\n[Folders]\n1=../../../../linked\n[Entries]\n1=" +
                outside.string() + "\n2=" + entry.string() + "\n");
  const RemoveReport report = removeInstallation(target(), true);
  EXPECT_EQ(readFile(outside), "keep");
  EXPECT_EQ(readFile(entry), "keep");
  EXPECT_EQ(readFile(dir_ / "linked" / "3.html"), "keep");
  EXPECT_EQ(report.refused.size(), 6u);
}

// The home folder case: everything that was there before setup is there after remove,
// and what setup and the program added is gone.
TEST_F(RemoveTest, theUsersFilesAndEmptyFoldersSurviveSetupAndRemove) {
  const fs::path home = dir_ / "own";
  const std::map<std::string, std::string> files = {
      {"readme.txt", "my readme"}, {"mervane.ini", "[my]\n"}, {"labels.dat", "my labels"},
      {"wall.jpg", "my picture"}};
  const std::vector<std::string> folders = {"Maildir/cur", "Maildir/new", "Maildir/tmp", ".ssh",
                                            "project/emptydir"};
  for (const auto& f : folders) fs::create_directories(home / f);
  for (const auto& [name, text] : files) writeFile(home / name, text);
  writeFile(dist() / "labels.dat", "shipped labels");
  writeFile(dist() / "wall.jpg", "shipped picture");
  writeFile(dist() / kSetupListName,
            "[Files]\n1=pagesize.dat\n2=help\n3=wall.jpg\n[Data]\n1=address.adr\n2=labels.dat\n");
  SetupList list = readSetupList(dist() / kSetupListName);
  const CopyReport copy = copyInstallation(list, dist(), dist() / "setup", home);
  EXPECT_EQ(copy.skipped, std::vector<std::string>{"labels.dat"});
  EXPECT_EQ(copy.notOurs, std::vector<std::string>{"wall.jpg"});
  ASSERT_TRUE(registerInstallation(home, copy, XdgFolders::fromEnvironment()).empty());
  writeFile(home / "mv_letter_before.txt", "written by the program");

  const RemoveReport report = removeInstallation(home, true);
  EXPECT_TRUE(report.failed.empty());
  EXPECT_FALSE(report.removeFolder);
  runScript(report.removeFolder, home);
  for (const auto& [name, text] : files) EXPECT_EQ(readFile(home / name), text) << name;
  for (const auto& f : folders) EXPECT_TRUE(fs::is_directory(home / f)) << f;
  for (const char* gone : {"mervane", "pagesize.dat", "help", "address.adr", "mv_letter_before.txt",
                           kInstallRecordName})
    EXPECT_FALSE(fs::exists(home / gone)) << gone;
}

// An earlier version's record counted kept data files as installed and named no folders.
TEST_F(RemoveTest, anOldRecordTakesOnlyWhatSetupProvablyWrote) {
  writeFile(target() / "labels.dat", "my labels");
  writeFile(target() / kInstallRecordName,
            "[Uninstall]\nDisplayName=Mervane\n[Files]\n1=pagesize.dat\n2=help/3.html\n"
            "3=mervane\n[Data]\n1=address.adr\n2=labels.dat\n");
  const RemoveReport report = removeInstallation(target(), false);
  EXPECT_EQ(report.unproven, std::vector<std::string>{"labels.dat"});
  EXPECT_FALSE(report.removeFolder);
  EXPECT_EQ(readFile(target() / "labels.dat"), "my labels");
  EXPECT_EQ(readFile(target() / "mervane.ini"), "[MRU]\n");
  EXPECT_TRUE(fs::exists(target() / "address.adr"));
  EXPECT_FALSE(fs::exists(target() / "pagesize.dat"));
  EXPECT_FALSE(fs::exists(target() / "help" / "3.html"));
}

TEST_F(InstallerTest, listEntriesOutsideTheTargetAreRefused) {
  makeDist();
  const std::string escape = "/mervane-abs";  // list names are at most 19 characters
  writeFile(dist() / kSetupListName, "[Files]\n1=../x\n2=" + escape + "\n3=help/../../y\n4=pagesize.dat\n"
                                     "[Data]\n1=../z\n");
  for (const char* name : {"x", "y", "z"}) writeFile(dir_ / name, name);
  const SetupList list = readSetupList(dist() / kSetupListName);
  fs::create_directories(target());
  const CopyReport copy = copyInstallation(list, dist(), dist() / "setup", target());
  EXPECT_EQ(copy.refused, (std::vector<std::string>{"../x", escape, "help/../../y", "../z"}));
  EXPECT_FALSE(copy.complete());
  EXPECT_TRUE(fs::exists(target() / "pagesize.dat"));
  for (const char* name : {"x", "y", "z"}) EXPECT_FALSE(fs::exists(home() / ".local/share" / name));
}

TEST_F(InstallerTest, quietSetupAndRemoveTouchNothingWhileMervaneRuns) {
  makeDist();
  install();
  std::ostringstream out, err;
  const auto running = [] { return true; };
  const fs::path other = dir_ / "other";
  EXPECT_EQ(runQuietSetup({"setup", "--quiet", "--target", other.string()}, dist(), dist() / "setup",
                          out, err, running), 3);
  EXPECT_EQ(runQuietRemove({"remove", "--quiet", "--delete-data"}, target(), 999999, out, err, running), 3);
  EXPECT_EQ(err.str(), "setup: Mervane is running. Close it, then press Retry.\n"
                       "remove: Mervane is running. Close it, then press Retry.\n");
  EXPECT_FALSE(fs::exists(other));
  EXPECT_TRUE(fs::exists(target() / "pagesize.dat"));
  EXPECT_TRUE(fs::exists(target() / kInstallRecordName));
}

TEST(RemovalScript, pathsAreQuotedForTheShell) {
  TestDir dir;
  // Blanks, quotes, a dollar sign and a back-quote in the folder name stay literal.
  const fs::path folder = dir / "it's a \"$HOME\" `x`";
  fs::create_directories(folder);
  writeFile(folder / "mervane", "program");
  const std::string text = removalScriptText(999999, folder / "mervane", true);
  EXPECT_NE(text.find("rm -f -- '" + dir.path().string() + "/it'\\''s a \"$HOME\" `x`/mervane'\n"),
            std::string::npos);
  EXPECT_NE(text.find("-lt 30"), std::string::npos);
  const fs::path script = writeRemovalScript(text);
  ASSERT_FALSE(script.empty());
  EXPECT_EQ(fs::status(script).permissions() & (fs::perms::group_all | fs::perms::others_all),
            fs::perms::none);
  EXPECT_EQ(QProcess::execute("/bin/sh", {QString::fromStdString(script.string())}), 0);
  EXPECT_FALSE(fs::exists(folder));
}

TEST(RemovalScript, eachScriptHasItsOwnName) {
  const fs::path a = writeRemovalScript("exit 0\n");
  const fs::path b = writeRemovalScript("exit 0\n");
  EXPECT_NE(a, b);
  fs::remove(a);
  fs::remove(b);
}

}  // namespace
}  // namespace mv::test
