#include "pictures/Pictures.h"

#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace mv::pictures {

void Shooter::take(QWidget& window, const QString& fileName) {
  // A window shown a moment ago has not laid out or painted yet.
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const QString path = QDir(outDir_).filePath(fileName);
  if (window.grab().save(path, "PNG")) {
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
  } else {
    std::fprintf(stderr, "mervane-pictures: could not write %s\n", qPrintable(path));
    ++failures_;
  }
  std::fflush(stdout);
}

Scene::Scene() {
  if (!dir_.isValid())
    std::fprintf(stderr, "mervane-pictures: no temporary folder: %s\n",
                 qPrintable(dir_.errorString()));
  std::filesystem::create_directories(program());
  std::filesystem::create_directories(dir() / "windows");
  std::filesystem::create_directories(dir() / "scratch");
  setProgramDirForTesting(program());
  setWindowsDirForTesting(dir() / "windows");
  setScratchDirForTesting(dir() / "scratch");
}

Scene::~Scene() {
  setProgramDirForTesting({});
  setWindowsDirForTesting({});
  setScratchDirForTesting({});
}

}  // namespace mv::pictures
