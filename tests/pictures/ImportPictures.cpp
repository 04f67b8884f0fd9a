// The CSV import window: a Google Contacts export being matched, then its entries.
#include "pictures/Pictures.h"

#include "exchange/ui/TADRImport.h"
#include "platform/ui/Controls.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QPushButton>

namespace mv::pictures {

void importPictures(Shooter& shoot) {
  Scene scene;
  ScriptedPrompter prompter;
  const std::filesystem::path csv = scene.dir() / "contacts.csv";
  test::writeFile(
      csv,
      "Name,Given Name,Family Name,Organization 1 - Name,E-mail 1 - Value,Phone 1 - Type,"
      "Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Address 1 - Type,Address 1 - Street,"
      "Address 1 - City,Address 1 - Postal Code,Business Phone,Birthday\r\n"
      "Ren\xC3\xA9" "e Dupont,Ren\xC3\xA9" "e,Dupont,Cr\xC3\xA8me Br\xC3\xBBl\xC3\xA9" "e SARL,"
      "renee@example.fr,Mobile,+33 6 12 34 56 78,Work,+33 1 40 00 00 01,Work,"
      "12 rue de la Paix,Paris,75002,,1970-01-02\r\n"
      "J\xC3\xBCrgen Gro\xC3\x9F,J\xC3\xBCrgen,Gro\xC3\x9F,M\xC3\xBCller & S\xC3\xB6hne GmbH,"
      "jg@example.de,Home,0221 123456,Mobile,0171 9876543,Home,Bahnhofstra\xC3\x9F" "e 12,"
      "K\xC3\xB6ln,50667,,\r\n");
  imp::ImportSession session;
  if (!session.open(csv)) return;
  TADRImport dialog(session, prompter);
  dialog.show();
  shoot.take(dialog, "import-match.png");
  control<QPushButton>(&dialog, 1)->click();
  QApplication::processEvents();
  shoot.take(dialog, "import-result.png");
}

}  // namespace mv::pictures
