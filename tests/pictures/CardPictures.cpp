// The card window after a vCard import, and its Find Duplicates window over the two
// entries that look alike.
#include "pictures/Pictures.h"

#include "cardwindow/ui/TCardFile.h"
#include "cardwindow/ui/TDuplicates.h"
#include "support/ScriptedPrompter.h"

namespace mv::pictures {

namespace {

// Ann twice, as a phone exports her: her e-mail in other letter case and her number
// written two ways; and Cy, alike to nobody.
constexpr const char* kPhoneExport =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
    "EMAIL;TYPE=INTERNET:Ann.Lee@Example.com\r\nTEL;TYPE=WORK:(555) 123-4567\r\n"
    "NOTE:Met in Rome\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Annie;;;\r\nFN:Annie Lee\r\n"
    "EMAIL;TYPE=INTERNET:ann.lee@example.COM\r\nTEL;TYPE=CELL:555.123.4567\r\n"
    "ORG:Acme\r\nNOTE:Likes tea\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Fox;Cy;;;\r\nFN:Cy Fox\r\nEND:VCARD\r\n";

}  // namespace

void cardPictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  ShellServices services;
  services.prompter = &prompter;
  services.fileChooser = &chooser;
  services.settingsFile = scene.dir() / "mervane.ini";
  TCardFile window(services);
  window.setDialogRunner([&shoot](QDialog& d) {
    if (auto* duplicates = dynamic_cast<TDuplicates*>(&d)) {
      duplicates->show();
      shoot.take(*duplicates, "duplicates.png");
    }
    return int(QDialog::Rejected);
  });

  test::writeFile(scene.dir() / "phone.vcf", kPhoneExport);
  chooser.answer(scene.dir() / "phone.vcf");
  chooser.answer(scene.dir() / "contacts");
  window.onCommand(cmd::kImportVcard);
  window.onCommand(cmd::kFindDuplicates);
  window.show();
  shoot.take(window, "card-after-import.png");
}

}  // namespace mv::pictures
