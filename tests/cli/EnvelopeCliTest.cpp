// mervane-cli print --layout 1079: one envelope per entry, on Letter or a paper Qt names,
// portrait or landscape; an unknown paper is refused.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "support/PdfText.h"
#include "support/CliRun.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::pdfPages;

using test::CliRun;
using test::cli;

class EnvelopeCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setScratchDirForTesting(dir_.path());
    test::writeFile(csv_, "First Name,Last Name,City\nAnn,Doe,Ada\nBob,Roe,Lima\nCy,Poe,Rome\n");
    ASSERT_EQ(cli({"import", csv_.string(), book_.string()}).code, 0);
    test::writeFile(ini_, "[AddressBook]\nFirst Name=Me\n[PageSetup]\nEnvelope Landscape=1\n");
  }
  void TearDown() override { setScratchDirForTesting({}); }
  test::TestDir dir_;
  fs::path csv_ = dir_ / "people.csv";
  fs::path book_ = dir_ / "people.adr";
  fs::path ini_ = dir_ / "mervane.ini";
  fs::path pdf_ = dir_ / "envelopes.pdf";
};

TEST_F(EnvelopeCliTest, oneEnvelopePerEntryOnTheChosenPaper) {
  struct Row {
    std::vector<std::string> extra;
    size_t pages;
    const char* size;
  };
  const Row rows[] = {
      {{}, 3, "Page size: 612 x 792 pts (letter)"},
      {{"--settings", ini_.string()}, 3, "Page size: 792 x 612 pts (letter)"},  // remembered
      {{"--paper", "comm10e", "--landscape"}, 3, "Page size: 684 x 297 pts"},
      {{"--paper", "DLE", "--pages", "2-3"}, 2, "Page size: 312 x 624 pts"},
  };
  for (const Row& r : rows) {
    std::vector<std::string> args{"print", book_.string(), "--layout", "1079", "--pdf", pdf_.string()};
    args.insert(args.end(), r.extra.begin(), r.extra.end());
    const CliRun run = cli(args);
    ASSERT_EQ(run.code, 0) << run.err;
    const auto pages = pdfPages(pdf_);
    ASSERT_EQ(pages.size(), r.pages) << run.out;
    EXPECT_NE(pages.back().find("Cy Poe"), std::string::npos) << pages.back();
    EXPECT_EQ(test::pdfPageSize(pdf_).substr(0, std::string(r.size).size()), r.size);
    // The return address comes from the settings file's My Address.
    EXPECT_EQ(pages.front().find("Me") != std::string::npos, r.extra.size() == 2) << pages.front();
  }
  EXPECT_NE(pdfPages(pdf_).front().find("Bob Roe"), std::string::npos);  // pages 2-3 only
}

TEST_F(EnvelopeCliTest, anUnknownPaperOrAPaperForAnotherLayoutIsRefused) {
  struct Row {
    std::vector<std::string> args;
    const char* says;
  };
  const Row rows[] = {
      {{"--layout", "1079", "--paper", "Napkin"}, "--paper Napkin: no such paper size"},
      {{"--layout", "1080", "--paper", "A4"}, "are for the envelope"},
      {{"--layout", "1076", "--landscape"}, "are for the envelope"},
  };
  for (const Row& r : rows) {
    std::vector<std::string> args{"print", book_.string(), "--pdf", pdf_.string()};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const CliRun run = cli(args);
    EXPECT_EQ(run.code, 2) << r.says;
    EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(pdf_));
}

}  // namespace
}  // namespace mv
