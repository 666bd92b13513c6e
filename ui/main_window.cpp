#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include "engines/algorithm.h"
#include "language/active_language.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/about_window.h"
#include "ui/blink_label.h"
#include "ui/message_box.h"
#include "ui/overall_progress.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/queued_observers.h"
#include "ui/verify_window.h"
#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

// The window's outer size; the controls are placed in what remains inside a
// classic frame (4 pixels each side, a 19 pixel title bar). Captions wider
// than their place widen it at start-up (fitOptionColumn).
constexpr QSize kOuterSize(483, 374);
constexpr QSize kClientSize = classicClientSize(kOuterSize);

constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kColumnLeft = 316;  // the option column right of the memo
constexpr int kColumnWidth = kClientSize.width() - kMargin - kColumnLeft;
constexpr int kFieldLeft = 80;    // creator, comment and language fields
constexpr int kButtonWidth = 89;  // GO, About and Close
constexpr int kButtonLeft = kClientSize.width() - kMargin - kButtonWidth;

// The first radio button of either option group.
constexpr QRect kFirstRadio(10, 20, kColumnWidth - 14, 20);

// The kind group's third row: "Other:" and the drop-down of the other algorithms.
constexpr int kOtherRowTop = kFirstRadio.y() + 2 * kFirstRadio.height();
constexpr int kComboHeight = 22;

// The kinds with a radio button of their own; the drop-down offers the others.
constexpr engines::KindSet ownRadioKinds() {
  engines::KindSet kinds = engines::ChecksumKind::Crc32;
  kinds.add(engines::ChecksumKind::Md5);
  return kinds;
}
constexpr engines::KindSet kOwnRadioKinds = ownRadioKinds();

}  // namespace

MainWindow::MainWindow(const QStringList& arguments, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(applicationTitle() + QStringLiteral(" - by the Zelk developers - version 1.02"));
  setFixedSize(kClientSize);
  buildControls();
  startUp(arguments);
  centreOnScreen();
  subfolderCheck->setFocus();
  aboutWindow = new AboutWindow(this);
}

MainWindow::~MainWindow() { shutDown(); }

void MainWindow::centreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize outer = size() + (kOuterSize - kClientSize);
  move(screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void MainWindow::buildControls() {
  constexpr int browseSize = kRowHeight;
  folderEdit = named(new QLineEdit(this), "folderEdit");
  folderEdit->setGeometry(kMargin, kMargin, kClientSize.width() - 2 * kMargin - browseSize - 4, kRowHeight);
  browseButton = named(new QToolButton(this), "browseButton");
  browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  browseButton->setGeometry(kClientSize.width() - kMargin - browseSize, kMargin, browseSize, browseSize);

  resultMemo = named(new QPlainTextEdit(this), "resultMemo");
  resultMemo->setGeometry(kMargin, 40, kColumnLeft - 2 * kMargin, 168);
  resultMemo->setReadOnly(true);
  resultMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  resultMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette memoPalette = resultMemo->palette();
  memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
  resultMemo->setPalette(memoPalette);

  buildOptionColumn();
  buildBottomRows();

  connect(browseButton, &QToolButton::clicked, this, &MainWindow::onBrowseClicked);
  connect(goButton, &QPushButton::clicked, this, &MainWindow::onGoClicked);
  connect(aboutButton, &QPushButton::clicked, this, &MainWindow::onAboutClicked);
  connect(installLanguageButton, &QPushButton::clicked, this, &MainWindow::onInstallLanguageClicked);
  connect(closeButton, &QPushButton::clicked, this, &MainWindow::onCloseClicked);
  connect(&runner_, &PassRunner::finished, this, &MainWindow::onPassFinished);
  cancelShortcut_ = new QShortcut(Qt::Key_Escape, this);
  cancelShortcut_->setEnabled(false);
  connect(cancelShortcut_, &QShortcut::activated, &runner_, &PassRunner::cancel);
}

void MainWindow::buildOptionColumn() {
  kindGroup = named(new QGroupBox(QStringLiteral("SFV Mode"), this), "kindGroup");
  kindGroup->setGeometry(kColumnLeft, 36, kColumnWidth, kOtherRowTop + kComboHeight + 6);
  md5Radio = named(makeRadio(kindGroup, QStringLiteral("MD5 Mode"), kFirstRadio, 0), "md5Radio");
  crc32Radio = named(makeRadio(kindGroup, QStringLiteral("CRC32 (standard)"), kFirstRadio, 1), "crc32Radio");
  crc32Radio->setChecked(true);
  // Its place beside the drop-down is set once its caption is known (fitOptionColumn).
  otherRadio = named(makeRadio(kindGroup, QStringLiteral("Other:"), kFirstRadio, 2), "otherRadio");
  otherRadio->move(otherRadio->x(), kOtherRowTop + (kComboHeight - otherRadio->height()) / 2);
  otherAlgorithmCombo = named(new QComboBox(kindGroup), "otherAlgorithmCombo");
  otherAlgorithmCombo->setEditable(false);
  otherAlgorithmCombo->setGeometry(kFirstRadio.x(), kOtherRowTop, kFirstRadio.width(), kComboHeight);
  for (const engines::Algorithm& algorithm : engines::Algorithms()) {
    if (kOwnRadioKinds.contains(algorithm.kind)) continue;
    otherAlgorithmCombo->addItem(toQt(std::string(algorithm.shownName)), static_cast<int>(algorithm.kind));
  }
  otherAlgorithmCombo->setCurrentIndex(0);
  connect(otherAlgorithmCombo, &QComboBox::activated, otherRadio, [this] { otherRadio->setChecked(true); });

  subfolderCheck = named(new QCheckBox(QStringLiteral("Incl subfolder"), this), "subfolderCheck");
  subfolderCheck->setGeometry(kColumnLeft + 10, 126, kColumnWidth - 10, 22);

  actionGroup = named(new QGroupBox(QStringLiteral("Checksum"), this), "actionGroup");
  actionGroup->setGeometry(kColumnLeft, 150, kColumnWidth, 64);
  createRadio = named(makeRadio(actionGroup, QStringLiteral("Create"), kFirstRadio, 0), "createRadio");
  validateRadio = named(makeRadio(actionGroup, QStringLiteral("Validate"), kFirstRadio, 1), "validateRadio");
  createRadio->setChecked(true);
}

void MainWindow::buildBottomRows() {
  const int memoWidth = kColumnLeft - 2 * kMargin;
  timeLabel = named(makeLabel(this, QString(), QRect(kMargin, 212, memoWidth, 18)), "timeLabel");
  fileProgress = named(new QProgressBar(this), "fileProgress");
  fileProgress->setGeometry(timeLabel->geometry());
  fileProgress->setRange(0, 100);
  fileProgress->setTextVisible(false);
  fileProgress->hide();
  completionLabel = named(makeLabel<BlinkLabel>(this, QString(), QRect(kMargin, 232, memoWidth, 18)), "completionLabel");
  // Hidden at first, so the notice first shows one blink after start-up.
  completionLabel->hide();
  // Across the whole window: the option column ends above this row.
  overallProgress = named(makeOverallProgress(this, QRect(kMargin, 232, kClientSize.width() - 2 * kMargin, 18)), "overallProgress");

  const int fieldWidth = kButtonLeft - kFieldLeft - kMargin;
  creatorLabel = named(makeLabel(this, QStringLiteral("Creator:"), QRect(kMargin, 256, kFieldLeft - kMargin, kRowHeight)),
                       "creatorLabel");
  creatorEdit = named(new QLineEdit(this), "creatorEdit");
  creatorEdit->setGeometry(kFieldLeft, 256, fieldWidth, kRowHeight);
  goButton = named(makeButton(this, QStringLiteral("GO"), QRect(kButtonLeft, 256, kButtonWidth, kRowHeight)), "goButton");

  commentLabel = named(makeLabel(this, QStringLiteral("Comment:"), QRect(kMargin, 286, kFieldLeft - kMargin, kRowHeight)),
                       "commentLabel");
  commentEdit = named(new QLineEdit(this), "commentEdit");
  commentEdit->setGeometry(kFieldLeft, 286, fieldWidth, kRowHeight);
  aboutButton =
      named(makeButton(this, QStringLiteral("About"), QRect(kButtonLeft, 286, kButtonWidth, kRowHeight)), "aboutButton");
  // Only the folder field takes a drop: a folder dropped here would insert its address.
  creatorEdit->setAcceptDrops(false);
  commentEdit->setAcceptDrops(false);

  constexpr int bottom = kClientSize.height() - kMargin - kRowHeight;
  languageLabel = named(makeLabel(this, QStringLiteral("Language:"), QRect(kMargin, bottom, kFieldLeft - kMargin, kRowHeight)),
                        "languageLabel");
  languageCombo = named(new QComboBox(this), "languageCombo");
  languageCombo->setEditable(false);
  languageCombo->setGeometry(kFieldLeft, bottom, 150, kRowHeight);
  installLanguageButton =
      named(makeButton(this, QStringLiteral("OK"), QRect(kFieldLeft + 156, bottom, 50, kRowHeight)), "installLanguageButton");
  closeButton =
      named(makeButton(this, QStringLiteral("&Close"), QRect(kButtonLeft, bottom, kButtonWidth, kRowHeight)), "closeButton");
}

void MainWindow::onGoClicked() {
  if (runner_.isRunning()) {
    runner_.cancel();
    return;
  }
  resultMemo->clear();
  // A relative folder text means the folder below the current directory, which
  // the line after this one changes.
  const std::string folder = platform::absolutePath(fromQt(folderEdit->text()));
  // An empty folder text leaves the pass on the current directory.
  const bool entered = folder.empty() || platform::setCurrentDirectory(folder);
  if (validateRadio->isChecked()) {
    // The verify window works on the current directory: checking whatever
    // folder that still is would report on the wrong files.
    if (!entered) {
      errorMessage(language::formatTemplate(language::translated(language::texts::FolderMissing), {folder}));
      return;
    }
    openVerifyWindow();
    return;
  }
  passes::CreateSettings settings;
  settings.folder = folder;
  settings.kind = chosenKind();
  settings.includeSubfolders = subfolderCheck->isChecked();
  settings.creator = fromQt(creatorEdit->text());
  settings.comment = fromQt(commentEdit->text());
  startCreatePass(settings);
}

engines::ChecksumKind MainWindow::chosenKind() const {
  if (otherRadio->isChecked()) return static_cast<engines::ChecksumKind>(otherAlgorithmCombo->currentData().toInt());
  return md5Radio->isChecked() ? engines::ChecksumKind::Md5 : engines::ChecksumKind::Crc32;
}

void MainWindow::startCreatePass(const passes::CreateSettings& settings) {
  passes::CreateObserver& window = *this;
  runner_.start([this, settings, &window](std::stop_token stop) {
    QueuedCreateObserver observer(runner_, window);
    passes::runCreatePass(settings, observer, stop);
  });
  showPassRunning(true);
}

// Whatever would start a second pass or change the settings of this one
// waits; GO turns into the pass's Cancel.
void MainWindow::showPassRunning(bool running) {
  const QList<QWidget*> settings{folderEdit,  browseButton, kindGroup,     subfolderCheck,       actionGroup,
                                 creatorEdit, commentEdit,  languageCombo, installLanguageButton};
  for (QWidget* control : settings) control->setEnabled(!running);
  if (running) goCaption_ = goButton->text();
  goButton->setText(running ? toQt(language::translated(language::texts::Cancel)) : goCaption_);
  cancelShortcut_->setEnabled(running);
  overallProgress->hide();
}

void MainWindow::onPassFinished() {
  showPassRunning(false);
  emit passFinished();
  if (closeWhenPassEnds_) close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!runner_.isRunning()) {
    QWidget::closeEvent(event);
    return;
  }
  closeWhenPassEnds_ = true;
  runner_.cancel();
  event->ignore();
}

void MainWindow::openVerifyWindow() {
  VerifyWindow window(this, this);
  window.exec();
}

void MainWindow::onCloseClicked() { close(); }

void MainWindow::onAboutClicked() { aboutWindow->exec(); }

// The captions stay as they are: they are looked up at start-up only.
void MainWindow::onInstallLanguageClicked() {
  if (language::installLanguage(fromQt(languageCombo->currentText()))) {
    showMessageBox(this, QMessageBox::NoIcon, applicationTitle(), QStringLiteral("Please restart the program"));
    return;
  }
  showMessageBox(this, QMessageBox::Critical, QStringLiteral("Description"),
                 QStringLiteral("Can not copy the language file.\nThe folder language and the language files not exists"));
}

void MainWindow::onBrowseClicked() {
  const QString chosen = QFileDialog::getExistingDirectory(this, folderDialogTitle_);
  if (!chosen.isEmpty()) setFolder(chosen);
}

void MainWindow::setFolder(const QString& folder) { folderEdit->setText(toQt(platform::withTrailingSlash(fromQt(folder)))); }

bool MainWindow::confirmOverwrite(const std::string& question) {
  return showMessageBox(this, QMessageBox::Critical, QStringLiteral("Information"), toQt(question),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::clearResultTexts() {
  completionLabel->clear();
  timeLabel->clear();
}

void MainWindow::memoLine(const std::string& line) {
  appendFollowingTheEnd(resultMemo, [&] { resultMemo->appendPlainText(toShownQt(line)); });
}

// What was left out stands among the result lines, in walk order.
void MainWindow::noteLine(const std::string& line) { memoLine(line); }

void MainWindow::timeText(const std::string& text) { timeLabel->setText(toQt(text)); }

void MainWindow::completionText(const std::string& text) { completionLabel->setText(toQt(text)); }

void MainWindow::errorMessage(const std::string& text) {
  showMessageBox(this, QMessageBox::Critical, applicationTitle(), toQt(text));
}

void MainWindow::showProgress() {
  fileProgress->setValue(0);
  fileProgress->show();
}

void MainWindow::setProgress(int percent) { fileProgress->setValue(percent); }

void MainWindow::hideProgress() { fileProgress->hide(); }

void MainWindow::passProgress(const passes::PassProgress& progress) {
  showOverallProgress(*overallProgress, progress);
  overallProgress->show();
}

}  // namespace zelk::ui
