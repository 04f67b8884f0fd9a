#include "settings/FolderRememberingChooser.h"

#include "support/ScriptedPrompter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(FolderRememberingChooserTest, eachKindOpensWhereAFileOfItsKindWasLastChosen) {
  namespace fs = std::filesystem;
  test::TestDir dir;
  const fs::path a = dir / "a", b = dir / "b", start = dir / "start";
  for (const fs::path& p : {a, b, start}) fs::create_directories(p);
  ScriptedFileChooser dialogs;
  FolderRememberingChooser chooser(dialogs, dir / "mervane.ini");
  struct Row {
    const char* what;
    FileKind kind;
    fs::path given;       // where the caller would start the dialog
    fs::path chosenIn;    // empty: cancelled
    fs::path opensIn;     // where the dialog started
    bool removeB = false;  // b is deleted before the dialog
  };
  const Row rows[] = {
      {"nothing remembered: the caller's folder", FileKind::Books, start, a, start},
      {"the folder of the last book", FileKind::Books, start, b, a},
      {"a book's folder is not the CSV's", FileKind::Csv, {}, a, {}},
      {"cancelled: remembers nothing", FileKind::Books, start, {}, b},
      {"the CSV's own", FileKind::Csv, start, {}, a},
      {"the helper program is not remembered", FileKind::None, start, a, start},
      {"still a PDF's own", FileKind::Pdf, start, b, start},
      {"a folder since deleted: the caller's", FileKind::Books, start, {}, start, true},
      {"another kind keeps its folder", FileKind::Csv, start, {}, a},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    if (r.removeB) fs::remove_all(b);
    if (r.chosenIn.empty())
      dialogs.cancel();
    else
      dialogs.answer(r.chosenIn / "file.x");
    FileRequest request;
    request.fileKind = r.kind;
    request.directory = r.given;
    EXPECT_EQ(chooser.choose(request).has_value(), !r.chosenIn.empty());
    EXPECT_EQ(dialogs.requests().back().directory, r.opensIn);
  }
  EXPECT_TRUE(chooser.saved());
}

}  // namespace
}  // namespace mv
