// Every test executable starts here: an application object on the offscreen platform and
// a pinned locale, so that tests behave the same on every machine. Tests of windows get
// a QApplication, tests of core drawing a QGuiApplication; the other tests of the core
// get a QCoreApplication and are linked without QtWidgets.
#if defined(MERVANE_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(MERVANE_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
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
