// mervane-pictures [OUT_DIR]: the windows and dialogs drawn offscreen and written as a
// PNG into OUT_DIR (pictures-out by default), one line per file written. For a person to
// look at after a change of layout; it checks nothing.
#include "pictures/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && (std::strcmp(argv[1], "-h") == 0 ||
                                 std::strcmp(argv[1], "--help") == 0))) {
    std::fprintf(stderr, "usage: mervane-pictures [OUT_DIR]   (default: pictures-out)\n");
    return 2;
  }
  // No display needed; and the same numbers and texts on every machine.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QApplication app(argc, argv);

  const QString out = QString::fromLocal8Bit(argc == 2 ? argv[1] : "pictures-out");
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "mervane-pictures: cannot make the folder %s\n", qPrintable(out));
    return 1;
  }
  mv::pictures::Shooter shoot(out);
  mv::pictures::framePictures(shoot);
  mv::pictures::cardPictures(shoot);
  mv::pictures::exportPictures(shoot);
  mv::pictures::importPictures(shoot);
  mv::pictures::printPictures(shoot);
  mv::pictures::syncPictures(shoot);
  return shoot.failures() == 0 ? 0 : 1;
}
