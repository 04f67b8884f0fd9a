// The export wizard on each of its pages, and the Run dialog that hands an e-mail
// address to the desktop.
#include "pictures/Pictures.h"

#include "exchange/ui/TExport.h"
#include "exchange/ui/TRunDialog.h"
#include "support/ScriptedPrompter.h"
#include "platform/ui/Controls.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace mv::pictures {

namespace {

AddressRecord person(const std::string& first, const std::string& city = {}) {
  AddressRecord r;
  r[FieldId::First] = first;
  r[FieldId::City] = city;
  return r;
}

// A wizard over two entries whose file dialogs are answered from the chooser and whose
// offers to open what was written go nowhere.
struct Wizards {
  Scene scene;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  std::vector<AddressRecord> records{person("Ann", "Rome, Italy"), person("Bob")};

  WebBook web() const {
    WebBook book(1);
    book[0].name = "Main";
    for (size_t i = 0; i < records.size(); ++i)
      book[0].entries.push_back({int(i), records[i][FieldId::First], records[i]});
    return book;
  }
  // Opened with the format's radio button set and, but for the first page, Next pressed.
  std::unique_ptr<TExport> open(int formatRadio, bool next) {
    ExportServices s;
    s.prompter = &prompter;
    s.fileChooser = &chooser;
    s.records = [this] { return records; };
    s.openFolder = [](const std::filesystem::path&) {};
    s.offerDocument = [](const std::filesystem::path&) {};
    s.offerLetters = [](const std::filesystem::path&) {};
    s.offerWebPage = [](const std::filesystem::path&) {};
    s.webBook = [this] { return web(); };
    s.programDir = scene.dir() / "program";
    auto w = std::make_unique<TExport>(std::move(s));
    control<QRadioButton>(w.get(), formatRadio)->setChecked(true);
    if (next) {
      control<QPushButton>(w.get(), TExport::kNext)->click();
      QApplication::processEvents();
    }
    return w;
  }
};

}  // namespace

void exportPictures(Shooter& shoot) {
  Wizards wizards;
  const auto show = [&shoot](QWidget& w, const QString& name) {
    w.show();
    shoot.take(w, name);
  };
  auto formats = wizards.open(TExport::kCsvRadio, false);
  show(*formats, "export-format.png");
  wizards.chooser.answer(wizards.scene.dir() / "people.csv");
  auto fields = wizards.open(TExport::kCsvRadio, true);
  show(*fields, "export-fields.png");
  wizards.chooser.answer(wizards.scene.dir() / "letters.rtf");
  auto letters = wizards.open(TExport::kRtfRadio, true);
  show(*letters, "export-letters.png");
  auto folder = wizards.open(TExport::kHtmlRadio, true);
  show(*folder, "export-folder.png");

  RunRequest r;
  r.kind = LaunchKind::EMail;
  r.title = "Send email to:";
  r.address = "mailto:ann@example.org";
  r.helperPath = "/usr/bin/thunderbird";
  TRunDialog run(r, nullptr);
  show(run, "run-dialog.png");
}

}  // namespace mv::pictures
