// Handing addresses and documents to outside programs: the prefix rules, the URL the
// desktop gets (never a local file or a program), the helper settings, and the messages.
#include "exchange/Launch.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <map>

namespace mv {
namespace {

TEST(Launch, prefixRules) {
  const struct {
    LaunchKind kind;
    const char* typed;
    const char* passed;
  } kCases[] = {
      {LaunchKind::EMail, "MAILTO:ann@example.org", "MAILTO:ann@example.org"},  // capitals
      {LaunchKind::EMail, "mailto:", "mailto:mailto:"},          // the prefix alone
      {LaunchKind::EMail, "ann@example.org", "mailto:ann@example.org"},
      {LaunchKind::News, "news:", "news:news:"},
      {LaunchKind::News, "news:comp.lang.c", "news:comp.lang.c"},
      {LaunchKind::News, "comp.lang.c", "news:comp.lang.c"},
      {LaunchKind::Ftp, "ftp://", "ftp://ftp://"},
      {LaunchKind::Ftp, "ftp://ftp.example.org", "ftp://ftp.example.org"},
      {LaunchKind::Ftp, "ftp.example.org", "ftp://ftp.example.org"},
      {LaunchKind::Web, "www.example.org", "www.example.org"},  // as typed in the dialog
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(prefixedAddress(c.kind, c.typed), c.passed);
  }
}

TEST(Launch, theDesktopGetsAnEncodedUrlThatNeverOpensAFileOrAProgram) {
  const struct {
    LaunchKind kind;
    const char* field;
    const char* url;
  } kCases[] = {
      {LaunchKind::EMail, "MAILTO:ann@example.org", "MAILTO:ann@example.org"},
      {LaunchKind::EMail, "ann lee@example.org", "mailto:ann%20lee@example.org"},
      {LaunchKind::EMail, "ren\xe9@example.org", "mailto:ren%C3%A9@example.org"},  // 1252 é
      {LaunchKind::News, "news:", ""},  // nothing after the prefix: nothing to open
      {LaunchKind::News, "comp.os", "news:comp.os"},
      {LaunchKind::Ftp, "ftp://", ""},
      {LaunchKind::Ftp, "ftp.example.org/pub", "ftp://ftp.example.org/pub"},
      {LaunchKind::Web, "www.example.org", "http://www.example.org"},
      {LaunchKind::Web, "HTTPS://example.org/a b", "HTTPS://example.org/a%20b"},
      {LaunchKind::Web, "ftp://example.org", "ftp://example.org"},
      {LaunchKind::Web, "javascript:alert(1)", "http://javascript:alert(1)"},
      {LaunchKind::Web, "file:///etc/passwd", "http://file:///etc/passwd"},
      {LaunchKind::Web, "/usr/bin/xterm", "http:///usr/bin/xterm"},
      {LaunchKind::Web, "--new-window evil", "http://--new-window%20evil"},
      {LaunchKind::Web, "a\"b<c>%zz%41", "http://a%22b%3Cc%3E%25zz%41"},
      {LaunchKind::Web, "   ", ""},
      {LaunchKind::Dialer, "+39 (06) 123-45#", "tel:+390612345%23"},
      // The page the web-page export wrote opens as a local file, not as a web address.
      {LaunchKind::LocalPage, "/tmp/my web/mervane.htm", "file:///tmp/my%20web/mervane.htm"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(desktopUrl(c.kind, c.field), c.url);
  }
}

TEST(Launch, telLinksCarryOnlyDialCharacters) {
  const struct {
    const char* number;
    const char* url;
  } kCases[] = {
      {"+39 (06) 1234-567", "tel:+39061234567"},
      {"555 1234 p 12", "tel:5551234,12"},   // a pause
      {"*31#555", "tel:*31%23555"},
      {"call me", ""},                       // no digit: nothing to dial
      {"", ""},
      {"1;ext=2&x", "tel:12"},               // nothing that could end the number early
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(telUrl(c.number), c.url);
  }
}

TEST(Launch, helperCaptionNamesTheProgram) {
  EXPECT_EQ(useHelperCaption(""), "Use ");
  EXPECT_EQ(useHelperCaption("/usr/bin/firefox-esr"), "Use Firefox-esr");
  EXPECT_EQ(useHelperCaption("c:\\windows\\NOTEPAD.EXE"), "Use Notepad");
  EXPECT_EQ(useHelperCaption("/opt/My.Mail/thunderbird.sh"), "Use Thunderbird");
  // A document without a named program goes to the desktop's own editor for its type.
  EXPECT_EQ(useHelperCaption("", LaunchKind::Txt), "Use Text Editor");
  EXPECT_EQ(useHelperCaption(" ", LaunchKind::Rtf), "Use Word Processor");
  EXPECT_EQ(useHelperCaption("/usr/bin/abiword", LaunchKind::Rtf), "Use Abiword");
}

class HandOver : public ::testing::Test {
 protected:
  HandOver() {
    settings_.ini = dir_ / "mervane.ini";
    settings_.browserPath = "/usr/bin/browser";
    settings_.choice = [this](LaunchKind k) { return choices_.count(k) ? choices_[k] : 1; };
    settings_.setChoice = [this](LaunchKind k, int c) { choices_[k] = c; };
  }
  // The Run dialog answered as a user would: OK with a choice, or Cancel.
  RunAsker answer(int choice, std::optional<std::string> address = std::nullopt) {
    return [this, choice, address](const RunRequest& r) -> std::optional<RunAnswer> {
      asked_.push_back(r);
      return RunAnswer{address.value_or(r.address), choice, r.helperPath};
    };
  }
  RunAsker cancel() {
    return [this](const RunRequest& r) -> std::optional<RunAnswer> {
      asked_.push_back(r);
      return std::nullopt;
    };
  }
  bool run(LaunchKind kind, const std::string& address, const RunAsker& ask) {
    return handOver(kind, address, ask, launcher_, prompter_, settings_);
  }

  test::TestDir dir_;
  LaunchSettings settings_;
  std::map<LaunchKind, int> choices_;
  std::vector<RunRequest> asked_;
  RecordingLauncher launcher_;
  ScriptedPrompter prompter_;
};

TEST_F(HandOver, theDesktopOrTheHelperAsChosenAndTheChoiceKeptPerKind) {
  EXPECT_TRUE(run(LaunchKind::EMail, "ann@example.org", answer(1)));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].title, "Send email to:");
  EXPECT_EQ(asked_[0].address, "mailto:ann@example.org");
  EXPECT_EQ(asked_[0].helperPath, "/usr/bin/browser");  // the probed browser by default
  EXPECT_TRUE(run(LaunchKind::Web, "example.org", answer(0)));
  EXPECT_EQ(launcher_.calls, (std::vector<std::string>{
                                 "open mailto:ann@example.org",
                                 "start /usr/bin/browser http://example.org"}));
  EXPECT_EQ(choices_[LaunchKind::Web], 0);
  EXPECT_EQ(choices_[LaunchKind::EMail], 1);
  // The next web hand-over starts from the helper, e-mail still from the desktop.
  run(LaunchKind::Web, "example.org", cancel());
  run(LaunchKind::EMail, "a@b.c", cancel());
  EXPECT_EQ(asked_[2].choice, 0);
  EXPECT_EQ(asked_[3].choice, 1);
  EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(HandOver, aTextDocumentFollowsItsOwnChoiceAndHelper) {
  choices_[LaunchKind::EMail] = 1;
  choices_[LaunchKind::Txt] = 0;
  ASSERT_TRUE(Profile(settings_.ini, "Helper").writeString("TXT", "/usr/bin/mousepad"));
  const auto doc = dir_ / "out.txt";
  EXPECT_TRUE(run(LaunchKind::Txt, doc.string(), answer(choices_[LaunchKind::Txt])));
  EXPECT_EQ(asked_[0].title, "Open document");
  EXPECT_EQ(asked_[0].choice, 0);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"start /usr/bin/mousepad " + doc.string()});
  // The Windows program older settings name cannot run here: the desktop's editor opens it.
  for (const char* windowsHelper : {"C:\\WINDOWS\\notepad.exe", ""}) {
    launcher_.calls.clear();
    ASSERT_TRUE(Profile(settings_.ini, "Helper").writeString("TXT", windowsHelper));
    EXPECT_EQ(readHelper(settings_, LaunchKind::Txt), "");
    EXPECT_TRUE(run(LaunchKind::Txt, doc.string(), answer(0)));
    EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open file://" + doc.string()});
  }
  EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(HandOver, cancelLaunchesNothingAndKeepsTheChoice) {
  choices_[LaunchKind::Ftp] = 0;
  EXPECT_FALSE(run(LaunchKind::Ftp, "ftp.example.org", cancel()));
  EXPECT_TRUE(launcher_.calls.empty());
  EXPECT_EQ(choices_[LaunchKind::Ftp], 0);
}

TEST_F(HandOver, everyFailureIsSaid) {
  const struct {
    const char* what;
    LaunchKind kind;
    std::string address;
    int choice;
    std::string helper;
    Launcher::Result result;
    std::string message;  // empty: none
    bool dialogShown;
  } kCases[] = {
      {"empty field", LaunchKind::EMail, "  ", 1, "", Launcher::Result::Ok, "Nothing to open",
       false},
      {"address cleared in the dialog", LaunchKind::EMail, "a@b", 1, "", Launcher::Result::Ok,
       "Nothing to open", true},
      {"no helper named", LaunchKind::News, "comp.os", 0, " ", Launcher::Result::Ok,
       "No program chosen for news", true},
      {"no handler", LaunchKind::Web, "x.org", 1, "", Launcher::Result::NoHandler,
       "Could not find any association", true},
      {"helper cannot start", LaunchKind::Web, "x.org", 0, "/nope", Launcher::Result::StartFailed,
       "Could not properly launch the the Application\nerror number 2", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    prompter_.clear();
    asked_.clear();
    launcher_.result = c.result;
    ASSERT_TRUE(Profile(settings_.ini, "Helper")
                    .writeString(launchKindInfo(c.kind).helperKey, c.helper));
    const bool cleared = std::string(c.what).find("cleared") != std::string::npos;
    EXPECT_FALSE(run(c.kind, c.address,
                     answer(c.choice, cleared ? std::optional<std::string>("mailto:")
                                              : std::nullopt)));
    EXPECT_EQ(asked_.size(), c.dialogShown ? 1u : 0u);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.last().text, c.message);
    EXPECT_EQ(prompter_.last().caption, "Mervane");
    EXPECT_EQ(prompter_.last().icon, Icon::Exclamation);
  }
}

TEST_F(HandOver, thePhoneGetsTheNumberOnTheClipboardAndOneTelLink) {
  EXPECT_TRUE(run(LaunchKind::Dialer, "+39 06 555-1234", cancel()));
  EXPECT_TRUE(asked_.empty());  // no Run dialog for a number
  EXPECT_EQ(launcher_.calls, (std::vector<std::string>{"copy +39 06 555-1234",
                                                       "open tel:+39065551234"}));
  launcher_.calls.clear();
  EXPECT_FALSE(run(LaunchKind::Dialer, "none", cancel()));
  EXPECT_TRUE(launcher_.calls.empty());
  EXPECT_EQ(prompter_.last().text, "Nothing to open");
}

TEST_F(HandOver, aChosenHelperIsStoredAtOnce) {
  ScriptedFileChooser chooser;
  chooser.answer("/usr/local/bin/mutt");
  const auto chosen = chooseHelper(chooser, settings_, LaunchKind::EMail, "/usr/bin/browser");
  ASSERT_EQ(chosen, std::optional<std::string>("/usr/local/bin/mutt"));
  EXPECT_EQ(chooser.requests()[0].title, "Choose another application to run");
  EXPECT_EQ(chooser.requests()[0].filter.substr(0, 9), "Programs ");
  EXPECT_TRUE(chooser.requests()[0].executablesOnly);
  EXPECT_EQ(chooser.requests()[0].directory, std::filesystem::path("/usr/bin"));
  EXPECT_EQ(readHelper(settings_, LaunchKind::EMail), "/usr/local/bin/mutt");
  EXPECT_EQ(readHelper(settings_, LaunchKind::News), "/usr/bin/browser");
  EXPECT_EQ(readHelper(settings_, LaunchKind::Rtf), "");
  chooser.cancel();
  EXPECT_FALSE(chooseHelper(chooser, settings_, LaunchKind::EMail, "").has_value());
  EXPECT_EQ(readHelper(settings_, LaunchKind::EMail), "/usr/local/bin/mutt");
}

}  // namespace
}  // namespace mv
