#pragma once
// The export wizard (format page, file step, CSV field page) and the field list that
// Save As shows for the CSV type. Thin: the bytes come from ExportFile, the messages go
// through the Prompter, the file name through the FileChooser.

#include "exchange/ExportFile.h"
#include "exchange/ExportHtml.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace mv {

class FileChooser;
class Prompter;

// The field page: "Select which fields you wish to export:" over check list 101.
class TExportCSV final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kList = 101;
  explicit TExportCSV(const QString& prompt, QWidget* parent = nullptr);
  ExportFields fields() const;

 private:
  QListWidget* list_ = nullptr;
};

// Save As with the CSV type: the field list as a modal dialog titled "Export".
class TExportCsvDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 8070;  // the export topic
  explicit TExportCsvDialog(QWidget* parent = nullptr);
  ExportFields fields() const { return page_->fields(); }

 private:
  TExportCSV* page_ = nullptr;
};

// The letter page: the text before each contact (edit 102), a sample address block, the
// text after (edit 12). Texts are Windows-1252 with CR LF line ends, as the files load.
class TExport_RTF final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kBefore = 102, kAfter = 12;
  TExport_RTF(const std::string& before, const std::string& after, QWidget* parent = nullptr);
  std::string beforeText() const;
  std::string afterText() const;

 private:
  QPlainTextEdit* before_ = nullptr;
  QPlainTextEdit* after_ = nullptr;
};

struct ExportServices {
  Prompter* prompter = nullptr;
  FileChooser* fileChooser = nullptr;
  // The book's records in list order, taken when the file name is confirmed.
  std::function<std::vector<AddressRecord>()> records;
  // "Do you wish to open the parent folder?" answered Yes.
  std::function<void(const std::filesystem::path& folder)> openFolder;
  // The offer to open the text document just written.
  std::function<void(const std::filesystem::path& file)> offerDocument;
  // The same for the letters (RTF) and for the web pages' frameset page.
  std::function<void(const std::filesystem::path& file)> offerLetters;
  std::function<void(const std::filesystem::path& page)> offerWebPage;
  // The names list with its records, for the web pages.
  std::function<WebBook()> webBook;
  // Where the letter texts and the pictures are kept and the web folder is made; the
  // program directory when empty.
  std::filesystem::path programDir;
};

class TExport final : public QDialog {
  Q_OBJECT
 public:
  enum Step { FormatStep = 0, FileStep = 1, FieldStep = 11, LetterStep = 31 };
  enum class Format { Csv = 10, Text = 20, Rtf = 30, Html = 50, Vcard = 60 };
  static constexpr int kNext = 1, kCancel = 2, kHelp = 9, kPicture = 106, kFrame = 107;
  static constexpr int kHelpContext = 8070;
  static constexpr int kCsvRadio = 101, kTextRadio = 102, kRtfRadio = 103, kHtmlRadio = 105;
  static constexpr int kVcardRadio = 108;
  static constexpr int kFolderEdit = 102;  // on the directory page

  TExport(ExportServices services, QWidget* parent = nullptr);

  Step step() const noexcept { return step_; }
  // "&Next >": the step's work.
  void next();
  // The file written last (empty until one is).
  const std::filesystem::path& writtenFile() const noexcept { return written_; }

 private:
  void showPage(QWidget* page);
  void fileStep();
  void writeCsv();
  // "Data has been saved in…": Yes opens the folder.
  void offerFolder(const char* caption);
  void writeLetters();
  void writeWebPages();
  std::filesystem::path programDir() const;
  bool write(const std::filesystem::path& path, const std::string& bytes);

  ExportServices services_;
  Step step_ = FormatStep;
  Format format_ = Format::Csv;
  QFrame* frame_ = nullptr;
  QWidget* page_ = nullptr;
  TExportCSV* fieldPage_ = nullptr;
  TExport_RTF* letterPage_ = nullptr;
  QLineEdit* folderEdit_ = nullptr;
  std::filesystem::path file_;
  std::filesystem::path written_;
  // The snapshot: the records as they were when the file name was confirmed.
  std::optional<std::vector<AddressRecord>> snapshot_;
};

}  // namespace mv
