#include "shell/TestScript.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "shell/MainFrame.h"
#include "store/AddressRecord.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace mv {
namespace {

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> parts;
  std::string::size_type at = 0;
  for (;;) {
    const auto tab = line.find('\t', at);
    parts.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
    if (tab == std::string::npos) return parts;
    at = tab + 1;
  }
}

QMessageBox::StandardButton buttonNamed(const std::string& name) {
  if (name == "Yes") return QMessageBox::Yes;
  if (name == "No") return QMessageBox::No;
  if (name == "Cancel") return QMessageBox::Cancel;
  return QMessageBox::Ok;
}

}  // namespace

std::unique_ptr<TestScript> TestScript::fromEnvironment() {
  const char* path = std::getenv("MERVANE_TEST_SCRIPT");
  if (!path || !*path) return nullptr;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return std::make_unique<TestScript>(std::move(lines));
}

TestScript::TestScript(std::vector<std::string> lines) : lines_(std::move(lines)) {
  answerer_ = new QTimer(this);
  answerer_->setInterval(20);
  connect(answerer_, &QTimer::timeout, this, &TestScript::answerModalBox);
}

void TestScript::start() {
  while (next_ < lines_.size()) {
    const auto parts = split(lines_[next_]);
    if (parts.size() != 2 || parts[0] != "answer") break;
    answers_.push_back(parts[1]);
    ++next_;
  }
  if (!answers_.empty()) answerer_->start();
}

void TestScript::attach(MainFrame& frame) {
  frame_ = &frame;
  QTimer::singleShot(0, this, &TestScript::runSteps);
}

// The message boxes run their own event loops: the timer answers from inside them.
void TestScript::answerModalBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || answers_.empty()) return;
  QAbstractButton* button = box->button(buttonNamed(answers_.front()));
  asked_.push_back(box->text().toStdString());
  answers_.erase(answers_.begin());
  if (answers_.empty()) answerer_->stop();
  if (button) button->click();
}

void TestScript::runSteps() {
  // The card window opens with the start book; until then, look again shortly.
  if (!frame_->cardWindow()) {
    QTimer::singleShot(50, this, &TestScript::runSteps);
    return;
  }
  if (next_ >= lines_.size()) return;
  const auto parts = split(lines_[next_++]);
  // After a failure only `done` runs, to tell the test why.
  if (failure_.empty() || parts[0] == "done") {
    std::string why;
    if (!step(parts, why)) {
      // The window may still be filling its list: the step is tried again for a while.
      if (++retries_ <= kRetries) {
        --next_;
        QTimer::singleShot(50, this, &TestScript::runSteps);
        return;
      }
      failure_ = lines_[next_ - 1] + ": " + why;
    }
    retries_ = 0;
  }
  // One step a turn of the event loop, as a user's: the window finishes what a step set
  // off (a picked name is shown on the card from a queued call) before the next one.
  QTimer::singleShot(0, this, &TestScript::runSteps);
}

bool TestScript::step(const std::vector<std::string>& parts, std::string& why) {
  auto* window = dynamic_cast<TCardFile*>(frame_->cardWindow());
  const std::string& verb = parts[0];
  if (verb == "answer" && parts.size() == 2) {
    answers_.push_back(parts[1]);
    answerer_->start();
    return true;
  }
  if (verb == "done" && parts.size() == 2) {
    std::ofstream(parts[1], std::ios::binary)
        << (failure_.empty() ? std::string("done\n") : "failed: " + failure_ + "\n");
    return true;
  }
  if (verb == "wait" && parts.size() == 2) {
    std::error_code ec;
    if (std::filesystem::exists(parts[1], ec)) return true;
    why = "the file did not come";
    return false;
  }
  if (!window) {
    why = "no card window";
    return false;
  }
  if (verb == "report" && parts.size() == 3) {
    const CardSession& session = window->session();
    const auto field = static_cast<FieldId>(std::atoi(parts[2].c_str()));
    std::ofstream out(parts[1], std::ios::binary);
    for (std::string text : asked_) {
      for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.replace(at, 1, "\\n");
      out << "asked\t" << text << "\n";
    }
    out << "changed\t" << (session.book().isOpen() && session.book().workingFile().changed())
        << "\n";
    for (const NameEntry& e : session.names().mainNames()) {
      const auto record = session.book().readRecord(e.slot);
      out << "name\t" << e.text << "\t" << (record ? (*record)[field] : std::string()) << "\n";
    }
    return true;
  }
  if (verb == "select" && parts.size() == 2) {
    const EntryRef entry = window->session().names().findNameInGroup(NamesList::kMain, parts[1]);
    QTreeWidgetItem* item = entry.isValid() ? window->itemFor(entry) : nullptr;
    if (!item) {
      why = "no such entry";
      return false;
    }
    window->namesTree()->setCurrentItem(item);
    return true;
  }
  if (verb == "type" && parts.size() == 3) {
    const int field = std::atoi(parts[1].c_str());
    if (field < 0 || field >= kFieldCount) {
      why = "no such field";
      return false;
    }
    window->card()->box(field)->setText(QString::fromUtf8(parts[2].c_str()));
    return true;
  }
  if (verb == "command" && parts.size() == 2) {
    const int id = std::atoi(parts[1].c_str());
    if (!window->handlesCommand(id)) {
      why = "not a card-window command";
      return false;
    }
    (void)window->onCommand(id);
    return true;
  }
  why = "not a step";
  return false;
}

}  // namespace mv
