#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include "language/message_format.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/overall_progress.h"
#include "ui/qt_text.h"
#include "ui/queued_observers.h"
#include "ui/verify_window.h"
#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

// The window's outer size; the controls are placed in what remains inside a
// classic frame (4 pixels each side, a 19 pixel title bar).
constexpr QSize kOuterSize(483, 350);
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

// A ticked list sheet: the program's own picture, drawn so that no image
// file has to travel with the program.
QIcon programIcon() {
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 60, 110), 1.5));
  painter.setBrush(QColor(245, 245, 235));
  painter.drawRoundedRect(QRectF(5.5, 2.5, 21, 27), 2, 2);
  painter.setPen(QPen(QColor(120, 120, 140), 1.5));
  for (int line = 0; line < 4; ++line) painter.drawLine(QPointF(9, 8 + line * 4), QPointF(22, 8 + line * 4));
  painter.setPen(QPen(QColor(20, 150, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(QPolygonF({QPointF(12, 23), QPointF(17, 28), QPointF(29, 14)}));
  return QIcon(picture);
}

}  // namespace

MainWindow::MainWindow(const QStringList& arguments, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Zelk SFV Utility - by the Zelk developers - version 1.02"));
  setWindowIcon(programIcon());
  setFixedSize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(kOuterSize.width() / 2, kOuterSize.height() / 2));
  }
  buildControls();
  startUp(arguments);
  subfolderCheck->setFocus();
}

MainWindow::~MainWindow() { shutDown(); }

void MainWindow::buildControls() {
  constexpr int browseSize = kRowHeight;
  folderEdit = new QLineEdit(this);
  folderEdit->setGeometry(kMargin, kMargin, kClientSize.width() - 2 * kMargin - browseSize - 4, kRowHeight);
  browseButton = new QToolButton(this);
  browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  browseButton->setGeometry(kClientSize.width() - kMargin - browseSize, kMargin, browseSize, browseSize);

  resultMemo = new QPlainTextEdit(this);
  resultMemo->setGeometry(kMargin, 40, kColumnLeft - 2 * kMargin, 144);
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
  kindGroup = new QGroupBox(QStringLiteral("SFV Mode"), this);
  kindGroup->setGeometry(kColumnLeft, 36, kColumnWidth, 64);
  md5Radio = makeRadio(kindGroup, QStringLiteral("MD5 Mode"), kFirstRadio, 0);
  crc32Radio = makeRadio(kindGroup, QStringLiteral("CRC32 (standard)"), kFirstRadio, 1);
  crc32Radio->setChecked(true);

  subfolderCheck = new QCheckBox(QStringLiteral("Incl subfolder"), this);
  subfolderCheck->setGeometry(kColumnLeft + 10, 102, kColumnWidth - 10, 22);

  actionGroup = new QGroupBox(QStringLiteral("Checksum"), this);
  actionGroup->setGeometry(kColumnLeft, 126, kColumnWidth, 64);
  createRadio = makeRadio(actionGroup, QStringLiteral("Create"), kFirstRadio, 0);
  validateRadio = makeRadio(actionGroup, QStringLiteral("Validate"), kFirstRadio, 1);
  createRadio->setChecked(true);
}

void MainWindow::buildBottomRows() {
  const int memoWidth = kColumnLeft - 2 * kMargin;
  timeLabel = makeLabel(this, QString(), QRect(kMargin, 188, memoWidth, 18));
  fileProgress = new QProgressBar(this);
  fileProgress->setGeometry(timeLabel->geometry());
  fileProgress->setRange(0, 100);
  fileProgress->setTextVisible(false);
  fileProgress->hide();
  completionLabel = makeLabel(this, QString(), QRect(kMargin, 208, memoWidth, 18));
  // Across the whole window: the option column ends above this row.
  overallProgress = makeOverallProgress(this, QRect(kMargin, 208, kClientSize.width() - 2 * kMargin, 18));

  const int fieldWidth = kButtonLeft - kFieldLeft - kMargin;
  creatorLabel = makeLabel(this, QStringLiteral("Creator:"), QRect(kMargin, 232, kFieldLeft - kMargin, kRowHeight));
  creatorEdit = new QLineEdit(this);
  creatorEdit->setGeometry(kFieldLeft, 232, fieldWidth, kRowHeight);
  goButton = makeButton(this, QStringLiteral("GO"), QRect(kButtonLeft, 232, kButtonWidth, kRowHeight));

  commentLabel = makeLabel(this, QStringLiteral("Comment:"), QRect(kMargin, 262, kFieldLeft - kMargin, kRowHeight));
  commentEdit = new QLineEdit(this);
  commentEdit->setGeometry(kFieldLeft, 262, fieldWidth, kRowHeight);
  aboutButton = makeButton(this, QStringLiteral("About"), QRect(kButtonLeft, 262, kButtonWidth, kRowHeight));

  constexpr int bottom = kClientSize.height() - kMargin - kRowHeight;
  languageLabel = makeLabel(this, QStringLiteral("Language:"), QRect(kMargin, bottom, kFieldLeft - kMargin, kRowHeight));
  languageCombo = new QComboBox(this);
  languageCombo->setEditable(false);
  languageCombo->setGeometry(kFieldLeft, bottom, 150, kRowHeight);
  installLanguageButton = makeButton(this, QStringLiteral("OK"), QRect(kFieldLeft + 156, bottom, 50, kRowHeight));
  closeButton = makeButton(this, QStringLiteral("&Close"), QRect(kButtonLeft, bottom, kButtonWidth, kRowHeight));
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
  settings.kind = md5Radio->isChecked() ? engines::ChecksumKind::Md5 : engines::ChecksumKind::Crc32;
  settings.includeSubfolders = subfolderCheck->isChecked();
  settings.creator = fromQt(creatorEdit->text());
  settings.comment = fromQt(commentEdit->text());
  startCreatePass(settings);
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

// The about window is not part of the program yet.
void MainWindow::onAboutClicked() {}

// Installing the chosen language is not part of the program yet.
void MainWindow::onInstallLanguageClicked() {}

void MainWindow::onBrowseClicked() {
  const QString chosen = QFileDialog::getExistingDirectory(this, folderDialogTitle_);
  if (!chosen.isEmpty()) setFolder(chosen);
}

void MainWindow::setFolder(const QString& folder) { folderEdit->setText(toQt(platform::withTrailingSlash(fromQt(folder)))); }

bool MainWindow::confirmOverwrite(const std::string& question) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Information"), toQt(question),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
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
  QMessageBox::critical(this, QCoreApplication::applicationName(), toQt(text));
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
