// Every test executable starts here: an application on the offscreen platform and a
// pinned locale, so that tests behave the same on every machine. Test programs of the
// core link no QtWidgets; they get a QGuiApplication, which is all fonts and painting need.
#if __has_include(<QApplication>)
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  TestApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
