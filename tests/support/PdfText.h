#pragma once
// What a PDF file says, read back by poppler's pdftotext: the text of each page in
// reading order. An outside reader, so a test sees the file as a user's viewer does.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

namespace mv::test {

// One string per page; empty when pdftotext could not read the file.
inline std::vector<std::string> pdfPages(const std::filesystem::path& file,
                                         const QStringList& options = {"-layout"}) {
  QProcess p;
  p.start("pdftotext", options + QStringList{QString::fromStdString(file.string()), "-"});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  QStringList pages = text.split(QChar('\f'));
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  std::vector<std::string> out;
  for (const QString& page : pages) out.push_back(page.toStdString());
  return out;
}

// "Page size: W x H pts" of the first page, as pdfinfo says it.
inline std::string pdfPageSize(const std::filesystem::path& file) {
  QProcess p;
  p.start("pdfinfo", {QString::fromStdString(file.string())});
  p.waitForFinished();
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
    if (line.startsWith("Page size:")) return line.simplified().toStdString();
  return {};
}

}  // namespace mv::test
