#include "cardwindow/ui/CardPages.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/RtfReader.h"
#include "cardwindow/SummaryRtf.h"
#include "cardwindow/ui/SummaryView.h"
#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "store/CardModel.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>

namespace mv {
namespace {

// The button of the Notes page carries a control id, not a command.
constexpr int kNotesButton = 24390;
constexpr int kCaption = 11578;
constexpr int kTabs = 107;

}  // namespace

CardPages::CardPages(CardModel& card, QWidget* parent) : QWidget(parent), model_(card) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  // The caption of the Notes and Link pages sits on the page it names (setPage moves it):
  // above the pages it would make the card window taller on those pages than on the
  // Edit page, and the frame, which takes its size from the card window, would grow.
  caption_ = new QLabel(this);
  setControlId(caption_, kCaption);
  caption_->setMinimumHeight(24);
  QFont captionFont = caption_->font();
  captionFont.setBold(true);
  caption_->setFont(captionFont);

  pages_ = new QStackedWidget(this);
  pages_->setFrameShape(QFrame::StyledPanel);
  card_ = new TCardEditControls(card, pages_);
  connect(card_, &TCardEditControls::charactersRefused, this, &CardPages::charactersRefused);
  pages_->addWidget(card_);

  auto* notesPage = new QWidget(pages_);
  auto* notesLayout = new QVBoxLayout(notesPage);
  notesLayout->setContentsMargins(6, 6, 6, 6);
  notes_ = new NotesEdit(notesPage);
  notesLayout->addWidget(notes_);
  notesButton_ = new QPushButton(notesPage);
  setControlId(notesButton_, kNotesButton);
  setAccessible(notesButton_, QStringLiteral("Notes page"));
  notesButton_->setFlat(true);
  notesButton_->setFixedSize(0, 0);  // present on the Notes page, with nothing to do
  notesButton_->setFocusPolicy(Qt::NoFocus);
  notesLayout->addWidget(notesButton_);
  connect(notes_, &NotesEdit::refused, this, &CardPages::charactersRefused);
  connect(notes_, &QPlainTextEdit::textChanged, this, &CardPages::notesChanged);
  pages_->addWidget(notesPage);

  auto* linkPage = new QWidget(pages_);
  auto* linkLayout = new QVBoxLayout(linkPage);
  linkLayout->setContentsMargins(0, 0, 0, 0);
  linkLayout->setSpacing(0);
  summary_ = new SummaryView(linkPage);
  linkLayout->addWidget(summary_);
  pages_->addWidget(linkPage);
  layout->addWidget(pages_, 1);

  tabs_ = new QTabBar(this);
  setControlId(tabs_, kTabs);
  setAccessible(tabs_, QStringLiteral("Pages"));
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  tabs_->addTab(QString());
  tabs_->addTab(QStringLiteral("     Edit      "));
  tabs_->addTab(QStringLiteral("     Notes     "));
  tabs_->addTab(QStringLiteral("     Link      "));
  tabs_->setTabEnabled(0, false);  // the empty first tab only spaces the others
  tabs_->setAccessibleName(QStringLiteral("Pages: Edit, Notes, Link"));
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= EditPage && index <= LinkPage && index != page_) emit pageChosen(index);
  });
  layout->addWidget(tabs_);
}

void CardPages::notesChanged() {
  if (notesBusy_) return;
  // The editor shows line feeds; the book keeps carriage return and line feed pairs.
  QString text = notes_->toPlainText();
  // Text set without a key press (assistive technology) passes the same refusal as
  // typing: what the book cannot hold is taken out of the editor, and said so.
  int left = 0;
  const QString kept = keepCp1252(text, &left);
  if (left > 0) {
    notesBusy_ = true;
    notes_->setPlainText(kept);
    notes_->moveCursor(QTextCursor::End);
    notesBusy_ = false;
    emit charactersRefused(left, true);
    text = kept;
  }
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  model_.typeNotes(toCp1252(text));
}

void CardPages::setPage(Page page) {
  page_ = page;
  tabs_->blockSignals(true);
  tabs_->setCurrentIndex(page);
  tabs_->blockSignals(false);
  pages_->setCurrentIndex(page - 1);
  if (page != EditPage) {
    if (auto* layout = qobject_cast<QBoxLayout*>(pages_->widget(page - 1)->layout()))
      layout->insertWidget(0, caption_);
  }
  caption_->setVisible(page != EditPage);
  notesButton_->setVisible(page == NotesPage);
  updateCaption();
  if (page == LinkPage) rebuildSummary();
}

void CardPages::setCaption(const QString& shown) {
  shown_ = shown;
  updateCaption();
}

void CardPages::updateCaption() {
  const bool none = shown_.isEmpty();
  if (page_ == NotesPage) {
    caption_->setText(none ? QStringLiteral(" Notes: no item selected")
                           : QStringLiteral(" Notes about: %1").arg(shown_));
  } else if (page_ == LinkPage) {
    caption_->setText(none ? QStringLiteral(" Summary: no item selected")
                           : QStringLiteral(" Summary: %1").arg(shown_));
  }
  setAccessible(caption_, caption_->text().trimmed());
}

void CardPages::refresh() {
  card_->refresh();
  QString notes = fromCp1252(model_.notes());
  notes.remove(QLatin1Char('\r'));
  if (notes_->toPlainText() != notes) {
    notesBusy_ = true;
    notes_->setPlainText(notes);
    notesBusy_ = false;
  }
  updateCaption();
  if (page_ == LinkPage) rebuildSummary();
}

void CardPages::rebuildSummary() {
  summary_->showDocument(readRtf(summaryRtf(model_.toRecord())));
}

}  // namespace mv
