#pragma once
// The Link page's read-only summary view: shows the summary as the RTF reader reads it,
// turns the pointer into a hand over links, sends a link's command when it is clicked,
// and offers "Select All and Copy" on a right click or double click.

#include "cardwindow/RtfReader.h"
#include "commands/Commands.h"

#include <QTextBrowser>

#include <functional>

namespace mv {

class SummaryView final : public QTextBrowser {
  Q_OBJECT
 public:
  static constexpr int kId = 112;
  static constexpr int kSelectAllAndCopy = cmd::kCopySummary;
  // The summary's colour 3, its card ground: text in it (the command numbers of the links)
  // is hidden, drawn in the view's ground whatever that is.
  static constexpr QRgb kHiddenColour = 0xFFEFEFEF;

  explicit SummaryView(QWidget* parent = nullptr);

  // Replaces what is shown with the summary.
  void showDocument(const RtfDocument& document);
  const RtfDocument& summary() const noexcept { return document_; }

  // The character under a point of the viewport, -1 when none.
  int characterAt(QPoint viewportPos) const;
  // What a left click on that character does (also used by tests).
  void clickCharacter(int position);
  void selectAllAndCopy();
  // Which link commands can be followed now; the others show no hand and do nothing.
  // Unset: every command link.
  void setLinkEnabled(std::function<bool(int command)> enabled) {
    linkEnabled_ = std::move(enabled);
  }

 signals:
  void commandRequested(int id);
  // A link without a command: a web address ("http...") or an e-mail address, as the
  // summary holds it (Windows-1252 bytes).
  void addressRequested(bool web, const QByteArray& address);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void showMenu(QPoint globalPos);

  bool isLive(const SummaryLink& link) const;

  RtfDocument document_;
  std::function<bool(int)> linkEnabled_;
};

}  // namespace mv
