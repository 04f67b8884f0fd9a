#pragma once
// What the picture scenes share: where the files go and how a window is photographed,
// and a fresh set of folders for each scene.

#include "support/TestDir.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>

class QWidget;

namespace mv::pictures {

class Shooter {
 public:
  explicit Shooter(QString outDir) : outDir_(std::move(outDir)) {}
  // Lets the window lay itself out and paint, then writes it as outDir/fileName and
  // prints the file's path; a file that cannot be written is said on stderr and counted.
  void take(QWidget& window, const QString& fileName);
  int failures() const noexcept { return failures_; }

 private:
  QString outDir_;
  int failures_ = 0;
};

// The program, Windows and scratch folders of one scene, in a temporary folder removed
// afterwards: the windows read and write their settings there, never beside this program
// or in the user's own folders, and every scene starts from no settings at all.
class Scene {
 public:
  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  std::filesystem::path dir() const { return dir_.path().toStdString(); }
  std::filesystem::path program() const { return dir() / "program"; }
  std::filesystem::path ini() const { return program() / "mervane.ini"; }

 private:
  // Named for this program: the recent list in the File menu shows these paths.
  QTemporaryDir dir_{QDir::tempPath() + "/mervane-pictures-XXXXXX"};
};

// Each draws one group of windows.
void cardPictures(Shooter& shoot);
void exportPictures(Shooter& shoot);
void framePictures(Shooter& shoot);
void importPictures(Shooter& shoot);
void printPictures(Shooter& shoot);
void syncPictures(Shooter& shoot);

}  // namespace mv::pictures
