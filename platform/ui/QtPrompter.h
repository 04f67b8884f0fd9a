#pragma once
// The Prompter and FileChooser of the real program: QMessageBox and QFileDialog.

#include "platform/FileChooser.h"
#include "platform/Prompter.h"

#include <QStringList>

class QWidget;

namespace mv {

class QtPrompter final : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  Answer ask(const Message& message) override;
  void setParent(QWidget* parent) { parent_ = parent; }

 private:
  QWidget* parent_;
};

class QtFileChooser final : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<FileChoice> choose(const FileRequest& request) override;
  void setParent(QWidget* parent) { parent_ = parent; }

 private:
  QWidget* parent_;
};

// "Name (*.ext)|*.ext|..." to Qt's "Name (*.ext);;..." list, one entry per pair.
QStringList qtFilters(const std::string& filter);

}  // namespace mv
