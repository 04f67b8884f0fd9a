// The card window driven as a user drives it: command ids, control ids, scripted answers.
#include "cardwindow/ui/TAZPopup.h"
#include "cardwindow/ui/CardDialogs.h"
#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "cardwindow/SummaryRtf.h"
#include "cardwindow/ui/SummaryView.h"
#include "platform/ui/Controls.h"
#include "platform/Paths.h"
#include "support/DarkPalette.h"
#include "support/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "support/TestDir.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QPointer>
#include <QTabBar>
#include <QAbstractButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace mv {
namespace {

using Script = std::function<int(QDialog&)>;

class CardFileTest : public ::testing::Test {
 protected:
  CardFileTest() {
    std::filesystem::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    setStateDirForTesting(dir_ / "state");  // the records of open books
    services_.prompter = &prompter_;
    services_.fileChooser = &chooser_;
    services_.settingsFile = dir_ / "mervane.ini";
    services_.setFrameTitle = [this](const std::string& t) { title_ = t; };
    services_.cardSort = [this] { return sort_; };
    services_.setCardSort = [this](int s) { sort_ = s; };
    services_.postCommand = [this](int id) { posted_.push_back(id); };
    services_.addRecentFile = [this](const std::filesystem::path& p) { recent_.push_back(p); };
    services_.showStatus = [this](const std::string& t) { status_.push_back(t); };
    window_ = std::make_unique<TCardFile>(services_);
    window_->setDialogRunner([this](QDialog& d) {
      if (scripts_.empty()) {
        ADD_FAILURE() << "unexpected dialog " << d.windowTitle().toStdString();
        return int(QDialog::Rejected);
      }
      auto script = std::move(scripts_.front());
      scripts_.pop_front();
      return script(d);
    });
  }

  void newBook(const std::string& name = "book.adr") {
    chooser_.answer(dir_ / name);
    window_->onCommand(cmd::kNewFile);
    settle();
  }
  static void settle() { QApplication::processEvents(); }

  // Types into a box as the user does (replacing its text).
  void type(FieldId f, const QString& text) {
    QLineEdit* box = window_->card()->box(f);
    box->selectAll();
    box->insert(text);
  }
  void addPerson(const QString& first, const QString& last, const QString& group = {},
                 const QString& home = {}) {
    window_->onCommand(cmd::kClearCard);  // a clear card
    type(FieldId::First, first);
    type(FieldId::Last, last);
    type(FieldId::Group, group.isEmpty() ? QString("Main") : group);
    if (!home.isEmpty()) type(FieldId::Home, home);
    window_->onCommand(cmd::kAddName);
    settle();
  }
  // The user clicks an entry of the names list.
  void click(EntryRef entry) {
    QTreeWidgetItem* item = window_->itemFor(entry);
    ASSERT_NE(item, nullptr);
    window_->namesTree()->setCurrentItem(item);
    settle();
  }
  EntryRef named(int group, const std::string& text) const {
    return window_->session().names().findNameInGroup(group, text);
  }
  QString box(FieldId f) const { return window_->card()->box(f)->text(); }
  // Runs a command that opens a pop-up menu and returns the menu's items as
  // "text[*]=command" (* = checked), closing the menu unchosen.
  QStringList menuOf(int command) {
    QStringList items;
    QTimer::singleShot(0, [&items] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* a : menu->actions()) {
        items << a->text() + (a->isChecked() ? "*" : "") + "=" + a->data().toString();
      }
      menu->close();
    });
    window_->onCommand(command);
    return items;
  }
  QStringList treeTexts(int group) const {
    QStringList out;
    QTreeWidgetItem* top = window_->namesTree()->topLevelItem(group);
    for (int i = 0; top && i < top->childCount(); ++i) out << top->child(i)->text(0);
    return out;
  }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
  ShellServices services_;
  std::string title_;
  int sort_ = 0;
  std::vector<int> posted_;
  std::vector<std::filesystem::path> recent_;
  std::vector<std::string> status_;
  std::deque<Script> scripts_;
  std::unique_ptr<TCardFile> window_;
};

TEST_F(CardFileTest, newBookAddNamesEditPhoneCommitOnSelectionChangeAndReopen) {
  newBook();
  EXPECT_EQ(title_, "Mervane - " + (dir_ / "book.adr").string());
  addPerson("Ann", "Lee", "Friends", "555-1");
  addPerson("Bob", "Ray");
  ASSERT_EQ(treeTexts(0), (QStringList{"Ann Lee ", "Bob Ray "}));
  ASSERT_EQ(window_->namesTree()->topLevelItemCount(), 2);
  EXPECT_EQ(treeTexts(1), QStringList{"Ann Lee "});

  click(named(0, "Ann Lee "));
  EXPECT_EQ(box(FieldId::Home), "555-1");
  EXPECT_EQ(box(FieldId::Group), "Friends");
  type(FieldId::Home, "555-2");
  window_->card()->box(FieldId::Home)->setModified(true);
  click(named(0, "Bob Ray "));  // leaving the card stores it
  EXPECT_EQ(box(FieldId::First), "Bob");
  EXPECT_TRUE(prompter_.shown().empty());
  click(named(0, "Ann Lee "));
  EXPECT_EQ(box(FieldId::Home), "555-2");
  EXPECT_EQ(treeTexts(0).size(), 2);  // replaced, not added

  window_->onCommand(cmd::kSave);  // Save
  auto other = std::make_unique<TCardFile>(services_);
  chooser_.answer(dir_ / "book.adr");
  other->onCommand(cmd::kOpen);
  settle();
  window_ = std::move(other);
  EXPECT_EQ(treeTexts(0), (QStringList{"Ann Lee ", "Bob Ray "}));
  click(named(0, "Ann Lee "));
  EXPECT_EQ(box(FieldId::Home), "555-2");
}

TEST_F(CardFileTest, addChangeDeleteAndAddGroupWithTheirMessages) {
  newBook();
  // Add on an untouched card asks for a name; OK with nothing is refused with a message.
  scripts_.push_back([this](QDialog& d) {
    auto& add = dynamic_cast<TCardAdd&>(d);
    EXPECT_EQ(add.windowTitle(), "Add a new name");
    add.accept();
    EXPECT_EQ(prompter_.last().caption, "Not enough information");
    EXPECT_EQ(prompter_.last().text,
              "Please enter at least one of:        \n\n\tFirst Name\n\tLast Name\n\tCompany"
              "\n\nThen click on OK again");
    EXPECT_EQ(add.result(), QDialog::Rejected);  // still open
    control<QLineEdit>(&add, TCardAdd::kLastId)->setText("Kay");
    add.accept();
    return add.result();
  });
  window_->onCommand(cmd::kAddNameTool);
  settle();
  EXPECT_EQ(treeTexts(0), QStringList{"Kay "});
  EXPECT_EQ(window_->namesTree()->currentItem()->text(0), "Kay ");

  // Adding the same name again is refused.
  prompter_.clear();
  type(FieldId::Last, "Kay");
  window_->onCommand(cmd::kAddName);
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().caption, "This item is already added");
  EXPECT_EQ(treeTexts(0).size(), 1);

  // Change with an edited name asks to add it; Yes keeps both records.
  click(named(0, "Kay "));
  type(FieldId::Last, "Kaye");
  prompter_.answer(Answer::Yes);
  window_->onCommand(cmd::kChangeName);
  EXPECT_EQ(prompter_.last().caption, "Add?");
  EXPECT_EQ(prompter_.last().text,
            "Kaye \nDoes not Exists\n\nDo you want to Add it to the Names List      ");
  EXPECT_EQ(treeTexts(0), (QStringList{"Kay ", "Kaye "}));

  // A new group, then deleting: "Main" is refused, a name asks first.
  scripts_.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "New Group Name");
    control<QLineEdit>(&d, TCardAddGroup::kNameId)->setText("Work");
    return int(QDialog::Accepted);
  });
  window_->onCommand(cmd::kAddGroup);
  ASSERT_EQ(window_->namesTree()->topLevelItemCount(), 2);
  EXPECT_EQ(window_->namesTree()->topLevelItem(1)->text(0), "Work");

  prompter_.clear();
  click({0, -1});
  window_->onCommand(cmd::kDeleteName);
  EXPECT_EQ(prompter_.last().text,
            "Can not delete the \"Main\" group\nThis group contains all names in the addressbook");

  click(named(0, "Kay "));
  prompter_.answer(Answer::Yes);
  window_->onCommand(cmd::kDeleteTool);
  EXPECT_EQ(prompter_.last().caption, "Delete this name?");
  EXPECT_EQ(prompter_.last().text, "Kay ");
  EXPECT_EQ(treeTexts(0), QStringList{"Kaye "});

  click({1, -1});  // the empty group goes without a question
  prompter_.clear();
  window_->onCommand(cmd::kDeleteGroup);
  EXPECT_TRUE(prompter_.shown().empty());
  EXPECT_EQ(window_->namesTree()->topLevelItemCount(), 1);
}

TEST_F(CardFileTest, changeToAnotherGroupFromTheContextMenuMovesTheRecord) {
  newBook();
  addPerson("Ann", "Lee", "Friends");
  addPerson("Bob", "Ray", "Work");
  click(named(0, "Bob Ray "));
  auto menu = window_->contextMenuFor(window_->session().selection());
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{"Send &Email", "Open &Web page", "Phone &Home", "Phone &Office",
                                "&Delete this Name", "&Print Envelope", "&Change to", "&Go to"}));
  QMenu* changeTo = menu->actions()[6]->menu();
  ASSERT_EQ(changeTo->actions().size(), 2);  // every group except "Main"
  EXPECT_EQ(changeTo->actions()[0]->text(), "Friends");
  window_->onCommand(changeTo->actions()[0]->data().toInt());
  EXPECT_EQ(box(FieldId::Group), "Friends");
  window_->onCommand(cmd::kChangeName);
  settle();
  EXPECT_EQ(treeTexts(1), (QStringList{"Ann Lee ", "Bob Ray "}));
}

TEST_F(CardFileTest, secondSetSwitchKeepsBothValues) {
  newBook();
  auto* card = window_->card();
  window_->onCommand(cmd::kSecondSetFirst);  // Home2 in the shared editor
  EXPECT_EQ(card->box(FieldId::Buffer)->label(), "Home2");
  type(FieldId::Buffer, "h2");
  window_->onCommand(7055);  // Web2
  EXPECT_EQ(card->box(FieldId::Buffer)->label(), "Web2");
  EXPECT_EQ(box(FieldId::Buffer), "");
  type(FieldId::Buffer, "w2");
  window_->onCommand(cmd::kSecondSetFirst);
  EXPECT_EQ(box(FieldId::Buffer), "h2");
  EXPECT_EQ(box(FieldId::Home2), "h2");
  EXPECT_EQ(box(FieldId::Web2), "w2");
  // A preview (menu hover) shows a field without making it current.
  card->previewSecondSet(24);
  EXPECT_EQ(box(FieldId::Buffer), "w2");
  card->previewSecondSet(-1);
  EXPECT_EQ(box(FieldId::Buffer), "h2");
  EXPECT_EQ(window_->session().card().secondSetField(), 21);

  // The shown field's own box and the shared editor are one value: typing into either
  // shows in the other, and what was typed last is what the record keeps.
  const auto typeKeys = [card](FieldId f, const QString& text) {
    card->box(f)->setFocus();
    card->box(f)->selectAll();
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(card->box(f), &press);
    }
  };
  typeKeys(FieldId::Home2, "555-7");
  EXPECT_EQ(box(FieldId::Buffer), "555-7");
  EXPECT_EQ(window_->session().card().toRecord()[FieldId::Home2], "555-7");
  typeKeys(FieldId::Buffer, "555-8");
  EXPECT_EQ(box(FieldId::Home2), "555-8");
  EXPECT_EQ(window_->session().card().toRecord()[FieldId::Home2], "555-8");
  typeKeys(FieldId::Web2, "w3");  // not shown in the shared editor: it stays as it is
  EXPECT_EQ(box(FieldId::Buffer), "555-8");
  EXPECT_EQ(window_->session().card().toRecord()[FieldId::Web2], "w3");
}

TEST_F(CardFileTest, boxesRefuseCharactersTheBookCannotHold) {
  auto* box = window_->card()->box(FieldId::Other);
  const auto key = [box](const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
  };
  const std::string oneKey = "This character cannot be stored in an address book";
  key("\xC3\xA9");         // é
  key(QString(QChar(0x20AC)));  // € is in Windows-1252
  EXPECT_TRUE(status_.empty());
  key(QString(QChar(0x03A9)));  // Ω is not
  key(QString::fromUtf8("\xF0\x9F\x98\x80"));  // nor an emoji, one character in two halves
  EXPECT_EQ(box->text(), QString("\xC3\xA9") + QChar(0x20AC));
  EXPECT_EQ(status_, (std::vector<std::string>{oneKey, oneKey}));
  // A paste keeps what the book can hold and says how much it left out.
  box->insert(QString("x") + QChar(0x4E2D) + QChar(0x2603) + "y");
  EXPECT_EQ(box->text(), QString("\xC3\xA9") + QChar(0x20AC) + "xy");
  EXPECT_EQ(window_->session().card().text(FieldId::Other), "\xE9\x80xy");
  EXPECT_EQ(status_.back(),
            "Characters that cannot be stored in an address book were left out: 2");
  box->insert(QString("z") + QChar(0x4E2D));
  EXPECT_EQ(status_.back(),
            "Characters that cannot be stored in an address book were left out: 1");

  // The boxes keep the field limits.
  EXPECT_EQ(window_->card()->box(FieldId::MrMs)->maxLength(), 9);
  EXPECT_EQ(window_->card()->box(FieldId::Zip)->maxLength(), 19);
  EXPECT_EQ(window_->card()->box(FieldId::Zip)->objectName(), "142");
  EXPECT_EQ(window_->card()->box(FieldId::Zip)->accessibleName(), "Zip");

  // The notes refuse the same characters, typed, composed or pasted.
  auto* notes = control<QPlainTextEdit>(window_.get(), 105);
  const size_t before = status_.size();
  QKeyEvent omega(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x03A9)));
  QApplication::sendEvent(notes, &omega);
  QInputMethodEvent composed;
  composed.setCommitString(QString("a") + QChar(0x4E2D) + "b");
  QApplication::sendEvent(notes, &composed);
  QApplication::clipboard()->setText(QString("c\r\n") + QChar(0x2603));
  notes->paste();
  EXPECT_EQ(notes->toPlainText(), "abc\n");
  EXPECT_EQ(window_->session().card().notes(), "abc\r\n");
  EXPECT_EQ(status_.size(), before + 3);  // the key, the composed text and the paste said so
  EXPECT_EQ(status_.back(),
            "Characters that cannot be stored in an address book were left out: 1");
}

TEST_F(CardFileTest, keyboardMovesBetweenBoxes) {
  auto* card = window_->card();
  window_->show();
  struct Row {
    FieldId from;
    int key;
    FieldId to;
  } rows[] = {
      {FieldId::Group, Qt::Key_Down, FieldId::MrMs},
      {FieldId::Buffer, Qt::Key_Down, FieldId::Group},  // 20 back to 0
      {FieldId::Group, Qt::Key_Up, FieldId::Buffer},
      {FieldId::City, Qt::Key_PageUp, FieldId::MrMs},
      {FieldId::City, Qt::Key_PageDown, FieldId::Group},
      {FieldId::Title, Qt::Key_Left, FieldId::Last},  // empty box: the caret is at the start
      {FieldId::Title, Qt::Key_Right, FieldId::Dept},
  };
  for (const auto& row : rows) {
    card->box(row.from)->setFocus();
    QKeyEvent press(QEvent::KeyPress, row.key, Qt::NoModifier);
    QApplication::sendEvent(card->box(row.from), &press);
    EXPECT_EQ(window_->focusWidget(), card->box(row.to)) << toInt(row.from) << " key " << row.key;
  }
  // Inside a text Left moves the caret, not the focus.
  card->box(FieldId::Title)->setText("ab");
  card->box(FieldId::Title)->setFocus();
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(card->box(FieldId::Title), &left);
  EXPECT_EQ(window_->focusWidget(), card->box(FieldId::Title));
}

TEST_F(CardFileTest, aToZGreyLettersAndJumpThroughBlankPrefixedKeys) {
  newBook();
  addPerson("Ann", "Lee");
  addPerson(" ", "Kay ");  // a blank first name: the key begins with two blanks
  // Blanks sort first: the key with the blank first name leads the list.
  ASSERT_TRUE(treeTexts(0).value(0).startsWith("  Kay")) << treeTexts(0).join("|").toStdString();
  const EntryRef kay{0, 0};
  click({0, -1});
  window_->onCommand(cmd::kAZ);
  TAZPopup* popup = window_->azPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->width(), 40);
  EXPECT_EQ(popup->height(), 26 * popup->rowHeight() + 6);
  EXPECT_EQ(popup->letterColor(0), popup->palette().color(QPalette::WindowText));  // A
  EXPECT_NE(popup->letterColor(1), popup->letterColor(0));   // B is dimmed
  EXPECT_EQ(popup->letterColor(10), popup->letterColor(1));  // K: its key begins with blanks

  // Passing over a grey letter does nothing; a letter with names jumps at once.
  const auto moveTo = [popup](int row) {
    const QPointF at(20, 3 + row * popup->rowHeight() + 2);
    QMouseEvent move(QEvent::MouseMove, at, popup->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
    settle();
  };
  moveTo(1);
  EXPECT_TRUE(window_->session().selection().isGroup());
  moveTo(0);
  EXPECT_EQ(window_->session().selection(), named(0, "Ann Lee "));
  EXPECT_EQ(box(FieldId::First), "Ann");

  window_->onCommand(11901 + ('K' - 'A'));
  EXPECT_EQ(window_->session().selection(), kay);
  window_->onCommand(11901 + ('Z' - 'A'));  // no Z: the selection stays
  EXPECT_EQ(window_->session().selection(), kay);
}

TEST_F(CardFileTest, findSelectsTheMatchAndSearchAgainMovesOn) {
  newBook();
  addPerson("John", "Smith");
  window_->onCommand(cmd::kClearCard);
  type(FieldId::Last, "Aaab");
  type(FieldId::City, "Paris");
  window_->onCommand(cmd::kAddName);
  addPerson("Paris", "Hilton");
  click({0, -1});
  window_->show();

  const auto findText = [this](const QString& text, int range = 0) {
    scripts_.push_back([text, range](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), "Find Text");
      control<QLineEdit>(&d, 101)->setText(text);
      control<QComboBox>(&d, 12)->setCurrentIndex(range);
      return int(QDialog::Accepted);
    });
    window_->onCommand(cmd::kFind);
    settle();
  };

  findText("SMITH");
  EXPECT_EQ(window_->session().selection(), named(0, "John Smith "));
  QLineEdit* last = window_->card()->box(FieldId::Last);
  EXPECT_EQ(window_->focusWidget(), last);
  EXPECT_EQ(last->selectedText(), "Smith");

  prompter_.clear();
  findText("aab");  // a-a-b is not in a-a-a-b
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().caption, "Not found");
  EXPECT_EQ(prompter_.last().text, "aab");

  click({0, -1});
  findText("paris", 9);  // City only: Paris Hilton's first name is not looked at
  EXPECT_EQ(window_->session().selection(), named(0, "Aaab "));
  EXPECT_EQ(window_->card()->box(FieldId::City)->selectedText(), "Paris");

  click({0, -1});
  findText("paris");  // all fields: the first name in list order with it
  EXPECT_EQ(window_->session().selection(), named(0, "Aaab "));
  window_->onCommand(cmd::kSearchAgain);
  settle();
  EXPECT_EQ(window_->session().selection(), named(0, "Paris Hilton "));
  EXPECT_EQ(window_->card()->box(FieldId::First)->selectedText(), "Paris");
}

TEST_F(CardFileTest, linkPageWritesTheSummaryAndALinkClickSendsItsCommand) {
  newBook();
  window_->onCommand(cmd::kClearCard);
  type(FieldId::First, "Ann");
  type(FieldId::Email, "ann@example.org");
  type(FieldId::Company, "{x}");
  window_->onCommand(cmd::kAddName);
  window_->setPage(TCardFile::LinkPage);
  EXPECT_EQ(control<QLabel>(window_.get(), 11578)->text(), " Summary: Ann  {x}");

  AddressRecord expected;
  expected[FieldId::First] = "Ann";
  expected[FieldId::Email] = "ann@example.org";
  expected[FieldId::Company] = "{x}";
  SummaryView* view = window_->summaryView();
  // Handed to the view as it is, with no scratch file between.
  EXPECT_EQ(view->summary().runs, readRtf(summaryRtf(expected)).runs);
  EXPECT_FALSE(std::filesystem::exists(scratchDir() / kSummaryFileName));
  const QString shown = view->toPlainText();
  EXPECT_TRUE(shown.contains("{x}"));
  std::vector<int> sent;
  QObject::connect(view, &SummaryView::commandRequested, [&sent](int id) { sent.push_back(id); });
  // The view's own handling of links; which links the window lets through is the command
  // table's to say.
  view->setLinkEnabled([](int) { return true; });
  // Each followed e-mail link asks the Run dialog first; Cancel hands nothing over.
  for (int i = 0; i < 2; ++i) {
    scripts_.push_back([](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), "Send email to:");
      return int(QDialog::Rejected);
    });
  }
  view->clickCharacter(static_cast<int>(shown.indexOf("example")));
  view->clickCharacter(static_cast<int>(shown.indexOf("Ann")));  // not a link
  EXPECT_EQ(sent, std::vector<int>{186});

  // The pointer becomes a hand over the link and an arrow elsewhere; a click sends it.
  window_->show();
  settle();
  const auto pointAt = [view](int position) {
    QTextCursor c(view->document());
    c.setPosition(position);
    return view->cursorRect(c).center() + QPoint(3, 0);
  };
  const auto moveTo = [view](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    return view->viewport()->cursor().shape();
  };
  const QPoint onLink = pointAt(static_cast<int>(shown.indexOf("example")));
  EXPECT_EQ(moveTo(onLink), Qt::PointingHandCursor);
  EXPECT_EQ(moveTo(pointAt(static_cast<int>(shown.indexOf("Ann")))), Qt::ArrowCursor);
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(type, onLink, view->viewport()->mapToGlobal(onLink), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &e);
  }
  EXPECT_EQ(sent, (std::vector<int>{186, 186}));

  // "Select All and Copy" puts the summary's text on the clipboard (the name line keeps
  // one of its two blanks: the other ends the control word before it) and leaves nothing
  // selected.
  QApplication::clipboard()->clear();
  window_->onCommand(cmd::kCopySummary);
  const QString copied = QApplication::clipboard()->text();
  EXPECT_TRUE(copied.startsWith(" Ann ")) << copied.toStdString();
  EXPECT_TRUE(copied.contains("ann@example.org"));
  EXPECT_FALSE(view->textCursor().hasSelection());

  window_->setPage(TCardFile::NotesPage);
  EXPECT_EQ(control<QLabel>(window_.get(), 11578)->text(), " Notes about: Ann  {x}");
  click({0, -1});
  EXPECT_EQ(control<QLabel>(window_.get(), 11578)->text(), " Notes: no item selected");
}

TEST_F(CardFileTest, notesAreStoredWithTheCard) {
  newBook();
  addPerson("Ann", "Lee");
  addPerson("Bob", "Ray");
  click(named(0, "Ann Lee "));
  window_->setPage(TCardFile::NotesPage);
  auto* notes = control<QPlainTextEdit>(window_.get(), 105);
  notes->setPlainText("line one\nline two");
  click(named(0, "Bob Ray "));
  EXPECT_EQ(notes->toPlainText(), "");
  click(named(0, "Ann Lee "));
  EXPECT_EQ(notes->toPlainText(), "line one\nline two");
  EXPECT_EQ(window_->session().card().notes(), "line one\r\nline two");
}

TEST_F(CardFileTest, textSetThroughTheAccessibilityInterfaceIsStoredOnCommit) {
  // Dictation and screen-reader tools set a box's text without a key press; it is an
  // edit like typing, and what the book cannot hold is left out with a word.
  struct Row {
    const char* how;
    FieldId field;
    std::function<void(QAccessibleInterface*)> set;
    QString shown;
    size_t refusals;
  };
  const Row rows[] = {
      {"value", FieldId::Home,
       [](QAccessibleInterface* a) { a->setText(QAccessible::Value, "555-0100"); }, "555-0100",
       0},
      {"whole text replaced", FieldId::City,
       [](QAccessibleInterface* a) {
         a->editableTextInterface()->replaceText(0, 0, QString::fromUtf8("Z\xC3\xBCrich \xD0\x9C"));
       },
       QString::fromUtf8("Z\xC3\xBCrich "), 1},
      {"text inserted", FieldId::Email,
       [](QAccessibleInterface* a) { a->editableTextInterface()->insertText(0, "ann@x.org"); },
       "ann@x.org", 0},
  };
  newBook();
  addPerson("Ann", "Lee");
  addPerson("Bob", "Ray");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    status_.clear();
    click(named(0, "Ann Lee "));
    QAccessibleInterface* a =
        QAccessible::queryAccessibleInterface(window_->card()->box(row.field));
    ASSERT_NE(a, nullptr);
    row.set(a);
    EXPECT_EQ(box(row.field), row.shown);
    EXPECT_EQ(status_.size(), row.refusals);
    click(named(0, "Bob Ray "));  // leaving the card stores it
    EXPECT_EQ(box(row.field), "");
    click(named(0, "Ann Lee "));
    EXPECT_EQ(box(row.field), row.shown);
  }
  EXPECT_EQ(treeTexts(0), (QStringList{"Ann Lee ", "Bob Ray "}));

  // The notes too.
  window_->setPage(TCardFile::NotesPage);
  auto* notes = control<QPlainTextEdit>(window_.get(), 105);
  QAccessible::queryAccessibleInterface(notes)->setText(QAccessible::Value,
                                                        QString::fromUtf8("met at \xE2\x98\x83"));
  click(named(0, "Bob Ray "));
  click(named(0, "Ann Lee "));
  EXPECT_EQ(window_->session().card().notes(), "met at ");
  EXPECT_EQ(status_.back(),
            "Characters that cannot be stored in an address book were left out: 1");
}

TEST_F(CardFileTest, aRenamedEntryIsAnnouncedInTheStatusBar) {
  newBook();
  addPerson("Ann", "Lee");
  addPerson("Bob", "Ray");
  click(named(0, "Ann Lee "));
  type(FieldId::First, "Anne");
  click(named(0, "Bob Ray "));
  EXPECT_EQ(treeTexts(0), (QStringList{"Ann Lee ", "Anne Lee ", "Bob Ray "}));
  EXPECT_EQ(status_,
            (std::vector<std::string>{
                "Added as a new entry: Anne Lee ; the entry before the change is kept"}));
}

TEST_F(CardFileTest, labelsInsideTheBoxesReadWellInEveryPalette) {
  // The colour comes from the palette and reaches 4.5 : 1 against the box and its hover
  // colour, whatever the palette's own placeholder colour is.
  struct Row {
    const char* what;
    QColor base, text, placeholder;
  };
  const Row rows[] = {
      {"light, with the faint grey that was unreadable", Qt::white, Qt::black,
       QColor(0xC7, 0xC7, 0xC7)},
      {"light, half-transparent text as placeholder", Qt::white, Qt::black, QColor(0, 0, 0, 128)},
      {"already dark enough", Qt::white, Qt::black, QColor(0x55, 0x55, 0x55)},
      {"dark palette", QColor(0x20, 0x20, 0x20), QColor(0xEE, 0xEE, 0xEE),
       QColor(0x50, 0x50, 0x50)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    QPalette palette;
    palette.setColor(QPalette::Base, row.base);
    palette.setColor(QPalette::Text, row.text);
    palette.setColor(QPalette::PlaceholderText, row.placeholder);
    const QColor label = cardLabelColor(palette);
    EXPECT_GE(contrastRatio(label, row.base), 4.5);
    EXPECT_GE(contrastRatio(label, cardHoverBackground(palette)), 4.5);
    EXPECT_NE(label, row.text) << "the label stays apart from the value";
  }
  EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
  EXPECT_NEAR(contrastRatio(QColor(0xC7, 0xC7, 0xC7), Qt::white), 1.69, 0.01);
  // The application's own palette.
  const QPalette own = window_->card()->box(FieldId::First)->palette();
  EXPECT_GE(contrastRatio(cardLabelColor(own), own.color(QPalette::Base)), 4.5);
}

TEST_F(CardFileTest, everyTextReadsOnADarkDesktop) {
  // The window as a dark desktop opens it: every text it draws itself, in colours of its
  // own or the palette's, reads at 4.5 : 1 on the ground it is drawn on.
  const QPalette before = QApplication::palette();
  QApplication::setPalette(test::darkPalette());
  window_ = std::make_unique<TCardFile>(services_);
  window_->resize(900, 600);
  window_->show();
  newBook();
  addPerson("Ann", "Lee", {}, "555-0100");
  type(FieldId::Email, "ann@example.org");
  window_->onCommand(cmd::kChangeName);
  window_->setPage(TCardFile::LinkPage);
  settle();
  // The colour a widget really shows at a point where it draws no text.
  const auto groundOf = [](QWidget* w, QPoint at) { return w->grab().toImage().pixelColor(at); };

  QTreeWidget* tree = window_->namesTree();
  const QColor treeGround = groundOf(tree->viewport(), {2, tree->viewport()->height() - 3});
  EXPECT_GE(contrastRatio(tree->palette().color(QPalette::Text), treeGround), 4.5);

  SummaryView* summary = window_->summaryView();
  const QColor summaryGround =
      groundOf(summary->viewport(), {summary->viewport()->width() - 3,
                                     summary->viewport()->height() - 3});
  int runs = 0;
  for (QTextBlock b = summary->document()->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const QColor colour = f.charFormat().foreground().color();
      if (f.text().trimmed().isEmpty() || colour == summaryGround) continue;  // hidden numbers
      ++runs;
      EXPECT_GE(contrastRatio(colour, summaryGround), 4.5) << f.text().toStdString();
    }
  EXPECT_GE(runs, 4);  // labels, values and links

  click({0, -1});
  window_->onCommand(cmd::kAZ);
  TAZPopup* popup = window_->azPopup();
  ASSERT_NE(popup, nullptr);
  for (int letter : {0, 1})  // A has names, B has none
    EXPECT_GE(contrastRatio(popup->letterColor(letter), popup->palette().color(QPalette::Base)),
              4.5);
  popup->hide();
  QApplication::setPalette(before);
}

TEST_F(CardFileTest, aLongValueInTheNarrowColumnShowsItsStart) {
  newBook();
  addPerson("Bob", "Ray");
  addPerson("Ann", "Lee");
  type(FieldId::Email2, "annabelle.longname-smith@example.org");
  click(named(0, "Bob Ray "));
  window_->resize(window_->sizeHint());
  window_->show();
  click(named(0, "Ann Lee "));
  CardFieldEdit* email2 = window_->card()->box(FieldId::Email2);
  EXPECT_EQ(email2->text(), "annabelle.longname-smith@example.org");
  EXPECT_EQ(email2->cursorPosition(), 0);  // the caret, and with it the view, at the start
  // The value has room before the label begins.
  const int labelRoom = email2->textMargins().right();
  EXPECT_GT(email2->contentsRect().width() - labelRoom,
            email2->fontMetrics().horizontalAdvance("annabelle.long"));
}

TEST_F(CardFileTest, theNamesListStartsWideEnoughAndKeepsTheWidthTheUserGaveIt) {
  window_->resize(window_->sizeHint());
  window_->show();
  settle();
  QTreeWidget* tree = window_->namesTree();
  const int typical = tree->indentation() + tree->iconSize().width() +
                      tree->fontMetrics().horizontalAdvance("Schmidt Anna Acme Corporation");
  EXPECT_GT(tree->viewport()->width(), typical);

  // The user drags the splitter 60 pixels to the right.
  auto* splitter = window_->findChild<QSplitter*>();
  QSplitterHandle* handle = splitter->handle(1);
  const QPoint at(handle->width() / 2, handle->height() / 2);
  const auto mouse = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent e(type, pos, handle->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(handle, &e);
  };
  const int before = tree->width();
  mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
  mouse(QEvent::MouseMove, at + QPoint(60, 0), Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, at + QPoint(60, 0), Qt::NoButton);
  ASSERT_EQ(tree->width(), before + 60);
  window_.reset();  // the width is written by the time the window goes
  EXPECT_EQ(Profile(services_.settingsFile, "AddressBook").readInt("NamesWidth", 0),
            before + 60);
  TCardFile again(services_);
  EXPECT_EQ(again.namesTree()->sizeHint().width(), before + 60);
}

TEST_F(CardFileTest, roundTripTwentyPeopleInThreeGroupsSortedSavedAndReopened) {
  newBook();
  const QStringList groups = {"Family", "Friends", "Work"};
  auto* notes = control<QPlainTextEdit>(window_.get(), 105);
  for (int i = 0; i < 20; ++i) {
    window_->onCommand(cmd::kClearCard);
    type(FieldId::First, QString("First%1").arg(i, 2, 10, QChar('0')));
    type(FieldId::Last, QString("Last%1").arg(19 - i, 2, 10, QChar('0')));
    type(FieldId::Group, groups[i % 3]);
    notes->setPlainText(QString("note %1\nsecond line").arg(i));
    window_->onCommand(cmd::kAddName);
    settle();
  }
  ASSERT_TRUE(prompter_.shown().empty()) << prompter_.last().text;
  EXPECT_EQ(treeTexts(0).size(), 20);

  click({0, -1});
  scripts_.push_back([](QDialog& d) {
    control<QLineEdit>(&d, 101)->setText("last07");
    return int(QDialog::Accepted);
  });
  window_->onCommand(cmd::kFind);
  settle();
  EXPECT_EQ(box(FieldId::First), "First12");

  window_->onCommand(cmd::kSortLast);  // by last name
  settle();
  EXPECT_EQ(sort_, 1);
  EXPECT_EQ(treeTexts(0).value(0), "Last00 First19 ");
  window_->onCommand(cmd::kSave);
  ASSERT_TRUE(prompter_.shown().empty()) << prompter_.last().text;

  window_ = std::make_unique<TCardFile>(services_);
  chooser_.answer(dir_ / "book.adr");
  window_->onCommand(cmd::kOpen);
  settle();
  const QStringList main = treeTexts(0);
  ASSERT_EQ(main.size(), 20);
  EXPECT_EQ(main.value(0), "Last00 First19 ");
  EXPECT_EQ(main.value(19), "Last19 First00 ");
  ASSERT_EQ(window_->namesTree()->topLevelItemCount(), 4);
  int inGroups = 0;
  for (int g = 1; g < 4; ++g) inGroups += static_cast<int>(treeTexts(g).size());
  EXPECT_EQ(inGroups, 20);
  click(named(0, "Last07 First12 "));
  notes = control<QPlainTextEdit>(window_.get(), 105);
  EXPECT_EQ(notes->toPlainText(), "note 12\nsecond line");
  EXPECT_EQ(box(FieldId::Group), "Family");
}

TEST_F(CardFileTest, menusEnablingAndRecentFiles) {
  // Without a book: nothing to save, back up or sort, nothing selected to delete or change.
  for (int id : {24335, 24334, 8049, 6101, 6102, 6112}) {
    EXPECT_EQ(window_->isCommandEnabled(id), std::optional<bool>(false)) << id;
  }
  newBook();
  addPerson("Ann", "Lee", "Friends");
  addPerson("Bob", "Ray", "Work");
  for (int id : {24335, 24334, 8049, 6101, 6102}) {
    EXPECT_EQ(window_->isCommandEnabled(id), std::optional<bool>(true)) << id;
  }
  EXPECT_EQ(window_->isCommandEnabled(cmd::kDeleteGroup), std::optional<bool>(false));  // a name is selected
  EXPECT_TRUE(control<QWidget>(window_.get(), 6102)->isEnabled());
  click({1, -1});
  EXPECT_EQ(window_->isCommandEnabled(cmd::kDeleteGroup), std::optional<bool>(true));

  // The sort menu checks the order in use; the group menu lists every top-level entry.
  EXPECT_EQ(menuOf(114),
            (QStringList{"by &First Name*=6901", "by &Last Name=6902", "by &Company=6903"}));
  window_->onCommand(cmd::kSortLast);
  EXPECT_EQ(menuOf(114).value(1), "by &Last Name*=6902");
  EXPECT_EQ(menuOf(176), (QStringList{"Main=4500", "Friends=4501", "Work=4502"}));

  // The group's own context menu.
  auto menu = window_->contextMenuFor({1, -1});
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{"A to Z menu", "Add a new &Name", "Add a new &Group",
                                "&Delete this Group", "&Sort", "&Go to"}));
  EXPECT_EQ(menu->actions()[5]->menu()->actions().size(), 3);

  // The second-set menu checks the shown field; passing over an item previews it.
  window_->onCommand(7055);  // Web2
  type(FieldId::Buffer, "w2");
  QStringList previewed;
  QTimer::singleShot(0, [this, &previewed] {
    auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(m, nullptr);
    QStringList items;
    for (QAction* a : m->actions()) items << a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(items, (QStringList{"&Connect", "&Home2", "&Office2", "&EMail2", "&Web2*",
                                  "&News Group", "&FTP Site", "&Other"}));
    m->setActiveAction(m->actions()[1]);  // Home2 under the pointer
    previewed << box(FieldId::Buffer) << window_->card()->box(FieldId::Buffer)->label();
    m->close();
  });
  window_->onCommand(cmd::kSecondSetMenu);
  EXPECT_EQ(previewed, (QStringList{"", "Home2"}));
  EXPECT_EQ(box(FieldId::Buffer), "w2");  // closed without a choice: Web2 again
  EXPECT_EQ(box(FieldId::Web2), "w2");

  // New, Open and Save As put the book at the top of the recent files.
  chooser_.answer(dir_ / "copy.adr");
  window_->onCommand(cmd::kSaveAs);
  chooser_.answer(dir_ / "book.adr");
  window_->onCommand(cmd::kOpen);
  EXPECT_EQ(recent_, (std::vector<std::filesystem::path>{dir_ / "book.adr", dir_ / "copy.adr",
                                                         dir_ / "book.adr"}));
  EXPECT_EQ(title_, "Mervane - " + (dir_ / "book.adr").string());
}

// The tool tips of the tool bar; the card buttons share those of the tools doing the same.
TEST_F(CardFileTest, toolTips) {
  const std::pair<int, const char*> rows[] = {
      {15, "Print Preview"},
      {24333, "New addressbook file"},
      {24336, "Open another addressbook file"},
      {24335, "Save the changes to this file"},
      {330, "Look for text"},
      {6105, "Add a new name to the addressbook"},
      {6106, "Delete the selected item in the list"},
      {6107, "Change the address then click"},
      {328, "Clear the page for a new entry"},
      {113, "A to Z menu... browse alphabetically"},
      {114, "Sort the items"},
      {346, "Quorvel web page"},
      {6100, "Add a new name to the addressbook"},
      {6101, "Delete the selected item in the list"},
      {6102, "Change the address then click"},
  };
  for (const auto& [id, tip] : rows) {
    auto* w = control<QWidget>(window_.get(), id);
    ASSERT_NE(w, nullptr) << id;
    EXPECT_EQ(w->toolTip(), tip) << id;
  }
}

// Every control a user can reach says what it is to a screen reader.
TEST_F(CardFileTest, everyControlHasAnAccessibleName) {
  const auto unnamed = [](QWidget* root) {
    QStringList out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                           qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QTabBar*>(w);
      if (control && w->accessibleName().isEmpty() && w->focusPolicy() != Qt::NoFocus &&
          !w->inherits("QComboBoxListView") && w->objectName() != "qt_scrollarea_viewport") {
        out << QString(w->metaObject()->className()) + "#" + w->objectName();
      }
    }
    return out;
  };
  EXPECT_EQ(unnamed(window_.get()), QStringList{});
  TCardFind find(FindState{}, nullptr);
  EXPECT_EQ(unnamed(&find), QStringList{});
  TCardAdd add(prompter_, "", "", "", nullptr);
  EXPECT_EQ(unnamed(&add), QStringList{});
  TCardAddGroup group(nullptr);
  EXPECT_EQ(unnamed(&group), QStringList{});
  EXPECT_EQ(window_->card()->box(FieldId::Home2)->accessibleName(), "Home2");
}

// The list is rebuilt on every selection; a click on a scrolled list must not move it.
TEST_F(CardFileTest, clickingANameKeepsTheListScrolled) {
  newBook();
  for (int i = 0; i < 40; ++i) addPerson(QString("N%1").arg(i, 2, 10, QChar('0')), "X");
  window_->resize(900, 500);
  window_->show();
  click({0, -1});
  QScrollBar* bar = window_->namesTree()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 10);
  bar->setValue(bar->maximum() / 2);
  const int scrolled = bar->value();
  QTreeWidgetItem* below = window_->namesTree()->itemAt(10, 40);  // a name in view
  ASSERT_NE(below, nullptr);
  const QString name = below->text(0);
  window_->namesTree()->setCurrentItem(below);
  settle();
  EXPECT_EQ(window_->namesTree()->currentItem()->text(0), name);
  EXPECT_EQ(bar->value(), scrolled);
}

// Tab walks the card as it reads; the A to Z pop-up answers letter keys.
TEST_F(CardFileTest, keyboardOnlyTabOrderAndAToZKeys) {
  auto* card = window_->card();
  QStringList order;
  QWidget* w = card->box(FieldId::MrMs);
  for (int i = 0; i < 30 && w; ++i, w = w->nextInFocusChain()) {
    if (w->parentWidget() == card) order << w->objectName();
    if (w == card->box(FieldId::Other)) break;
  }
  QStringList expected;
  for (int id = 132; id <= 151; ++id) expected << QString::number(id);
  expected << "175" << "131" << "176";
  for (int id = 152; id <= 158; ++id) expected << QString::number(id);
  EXPECT_EQ(order, expected);

  newBook();
  addPerson("Ann", "Lee");
  addPerson("Cy", "Cole");
  addPerson("Dan", "Dee");
  click({0, -1});
  window_->show();
  window_->onCommand(cmd::kAZ);
  TAZPopup* popup = window_->azPopup();
  ASSERT_NE(popup, nullptr);
  const auto key = [&popup](int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(popup, &press);
    settle();
  };
  key(Qt::Key_Down);  // the first letter with names
  EXPECT_EQ(window_->session().selection(), named(0, "Ann Lee "));
  key(Qt::Key_Down);  // B has none: on to C
  EXPECT_EQ(window_->session().selection(), named(0, "Cy Cole "));
  key(Qt::Key_D);  // a letter jumps and closes
  EXPECT_EQ(window_->session().selection(), named(0, "Dan Dee "));
  const QPointer<TAZPopup> closed = window_->azPopup();
  EXPECT_TRUE(!closed || !closed->isVisible());
}

TEST(CardDialogPlacement, okButtonUnderTheMouseWithinTheScreen) {
  const QRect screen(0, 0, 1000, 800);
  const QSize dialog(300, 200);
  const QPoint ok(150, 180);
  struct Row {
    QPoint mouse;
    QPoint expected;
  } rows[] = {
      {{500, 400}, {350, 220}},   // centred under the pointer
      {{100, 400}, {5, 220}},     // off the left edge
      {{500, 100}, {350, 5}},     // off the top
      {{950, 400}, {695, 220}},   // 5 pixels inside the right edge
      {{500, 790}, {350, 590}},   // 10 pixels above the bottom
  };
  for (const auto& row : rows) {
    EXPECT_EQ(placeUnderMouse(dialog, ok, row.mouse, screen), row.expected)
        << row.mouse.x() << "," << row.mouse.y();
  }
}

// The real dialog: the OK button the user sees is the one under the pointer.
TEST(CardDialogPlacement, addDialogShowsItsOkButtonUnderThePointer) {
  ScriptedPrompter prompter;
  QCursor::setPos(500, 400);
  if (QCursor::pos() != QPoint(500, 400)) GTEST_SKIP() << "the platform has no pointer";
  TCardAdd add(prompter, "", "", "", nullptr);
  moveOkUnderMouse(add, *add.okButton());
  add.show();
  QApplication::processEvents();
  const QPoint okCentre = add.okButton()->mapToGlobal(add.okButton()->rect().center());
  EXPECT_LE((okCentre - QPoint(500, 400)).manhattanLength(), 2)
      << okCentre.x() << "," << okCentre.y();
}

}  // namespace
}  // namespace mv
