#include "shell/MainFrame.h"

namespace mv {

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) { setWindowTitle("Mervane"); }

}  // namespace mv
