#pragma once
// TADRImport, "Import Address File": the user matches the CSV file's fields to the
// program's 28 fields, runs the import and sees the imported rows. The rules live in
// ImportSession; this dialog shows them.

#include "exchange/ImportSession.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace mv {

class Prompter;
class FileChooser;

class TADRImport final : public QDialog {
  Q_OBJECT
 public:
  // Control ids.
  enum : int {
    kImportList = 101,
    kResultList = 106,
    kFileCaption = 355,
    kProgramCaption = 356,
    kMatchCaption = 357,
    kNote = 358,
    kProgramList = 3507,
    kHelp = 9,
  };
  static constexpr int kHelpContext = 8071;

  TADRImport(imp::ImportSession& session, Prompter& prompter, QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void importSelected();   // the user picked an import field on the left
  void programSelected();  // the user picked a program field on the right
  void checkChanged(QListWidgetItem* item);
  void next();
  void runImport();
  void refreshItem(int importField);
  void selectProgramQuietly(int programField);
  void layOut();

  imp::ImportSession& session_;
  Prompter& prompter_;
  QListWidget* importList_;
  QListWidget* programList_;
  QLabel* fileCaption_;
  QLabel* programCaption_;
  QLabel* matchCaption_;
  QLabel* note_;
  QTreeWidget* results_;
  QProgressBar* progress_;
  QPushButton* next_;
  QPushButton* cancel_;
  QPushButton* help_;
  bool filling_ = false;  // selection handling is off while the dialog fills its lists
};

// The whole import as File Open and Import run it: the file is read, the dialog runs
// (through `runDialog`, which tests replace), then the new book is named and written.
// Returns the new book's path; nullopt when cancelled or when nothing could be made.
std::optional<std::filesystem::path> importCsvFile(
    const std::filesystem::path& csv, Prompter& prompter, FileChooser& chooser,
    const std::filesystem::path& openBook, QWidget* parent,
    const std::function<int(QDialog&)>& runDialog);

}  // namespace mv
