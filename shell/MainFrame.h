#pragma once
// The main frame "Mervane".

#include <QMainWindow>

namespace mv {

class MainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainFrame(QWidget* parent = nullptr);
};

}  // namespace mv
