#include "platform/ui/QtPrompter.h"

#include "platform/Cp1252.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileDialog>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace mv {

Answer QtPrompter::ask(const Message& m) {
  QMessageBox box(parent_);
  box.setWindowTitle(fromCp1252(m.caption));
  box.setText(m.coding == TextCoding::Utf8 ? QString::fromStdString(m.text)
                                           : fromCp1252(m.text));
  switch (m.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
  }
  QMessageBox::StandardButtons buttons;
  switch (m.buttons) {
    case Buttons::Ok: buttons = QMessageBox::Ok; break;
    case Buttons::OkCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: buttons = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel:
      buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
    case Buttons::RetryCancel: buttons = QMessageBox::Retry | QMessageBox::Cancel; break;
  }
  box.setStandardButtons(buttons);
  switch (m.defaultButton) {
    case Answer::No: box.setDefaultButton(QMessageBox::No); break;
    case Answer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
    case Answer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
    case Answer::Retry: box.setDefaultButton(QMessageBox::Retry); break;
    case Answer::Ok:
      box.setDefaultButton(m.buttons == Buttons::YesNo || m.buttons == Buttons::YesNoCancel
                               ? QMessageBox::Yes
                           : m.buttons == Buttons::RetryCancel ? QMessageBox::Retry
                                                               : QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    default: return Answer::Cancel;
  }
}

QStringList qtFilters(const std::string& filter) {
  const QStringList parts = fromCp1252(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
  return out;
}

std::optional<FileChoice> QtFileChooser::choose(const FileRequest& r) {
  const QStringList filters = qtFilters(r.filter);
  QFileDialog dlg(parent_, fromCp1252(r.title),
                  QString::fromStdString(r.directory.string()));
  dlg.setNameFilters(filters);
  // Programs on this platform carry no extension: the execute permission marks them.
  if (r.executablesOnly)
    dlg.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  if (r.selectedFilter >= 1 && r.selectedFilter <= filters.size())
    dlg.selectNameFilter(filters[r.selectedFilter - 1]);
  // Large enough to show the name, size, type and date columns without scrolling; the
  // dialog's own default leaves room for little more than the names.
  QSize size = dlg.sizeHint().expandedTo(QSize(900, 560));
  if (const QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  dlg.resize(size);
  // The columns get room for what they show (a whole date, a size, a type); the name
  // takes the rest, instead of the dialog's narrow defaults that cut the date short.
  if (auto* view = dlg.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    const QFontMetrics fm = view->fontMetrics();
    const int pad = 24;
    const QDateTime late(QDate(2000, 12, 28), QTime(23, 58, 58));
    QHeaderView* header = view->header();
    header->resizeSection(1, fm.horizontalAdvance(QStringLiteral("1023.99 KiB")) + pad);
    header->resizeSection(2, fm.horizontalAdvance(QStringLiteral("Mervane File")) + pad);
    header->resizeSection(
        3, std::max(fm.horizontalAdvance(QLocale::system().toString(late, QLocale::ShortFormat)),
                    fm.horizontalAdvance(QStringLiteral("28 Dec 2000 23:58:58"))) +
               pad);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  if (r.kind == FileRequest::Kind::Open) {
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(r.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  } else {
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // With an extension to add, the dialog's own question would be about the name as
    // typed ("book"), not the file written ("book.pdf"): it is asked here instead.
    if (!r.overwritePrompt || !r.requiredExtension.empty())
      dlg.setOption(QFileDialog::DontConfirmOverwrite);
  }
  FileChoice c;
  for (;;) {
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    c.path = std::filesystem::path(dlg.selectedFiles().front().toStdString());
    if (r.kind != FileRequest::Kind::Save || r.requiredExtension.empty()) break;
    c.path = withExtension(c.path, r.requiredExtension);
    std::error_code ec;
    if (!r.overwritePrompt || !std::filesystem::exists(c.path, ec)) break;
    const QString name = QString::fromStdString(c.path.filename().string());
    if (QMessageBox::warning(&dlg, dlg.windowTitle(),
                             QString("%1 already exists.\nDo you want to replace it?").arg(name),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes)
      break;
    dlg.selectFile(name);  // No: back to the dialog, the name still there to change
  }
  c.filter = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
  if (c.filter < 1) c.filter = 1;
  return c;
}

}  // namespace mv
