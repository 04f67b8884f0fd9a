// mervane-pictures [--dark] [OUT_DIR]: the windows and dialogs drawn offscreen and written
// as a PNG into OUT_DIR (pictures-out by default), one line per file written; with --dark in
// the Fusion style with a dark desktop's palette. For a person to look at after a change of
// layout; it checks nothing.
#include "pictures/Pictures.h"
#include "support/DarkPalette.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const bool dark = argc >= 2 && std::strcmp(argv[1], "--dark") == 0;
  const int rest = argc - (dark ? 1 : 0);
  char* const outArg = rest == 2 ? argv[argc - 1] : nullptr;
  if (rest > 2 || (outArg && (std::strcmp(outArg, "-h") == 0 ||
                              std::strcmp(outArg, "--help") == 0))) {
    std::fprintf(stderr,
                 "usage: mervane-pictures [--dark] [OUT_DIR]   (default: pictures-out)\n");
    return 2;
  }
  // No display needed; and the same numbers and texts on every machine.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QApplication app(argc, argv);
  if (dark) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(mv::test::darkPalette());
  }

  const QString out = QString::fromLocal8Bit(outArg ? outArg : "pictures-out");
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
