#include "ui/verify_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "engines/algorithm.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/list_naming.h"
#include "passes/unlisted_files.h"
#include "platform/directory.h"
#include "ui/mode_chooser.h"
#include "ui/message_box.h"
#include "ui/overall_progress.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/queued_observers.h"
#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

namespace texts = language::texts;

// The window's outer size less a classic frame (4 pixels each side, a 19
// pixel title bar); the controls are placed in this client area. The bottom
// row holds the whole pass's progress.
constexpr QSize kClientSize = classicClientSize({491, 333});
constexpr QRect kOverallProgress(8, 281, 465, 18);
constexpr int kLabelRightMargin = 8;
// Where the report lies in a window of kClientSize; it takes whatever the
// user adds to the window, and the bottom row moves down with it.
constexpr QRect kReportPlace(8, 48, 465, 193);
constexpr int kBottomRowTop = 248;
constexpr int kSaveButtonLeft = 328;

QColor toQColor(const passes::RgbColour& colour) { return QColor(colour.red, colour.green, colour.blue); }

passes::RgbColour toRgb(const QColor& colour) { return {colour.red(), colour.green(), colour.blue()}; }

// A label from `left` to `right`, as high as its text line.
QLabel* makeLineLabel(QWidget* parent, const QString& text, int left, int top, int right) {
  QLabel* label = makeLabel(parent, text, QRect(left, top, right - left, 0));
  label->resize(label->width(), label->sizeHint().height());
  return label;
}

// The folder `list` lies in, absolute and without a trailing '/' (but the
// root); for no list, the current directory.
std::string folderOf(const std::string& list) {
  if (list.empty()) return platform::currentDirectory();
  return std::filesystem::path(platform::absolutePath(list)).parent_path().string();
}

// The sink of a window that has no main window's bar to drive.
engines::ProgressSink& noProgress() {
  static engines::NoProgress sink;
  return sink;
}

// The colour a fragment shows: its own foreground, or the view's default.
passes::RgbColour fragmentColour(const QTextCharFormat& format) {
  if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.foreground().style() == Qt::NoBrush) {
    return passes::kDefaultColour;
  }
  return toRgb(format.foreground().color());
}

// Soft line breaks (Shift+Enter) are line breaks in the saved file too; an
// embedded object (a pasted image) has no text to save.
std::string fragmentText(QString text) {
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  text.remove(QChar::ObjectReplacementCharacter);
  return fromQt(text);
}

void appendRun(std::vector<passes::ColouredRun>& runs, std::string text, const passes::RgbColour& colour) {
  if (!runs.empty() && runs.back().colour == colour) {
    runs.back().text += text;
  } else {
    runs.push_back({std::move(text), colour});
  }
}

}  // namespace

VerifyWindow::VerifyWindow(QWidget* parent, engines::ProgressSink* progress, std::string listName)
    : QDialog(parent),
      progress_(progress != nullptr ? *progress : noProgress()),
      listName_(std::move(listName)),
      folder_(platform::currentDirectory()) {
  setObjectName(QStringLiteral("verifyWindow"));
  setWindowTitle(QStringLiteral("Verify"));
  setMinimumSize(kClientSize);
  resize(kClientSize);
  setSizeGripEnabled(true);
  const int labelRight = kClientSize.width() - kLabelRightMargin;

  creatorLabel = named(makeLineLabel(this, QStringLiteral("Creator:"), 16, 16, labelRight), "creatorLabel");
  commentLabel = named(makeLineLabel(this, QStringLiteral("Comment:"), 16, 32, labelRight), "commentLabel");
  closeButton = named(makeButton(this, QStringLiteral("&Close"), QRect(184, kBottomRowTop, 57, 25)), "closeButton");
  saveButton =
      named(makeButton(this, QStringLiteral("Save"), QRect(kSaveButtonLeft, kBottomRowTop, 129, 25)), "saveButton");
  reportView = named(new QTextEdit(this), "reportView");
  reportView->setGeometry(kReportPlace);
  reportView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  modeLabel = named(makeLineLabel(this, QString(), 8, kBottomRowTop, 184 - kLabelRightMargin), "modeLabel");
  unlistedBox = named(new QCheckBox(QStringLiteral("Not in list"), this), "unlistedBox");
  unlistedBox->setGeometry(246, kBottomRowTop + 4, 80, 17);
  unlistedBox->setEnabled(false);
  overallProgress = named(makeOverallProgress(this, kOverallProgress), "overallProgress");

  connect(closeButton, &QPushButton::clicked, this, &VerifyWindow::onCloseClicked);
  connect(saveButton, &QPushButton::clicked, this, &VerifyWindow::onSaveClicked);
  connect(unlistedBox, &QCheckBox::toggled, this, &VerifyWindow::onUnlistedToggled);
  connect(&runner_, &PassRunner::finished, this, &VerifyWindow::onPassFinished);
  connect(&unlistedSearch_, &PassRunner::finished, this, &VerifyWindow::onUnlistedSearched);
}

void VerifyWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const QSize added = size() - kClientSize;
  for (QLabel* label : {creatorLabel, commentLabel}) label->resize(width() - label->x() - kLabelRightMargin, label->height());
  reportView->setGeometry(kReportPlace.adjusted(0, 0, added.width(), added.height()));
  for (QWidget* control : {static_cast<QWidget*>(closeButton), static_cast<QWidget*>(saveButton),
                           static_cast<QWidget*>(modeLabel)}) {
    control->move(control->x(), kBottomRowTop + added.height());
  }
  unlistedBox->move(unlistedBox->x(), kBottomRowTop + 4 + added.height());
  overallProgress->setGeometry(kOverallProgress.translated(0, added.height()).adjusted(0, 0, added.width(), 0));
}

void VerifyWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Queued: the window is on screen before the chooser and the first line.
  QMetaObject::invokeMethod(this, &VerifyWindow::runPass, Qt::QueuedConnection);
}

void VerifyWindow::runPass() {
  folder_ = folderOf(listName_);
  const std::string list = listName_.empty() ? listfile::findList(folder_) : listName_;
  const std::optional<listfile::ChecksumMode> mode =
      ModeChooser::asksAbout(list) ? ModeChooser::ask(this) : listfile::ChecksumMode::Automatic;
  if (!mode) {
    emit passFinished();
    return;
  }

  creatorLabel->setText(toQt(language::translated(texts::Creator)));
  commentLabel->setText(toQt(language::translated(texts::Comment)));
  closeButton->setText(toQt(language::translated(texts::Close)));
  saveButton->setText(toQt(language::translated(texts::SaveResult)));
  unlistedBox->setText(toQt(language::translated(texts::ShowNotInList)));
  fitBottomRow();

  unlistedBox->setChecked(false);
  reportView->clear();
  reportLines_ = 0;
  unlistedBox->setEnabled(false);
  checkedMode_ = *mode;
  passResult_ = {};
  passes::VerifyObserver& window = *this;
  runner_.start([this, folder = folder_, list = listName_, mode = *mode, &window](std::stop_token stop) {
    QueuedVerifyObserver observer(runner_, window);
    // A given name is opened as given, so that a message names it so.
    passResult_ = list.empty() ? passes::runVerifyPass(folder, mode, observer, stop)
                               : passes::runVerifyPassOnList(list, mode, observer, stop);
  });
  showPassRunning(true);
}

// The check box between the two buttons as wide as its caption, and both
// buttons as wide as theirs: "Save" moves right to make room, and the window
// grows wider when it would reach past the report's right edge.
void VerifyWindow::fitBottomRow() {
  for (QPushButton* button : {closeButton, saveButton}) widenToText(button);
  constexpr int kGap = 2;  // free pixels either side of the box
  const int boxLeft = closeButton->geometry().right() + 1 + kGap;
  unlistedBox->setGeometry(boxLeft, unlistedBox->y(), unlistedBox->sizeHint().width(), unlistedBox->height());
  saveButton->move(std::max(kSaveButtonLeft, unlistedBox->geometry().right() + 1 + kGap), saveButton->y());
  const int overhang = saveButton->geometry().right() - kReportPlace.right();
  if (overhang <= 0) return;
  setMinimumWidth(kClientSize.width() + overhang);
  if (width() < minimumWidth()) resize(minimumWidth(), height());
}

// The report is not edited while lines still arrive, and the close button
// turns into the pass's Cancel.
void VerifyWindow::showPassRunning(bool running) {
  if (running) closeCaption_ = closeButton->text();
  closeButton->setText(running ? toQt(language::translated(texts::Cancel)) : closeCaption_);
  saveButton->setEnabled(!running);
  reportView->setReadOnly(running);
}

void VerifyWindow::onPassFinished() {
  showPassRunning(false);
  const bool checked = passResult_.outcome == passes::VerifyOutcome::Checked;
  checkedList_ = checked ? passResult_.listName : std::string();
  unlistedBox->setEnabled(checked);
  reportView->moveCursor(QTextCursor::End);
  reportView->ensureCursorVisible();
  emit passFinished();
  if (closeWhenDone_) QDialog::reject();
}

void VerifyWindow::onCloseClicked() {
  if (runner_.isRunning()) {
    runner_.cancel();
    return;
  }
  close();
}

void VerifyWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && runner_.isRunning()) {
    runner_.cancel();
    return;
  }
  QDialog::keyPressEvent(event);
}

void VerifyWindow::reject() {
  PassRunner& running = runner_.isRunning() ? runner_ : unlistedSearch_;
  if (!running.isRunning()) {
    QDialog::reject();
    return;
  }
  closeWhenDone_ = true;
  running.cancel();
}

void VerifyWindow::onSaveClicked() {
  const std::optional<std::string> saved = passes::saveReport(folder_, reportRuns(), "\r\n", folder_);
  if (!saved) {
    const std::string path = platform::withTrailingSlash(folder_) + passes::kReportFileName;
    throw std::runtime_error("The report could not be saved as \"" + path + "\".");
  }
  showMessageBox(this, QMessageBox::NoIcon, applicationTitle(), toQt(*saved));
}

void VerifyWindow::onUnlistedToggled(bool shown) {
  if (!shown) {
    if (unlistedStart_.isNull()) return;
    // Only the position stays put on insertion; the anchor moved with the text.
    unlistedStart_.setPosition(unlistedStart_.position());
    unlistedStart_.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    unlistedStart_.removeSelectedText();
    unlistedStart_ = QTextCursor();
    return;
  }
  if (checkedList_.empty()) return;
  unlistedBox->setEnabled(false);
  saveButton->setEnabled(false);
  reportView->setReadOnly(true);
  unlistedStart_ = QTextCursor(reportView->document());
  unlistedStart_.movePosition(QTextCursor::End);
  // The section is added at this very position: the cursor stays before it.
  unlistedStart_.setKeepPositionOnInsert(true);
  passes::VerifyObserver& window = *this;
  unlistedSearch_.start([this, &window, folder = folder_, list = checkedList_,
                         mode = checkedMode_](std::stop_token stop) {
    QueuedVerifyObserver observer(unlistedSearch_, window);
    passes::reportUnlistedSection(folder, list, std::nullopt, mode, observer, stop);
  });
}

void VerifyWindow::onUnlistedSearched() {
  unlistedBox->setEnabled(true);
  saveButton->setEnabled(true);
  reportView->setReadOnly(false);
  emit unlistedSearched();
  if (closeWhenDone_) QDialog::reject();
}

std::vector<passes::ColouredRun> VerifyWindow::reportRuns() const {
  std::vector<passes::ColouredRun> runs;
  const QTextDocument* document = reportView->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block != document->begin()) {
      appendRun(runs, "\n", runs.empty() ? passes::kDefaultColour : runs.back().colour);
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      appendRun(runs, fragmentText(fragment.text()), fragmentColour(fragment.charFormat()));
    }
  }
  return runs;
}

void VerifyWindow::creatorText(const std::string& text) { creatorLabel->setText(toShownQt(text)); }

void VerifyWindow::commentText(const std::string& text) { commentLabel->setText(toShownQt(text)); }

void VerifyWindow::entryKind(engines::ChecksumKind kind) {
  modeLabel->setText(toQt(std::string(engines::AlgorithmOf(kind).shownName) + "-MODE"));
}

void VerifyWindow::reportLine(const std::string& text, passes::ReportColour colour) {
  QTextCharFormat format;
  // Default lines carry no colour of their own, so they follow the view's.
  if (colour != passes::ReportColour::Default) format.setForeground(toQColor(passes::reportRgb(colour)));
  appendFollowingTheEnd(reportView, [&] {
    QTextCursor cursor(reportView->document());
    cursor.movePosition(QTextCursor::End);
    // The empty report already holds one empty line: the first report line fills it.
    if (reportLines_ > 0) cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(toShownQt(text), format);
  });
  ++reportLines_;
}

// No report is better than one that claims a list without entries: the
// window closes once the message is read.
void VerifyWindow::errorMessage(const std::string& text) {
  showMessageBox(this, QMessageBox::Critical, applicationTitle(), toShownQt(text));
  QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void VerifyWindow::showProgress() { progress_.showProgress(); }

void VerifyWindow::setProgress(int percent) { progress_.setProgress(percent); }

void VerifyWindow::hideProgress() { progress_.hideProgress(); }

void VerifyWindow::passProgress(const passes::PassProgress& progress) {
  showOverallProgress(*overallProgress, progress);
  overallProgress->show();
}

}  // namespace zelk::ui
