#include "shell/MainFrame.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  mv::MainFrame frame;
  frame.show();
  return app.exec();
}
