#include "settings/WebBrowserProbe.h"

#include "support/TestDir.h"

#include <QtGlobal>

#include <gtest/gtest.h>

namespace mv {
namespace {

class WebBrowserProbeTest : public ::testing::Test {
 protected:
  // A stand-in for xdg-mime that answers with `output` and exits with `exitCode`.
  std::string fakeXdgMime(const std::string& output, int exitCode = 0) {
    const auto script = dir / "xdg-mime";
    test::writeFile(script, "#!/bin/sh\n[ \"$1 $2 $3\" = \"query default text/html\" ] || exit 9\n"
                            "printf '%s\\n' '" + output + "'\nexit " + std::to_string(exitCode) + "\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script.string();
  }
  void desktopFile(const std::string& relative, const std::string& text) {
    const auto file = dir / ("share/applications/" + relative);
    std::filesystem::create_directories(file.parent_path());
    test::writeFile(file, text);
  }
  BrowserProbe probe(const std::string& program) {
    return probeWebBrowser({program, 3000, {dir / "share"}});
  }
  test::TestDir dir;
};

TEST_F(WebBrowserProbeTest, takesTheProgramOfTheHandlersExecLine) {
  desktopFile("browse.desktop",
              "[Desktop Action new]\nExec=/wrong --new\n"
              "[Desktop Entry]\nName=Browse\nExec=\"/opt/My Browser/browse\" %u\n");
  const BrowserProbe found = probe(fakeXdgMime("browse.desktop"));
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.programPath, "/opt/My Browser/browse");
}

TEST_F(WebBrowserProbeTest, findsVendorPrefixedIdsInSubfolders) {
  desktopFile("vendor/web.desktop", "[Desktop Entry]\nExec=/usr/bin/web %U\n");
  EXPECT_EQ(probe(fakeXdgMime("vendor-web.desktop")).programPath, "/usr/bin/web");
}

TEST_F(WebBrowserProbeTest, anyFailureMeansNoBrowser) {
  desktopFile("browse.desktop", "[Desktop Entry]\nName=Browse\n");  // no Exec line
  struct Row {
    const char* what;
    std::string program;
  };
  const Row rows[] = {
      {"no xdg-mime", (dir / "missing-program").string()},
      {"failing xdg-mime", fakeXdgMime("browse.desktop", 1)},
      {"no handler", fakeXdgMime("")},
      {"unknown desktop file", fakeXdgMime("other.desktop")},
      {"path instead of an id", fakeXdgMime("../../etc/x.desktop")},
      {"no Exec line", fakeXdgMime("browse.desktop")},
  };
  for (const auto& r : rows) {
    const BrowserProbe p = probe(r.program);
    EXPECT_FALSE(p.found) << r.what;
    EXPECT_EQ(p.programPath, "") << r.what;
  }
}

TEST(WebBrowserExec, programIsTheFirstWordWithQuotesRemoved) {
  EXPECT_EQ(execProgram("firefox %u"), "firefox");
  EXPECT_EQ(execProgram("\"/opt/a \\\"b\\\"/run\" --x"), "/opt/a \"b\"/run");
  EXPECT_EQ(execProgram(""), "");
}

TEST_F(WebBrowserProbeTest, aDialerIsADefaultHandlerForTel) {
  const auto script = dir / "xdg-mime-tel";
  test::writeFile(script,
                  "#!/bin/sh\n[ \"$1 $2 $3\" = \"query default x-scheme-handler/tel\" ] || exit 9\n"
                  "printf '%s\\n' \"$ANSWER\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const BrowserProbeOptions options{script.string(), 3000, {}};
  qputenv("ANSWER", "dialer.desktop");
  EXPECT_TRUE(hasDesktopHandler("x-scheme-handler/tel", options));
  qputenv("ANSWER", "");
  EXPECT_FALSE(hasDesktopHandler("x-scheme-handler/tel", options));
  EXPECT_FALSE(hasDesktopHandler("text/html", options));  // the script refuses other types
  EXPECT_FALSE(hasDesktopHandler("x-scheme-handler/tel", {(dir / "none").string(), 3000, {}}));
}

}  // namespace
}  // namespace mv
