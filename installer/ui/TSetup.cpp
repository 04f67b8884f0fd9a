#include "installer/ui/TSetup.h"

#include "installer/DesktopEntries.h"
#include "installer/Installer.h"
#include "installer/QuietMode.h"
#include "installer/Remover.h"
#include "installer/ui/RunningCopy.h"
#include "platform/Prompter.h"
#include "platform/ui/Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include <unistd.h>

namespace fs = std::filesystem;

namespace mv {
namespace {

const char* const kWelcome =
    "Welcome to Mervane Setup Program. This program will install Mervane on your "
    "computer.\n\n\nIt is recommended that you close Mervane before running "
    "this setup.\n\n\n\nClick Next to continue Setup";
const char* const kDirectory =
    "Setup will install Mervane to the following directory.\n\nTo install to this "
    "directory click Next. To install to a different directory click Change "
    "Directory.\n\nClick Next to continue.";
const char* const kComplete = "Installation is complete.\n\n\nclick \"Next\" to run Mervane,";

QString fromPath(const std::string& text) { return QString::fromStdString(text); }

// The picture on the left: the address book of the program's icon on a light panel.
QPixmap sidePicture() {
  QPixmap pm(120, 260);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 260);
  sky.setColorAt(0, QColor(0x2f, 0x6f, 0xbf));
  sky.setColorAt(1, QColor(0x0f, 0x2e, 0x5c));
  p.fillRect(pm.rect(), sky);
  p.translate(28, 90);
  p.setPen(Qt::NoPen);
  const auto box = [&](qreal x, qreal y, qreal w, qreal h, qreal r, QColor c) {
    p.setBrush(c);
    p.drawRoundedRect(QRectF(x, y, w, h), r, r);
  };
  box(2, 0, 56, 76, 6, QColor(0x1f, 0x4e, 0x8c).darker(130));
  box(6, 0, 52, 76, 5, QColor(0xfd, 0xfc, 0xf7));
  box(56, 8, 8, 12, 2, QColor(0xe8, 0xb8, 0x3a));
  box(56, 24, 8, 12, 2, QColor(0xd9, 0x53, 0x4f));
  box(56, 40, 8, 12, 2, QColor(0x5c, 0xb8, 0x5c));
  p.setBrush(QColor(0x2f, 0x6f, 0xbf));
  p.drawEllipse(QPointF(32, 22), 8, 8);
  QPainterPath body;
  body.moveTo(18, 46);
  body.quadTo(32, 28, 46, 46);
  body.closeSubpath();
  p.drawPath(body);
  box(16, 52, 32, 3, 1, QColor(0x8a, 0x98, 0xa8));
  box(16, 59, 22, 3, 1, QColor(0x8a, 0x98, 0xa8));
  return pm;
}

QPushButton* button(const QString& text, int id, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  setControlId(b, id);
  setAccessible(b, QString(text).remove('&'));
  return b;
}

// Dialog 450 "Exit Setup": Resume (1) or Exit Setup (2).
class ExitSetupDialog : public QDialog {
 public:
  explicit ExitSetupDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Exit Setup"));
    setObjectName(QStringLiteral("450"));
    auto* layout = new QVBoxLayout(this);
    auto* first = new QLabel(QStringLiteral(
        "Setup is not complete. If you quit setup now,\nMervane will not be installed."));
    auto* second = new QLabel(QStringLiteral(
        "To continue installing the program click Resume. To quit the Setup program click "
        "Exit Setup."));
    second->setWordWrap(true);
    layout->addWidget(first);
    layout->addWidget(second);
    auto* row = new QHBoxLayout;
    auto* resume = button(QStringLiteral("&Resume"), 1, this);
    auto* exit = button(QStringLiteral("&Exit Setup"), 2, this);
    resume->setDefault(true);
    row->addStretch();
    row->addWidget(resume);
    row->addWidget(exit);
    layout->addLayout(row);
    connect(resume, &QPushButton::clicked, this, &QDialog::accept);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  }
};

QString listed(const std::vector<std::string>& names) {
  QString out;
  for (const auto& n : names) out += QStringLiteral("\t") + fromPath(n) + '\n';
  return out;
}

}  // namespace

TSetup::TSetup(Options options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      options_(std::move(options)) {
  setObjectName(QStringLiteral("TSetup"));
  setWindowTitle(QStringLiteral("Setup"));
  if (!options_.chooseDirectory)
    options_.chooseDirectory = [this](const QString& start) {
      return QFileDialog::getExistingDirectory(this, QStringLiteral("Installation Directory:"), start);
    };
  if (!options_.runDialog) options_.runDialog = [](QDialog& d) { return d.exec(); };
  if (!options_.launch)
    options_.launch = [](const fs::path& program) {
      return QProcess::startDetached(fromPath(program.string()), {QStringLiteral("first_run")},
                                     fromPath(program.parent_path().string()));
    };
  if (!options_.startScript) options_.startScript = startRemovalScript;
  if (!options_.programRunning) options_.programRunning = [] { return mervaneRuns(); };

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 12, 0);
  auto* picture = new QLabel(this);
  picture->setPixmap(sidePicture());
  picture->setAlignment(Qt::AlignTop);
  picture->setAccessibleName(QStringLiteral("Mervane"));
  outer->addWidget(picture);
  right_ = new QVBoxLayout;
  right_->setContentsMargins(12, 12, 0, 12);
  outer->addLayout(right_, 1);
  text_ = new QLabel(this);
  setControlId(text_, options_.mode == Mode::Setup ? 400 : 104);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  text_->setMinimumWidth(340);
  right_->addWidget(text_, 1);

  if (options_.mode == Mode::Setup)
    buildSetup();
  else
    buildRemove();
  outer->setSizeConstraint(QLayout::SetFixedSize);
}

TSetup::~TSetup() = default;

void TSetup::buildSetup() {
  QVBoxLayout* right = right_;
  list_ = readSetupList(options_.folder / kSetupListName);
  target_ = list_.target;

  group_ = new QGroupBox(QStringLiteral("Installation Directory"), this);
  setControlId(group_, 405);
  auto* groupRow = new QHBoxLayout(group_);
  targetLabel_ = new QLabel(group_);
  setControlId(targetLabel_, 401);
  targetLabel_->setAccessibleName(QStringLiteral("Installation Directory"));
  targetLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  browse_ = button(QStringLiteral("&Browse ..."), 402, group_);
  groupRow->addWidget(targetLabel_, 1);
  groupRow->addWidget(browse_);
  right->addWidget(group_);

  progress_ = new QProgressBar(this);
  setControlId(progress_, 105);
  progress_->setAccessibleName(QStringLiteral("Copy progress"));
  progress_->setRange(0, std::max(1, list_.totalFiles));
  progress_->setValue(0);
  progress_->hide();
  right->addWidget(progress_);

  auto* row = new QHBoxLayout;
  back_ = button(QStringLiteral("< Back"), 71, this);
  next_ = button(QStringLiteral("&Next >"), 70, this);
  cancel_ = button(QStringLiteral("Cancel"), 2, this);
  row->addStretch();
  row->addWidget(back_);
  row->addWidget(next_);
  row->addSpacing(12);
  row->addWidget(cancel_);
  right->addLayout(row);
  next_->setDefault(true);
  for (auto [b, id] : {std::pair{back_, 71}, {next_, 70}, {cancel_, 2}, {browse_, 402}})
    connect(b, &QPushButton::clicked, this, [this, id = id] { onCommand(id); });
  showStep();
}

void TSetup::buildRemove() {
  QVBoxLayout* right = right_;
  setText(QStringLiteral("\n  Are you sure you want to remove\n  Mervane\n  from your computer?"));
  // 101..103 say what remove does; they are shown checked and cannot be changed.
  for (auto [id, label] : {std::pair{101, "Delete Files"}, {102, "Remove Shortcuts"},
                           {103, "Remove Menu Entries"}}) {
    auto* box = new QCheckBox(QString::fromLatin1(label), this);
    setControlId(box, id);
    box->setChecked(true);
    box->setEnabled(false);
    right->addWidget(box);
  }
  deleteData_ = new QCheckBox(QStringLiteral("Delete Mervane data file"), this);
  setControlId(deleteData_, 107);
  right->addWidget(deleteData_);
  auto* row = new QHBoxLayout;
  auto* yes = button(QStringLiteral("Yes"), 1, this);
  auto* no = button(QStringLiteral("No"), 2, this);
  no->setDefault(true);
  row->addStretch();
  row->addWidget(yes);
  row->addWidget(no);
  right->addLayout(row);
  connect(yes, &QPushButton::clicked, this, [this] { onCommand(1); });
  connect(no, &QPushButton::clicked, this, [this] { onCommand(2); });
}

void TSetup::onCommand(int id) {
  switch (id) {
    case 70: next(); break;
    case 71: back(); break;
    case 402: browse(); break;
    case 1:
      if (options_.mode == Mode::Remove)
        removeNow();
      else
        finish();
      break;
    case 2: cancel(); break;
    default: break;
  }
}

void TSetup::setText(const QString& text) {
  text_->setText(text);
  text_->setAccessibleName(text.simplified());
}

void TSetup::showTargetControls(bool shown) {
  group_->setVisible(shown);
  targetLabel_->setVisible(shown);
  browse_->setVisible(shown);
}

void TSetup::showStep() {
  switch (step_) {
    case 0:
      setWindowTitle(QStringLiteral("Mervane"));
      setText(QString::fromLatin1(kWelcome));
      showTargetControls(false);
      back_->setEnabled(false);
      next_->setEnabled(true);
      cancel_->setEnabled(true);
      break;
    case 1:
      setText(QString::fromLatin1(kDirectory));
      showTarget();
      showTargetControls(true);
      back_->setEnabled(true);
      next_->setEnabled(true);
      cancel_->setEnabled(true);
      break;
    case 2: install(); break;
    case 3: finish(); break;
  }
}

void TSetup::next() {
  if (step_ >= 3) return;
  ++step_;
  showStep();
}

void TSetup::back() {
  if (step_ <= 0) return;
  --step_;
  showStep();
}

void TSetup::browse() {
  // The dialog opens at the target or, before it exists, at its nearest existing parent.
  fs::path start = target_;
  std::error_code ec;
  while (!start.empty() && start != start.parent_path() && !fs::is_directory(start, ec))
    start = start.parent_path();
  const QString chosen = options_.chooseDirectory(fromPath(start.string()));
  if (chosen.isEmpty()) return;
  target_ = withTrailingSlash(chosen.toStdString());
  // A distribution on a read-only medium cannot keep the choice; this run still uses it.
  (void)writeSetupTarget(options_.folder / kSetupListName, target_);
  showTarget();
}

void TSetup::showTarget() {
  // A long folder name is shortened in the middle so the window keeps its size; the
  // whole name is in the tool tip and read out by screen readers.
  const QString full = fromPath(target_);
  targetLabel_->setText(targetLabel_->fontMetrics().elidedText(full, Qt::ElideMiddle, 260));
  targetLabel_->setToolTip(full);
  targetLabel_->setAccessibleDescription(full);
}

// Asked before any file is replaced or deleted: a running program keeps its files open
// and would go on with the old ones. False when the user gives up.
bool TSetup::programClosed() {
  while (options_.programRunning()) {
    const Answer a = options_.prompter->ask(Message{kProgramRunningMessage, kAppCaption,
                                                    Icon::Exclamation, Buttons::RetryCancel});
    if (a != Answer::Retry) return false;
  }
  return true;
}

void TSetup::install() {
  if (!programClosed()) {
    step_ = 1;
    showStep();
    return;
  }
  bool targetMade = false;
  const TargetCheck check = prepareTarget(target_, &targetMade);
  if (check != TargetCheck::Ready) {
    options_.prompter->ask(Message{targetMessage(check), kAppCaption,
                                   check == TargetCheck::NotCreated ? Icon::Information : Icon::None,
                                   Buttons::Ok});
    step_ = 1;
    showStep();
    return;
  }
  showTargetControls(false);
  back_->setEnabled(false);
  next_->setEnabled(false);
  cancel_->setEnabled(false);
  setText(QStringLiteral("\n\nCopy in progress ...\n\n \n"));
  progress_->setValue(0);
  progress_->show();
  QApplication::processEvents();

  CopyReport copy = copyInstallation(list_, options_.folder, options_.programFile, target_, [this] {
    progress_->setValue(std::min(progress_->maximum(), progress_->value() + 1));
    QApplication::processEvents();
  });
  copy.targetMade = targetMade;
  // Not copied: entries of a damaged list that name places outside the target.
  copy.failed.insert(copy.failed.end(), copy.refused.begin(), copy.refused.end());
  // A file of the user's with a program file's name stays; the program then lacks it.
  copy.failed.insert(copy.failed.end(), copy.notOurs.begin(), copy.notOurs.end());
  programInstalled_ = std::find(copy.files.begin(), copy.files.end(), kInstalledProgramName) !=
                      copy.files.end();
  if (!copy.complete()) {
    options_.prompter->ask(Message{"These files could not be copied to " + target_ + ":\n\n" +
                                       listed(copy.failed).toStdString(),
                                   "Setup Error", Icon::Exclamation, Buttons::Ok, Answer::Ok,
                                   TextCoding::Utf8});
  }

  setText(QStringLiteral("\n\nCreating Icons ..."));
  QApplication::processEvents();
  const std::vector<std::string> notMade = registerInstallation(target_, copy, XdgFolders::fromEnvironment());
  setText(QStringLiteral("\n\nCreating Icons - Done"));

  progress_->hide();
  showTargetControls(false);
  back_->setEnabled(false);
  cancel_->setEnabled(true);
  std::vector<std::string> missing = copy.failed;
  missing.insert(missing.end(), notMade.begin(), notMade.end());
  if (missing.empty()) {
    setText(QString::fromLatin1(kComplete));
  } else {
    QString text = QStringLiteral("Installation is not complete.\n\nThese files are missing:\n") +
                   listed(missing);
    if (programInstalled_) text += QStringLiteral("\nclick \"Next\" to run Mervane,");
    setText(text);
  }
  next_->setEnabled(programInstalled_);
  (programInstalled_ ? next_ : cancel_)->setFocus();
}

void TSetup::finish() {
  finished_ = true;
  if (programInstalled_) options_.launch(fs::path(target_) / kInstalledProgramName);
  close();
}

bool TSetup::confirmExit() {
  ExitSetupDialog dialog(this);
  return options_.runDialog(dialog) != QDialog::Accepted;
}

void TSetup::cancel() {
  if (finished_) return;
  // After a completed installation Cancel simply ends; nothing is left half-done.
  if (options_.mode == Mode::Setup && step_ < 2 && !confirmExit()) return;
  finished_ = true;
  close();
}

void TSetup::removeNow() {
  // Cancel leaves the question on screen: nothing has been removed.
  if (!programClosed()) return;
  const fs::path folder = options_.folder;
  const RemoveReport report = removeInstallation(folder, deleteData_->isChecked());
  hide();
  if (!report.installed) {
    options_.prompter->ask(Message{"Mervane is not installed in\n" + folder.string(), kAppCaption,
                                   Icon::Exclamation, Buttons::Ok, Answer::Ok, TextCoding::Utf8});
  } else {
    const fs::path program = folder / kInstalledProgramName;
    const fs::path script =
        writeRemovalScript(removalScriptText(::getpid(), program, report.removeFolder));
    std::vector<std::string> failed = report.failed;
    failed.insert(failed.end(), report.refused.begin(), report.refused.end());
    if (script.empty() || !options_.startScript(script)) failed.push_back(program.string());
    if (!failed.empty())
      options_.prompter->ask(Message{"These files could not be removed:\n\n" +
                                         listed(failed).toStdString(),
                                     kAppCaption, Icon::Exclamation, Buttons::Ok, Answer::Ok,
                                     TextCoding::Utf8});
    if (!report.unproven.empty())
      options_.prompter->ask(Message{"These files were kept: the install record of an earlier "
                                     "version does not say that setup wrote them.\n\n" +
                                         listed(report.unproven).toStdString(),
                                     kAppCaption, Icon::Information, Buttons::Ok, Answer::Ok,
                                     TextCoding::Utf8});
  }
  finished_ = true;
  close();
}

void TSetup::closeEvent(QCloseEvent* event) {
  if (finished_) {
    event->accept();
    emit ended();
    return;
  }
  // The close box acts as Cancel; the window stays when the user resumes.
  event->ignore();
  if (options_.mode == Mode::Remove || (step_ == 2 && cancel_->isEnabled())) {
    finished_ = true;
    event->accept();
    emit ended();
    return;
  }
  if (cancel_ && !cancel_->isEnabled()) return;  // copying: nothing can stop it half-way
  if (!confirmExit()) return;
  finished_ = true;
  event->accept();
  emit ended();
}

}  // namespace mv
