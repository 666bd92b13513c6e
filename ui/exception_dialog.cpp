#include "ui/exception_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <ctime>

#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

// Posted when the window is shown: the details are gathered once it has
// appeared, not before.
const QEvent::Type kBuildDetailsEvent = static_cast<QEvent::Type>(QEvent::User + 0x100);

constexpr int kMessageLeft = 56;
constexpr int kMessageRightMargin = 95;
constexpr int kButtonRightMargin = 80;
constexpr int kDetailsTop = 101;
constexpr int kIconGap = 15;

// Read-only text on the window's own background, as a label would show it.
QPlainTextEdit* makeReadOnlyText(QWidget* parent, const QString& name) {
  auto* text = new QPlainTextEdit(parent);
  text->setObjectName(name);
  text->setReadOnly(true);
  QPalette palette = text->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  text->setPalette(palette);
  return text;
}

QString joinedLines(const std::vector<std::string>& lines) {
  QStringList texts;
  for (const std::string& line : lines) texts.append(toQt(line));
  return texts.join(QLatin1Char('\n'));
}

}  // namespace

ExceptionDialog::ExceptionDialog(bool logReports, const std::string& logPath)
    : logReports_(logReports), log_(logPath) {
  setObjectName(QStringLiteral("ExceptionDialog"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(applicationTitle() + QStringLiteral(" - application error"));
  buildControls();
  resize(kExpandedSize);
  setMinimumWidth(kMinimumWidth);
  setDetailsVisible(false);
}

void ExceptionDialog::buildControls() {
  messageText = makeReadOnlyText(this, QStringLiteral("messageText"));
  messageText->setFrameShape(QFrame::NoFrame);
  messageText->setToolTip(QStringLiteral("Use Ctrl+C to copy the report to the clipboard"));
  // A scroll bar only for a message that does not fit, gone again once the
  // window is wide enough.
  messageText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  messageText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  okButton = makeButton(this, QStringLiteral("&OK"), QRect());
  okButton->setObjectName(QStringLiteral("okButton"));
  okButton->setDefault(true);
  detailsButton = makeButton(this, QStringLiteral("&Details"), QRect());
  detailsButton->setObjectName(QStringLiteral("detailsButton"));
  detailsButton->setEnabled(false);
  detailsButton->setToolTip(QStringLiteral("Show or hide additional information"));
  bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  detailsMemo = makeReadOnlyText(this, QStringLiteral("detailsMemo"));
  detailsMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  detailsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  detailsMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSize(8);
  detailsMemo->setFont(fixed);

  setTabOrder(messageText, okButton);
  setTabOrder(okButton, detailsButton);
  setTabOrder(detailsButton, detailsMemo);
  for (QWidget* control : {static_cast<QWidget*>(messageText), static_cast<QWidget*>(okButton),
                           static_cast<QWidget*>(detailsButton), static_cast<QWidget*>(detailsMemo)}) {
    control->installEventFilter(this);
  }
  okButton->setFocus();
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(detailsButton, &QPushButton::clicked, this, [this] { setDetailsVisible(!detailsVisible_); });
}

void ExceptionDialog::setReport(const std::string& message, const std::vector<std::string>& firstLines,
                                diag::DetailInputs inputs) {
  message_ = message;
  QString shown = toQt(message);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  messageText->setPlainText(shown);
  detailLines_.clear();
  detailsMemo->clear();
  appendDetailLines(firstLines);
  inputs_ = std::move(inputs);
}

void ExceptionDialog::appendDetailLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  detailLines_.insert(detailLines_.end(), lines.begin(), lines.end());
  detailsMemo->appendPlainText(joinedLines(lines));
}

std::string ExceptionDialog::reportText() const { return diag::reportText(message_, detailLines_); }

void ExceptionDialog::copyReport() const { QGuiApplication::clipboard()->setText(toQt(reportText())); }

void ExceptionDialog::setDetailsVisible(bool visible) {
  detailsVisible_ = visible;
  QString caption = detailsButton->text();
  caption.remove(QLatin1Char('<')).remove(QLatin1Char('>'));
  caption = caption.trimmed();
  if (visible) {
    setMaximumHeight(screen()->geometry().height());
    setMinimumHeight(kCollapsedHeight + 100);
    caption = QStringLiteral("<< ") + caption;
    resize(width(), expandedHeight_);
  } else {
    expandedHeight_ = height();
    caption += QStringLiteral(" >>");
    // Collapsed, only the width can change.
    setMinimumHeight(kCollapsedHeight);
    setMaximumHeight(kCollapsedHeight);
  }
  detailsButton->setText(caption);
  detailsMemo->setEnabled(visible);
}

void ExceptionDialog::addDetailSections(unsigned sections) {
  const QSize size = screen()->geometry().size() * screen()->devicePixelRatio();
  inputs_.display = diag::Display{size.width(), size.height(), screen()->depth()};
  appendDetailLines(diag::detailLines(sections, inputs_));
}

void ExceptionDialog::buildDetails() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  detailsMemo->setUpdatesEnabled(false);
  // Whatever happens on the way, the window ends usable and the cursor normal.
  struct Finish {
    ExceptionDialog& dialog;
    ~Finish() {
      dialog.detailsMemo->setUpdatesEnabled(true);
      dialog.detailsButton->setEnabled(true);
      dialog.okButton->setFocus();
      QApplication::restoreOverrideCursor();
    }
  } finish{*this};
  addDetailSections(diag::kAllSections);
  logReport();
  detailsMemo->moveCursor(QTextCursor::Start);
  detailsMemo->ensureCursorVisible();
}

void ExceptionDialog::logReport() {
  if (!logReports_) return;
  struct Close {
    diag::ExceptionLog& log;
    ~Close() { log.close(); }
  } close{log_};
  std::timespec now{};
  std::timespec_get(&now, TIME_UTC);
  log_.appendStamp(diag::kReportWidth, diag::localDateTime(now));
  log_.appendText(reportText());
}

bool ExceptionDialog::event(QEvent* event) {
  if (event->type() != kBuildDetailsEvent) return QDialog::event(event);
  repaint();
  buildDetails();
  return true;
}

void ExceptionDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QApplication::beep();
  QCoreApplication::postEvent(this, new QEvent(kBuildDetailsEvent));
}

void ExceptionDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this);
  QPainter painter(this);
  icon.paint(&painter, QRect(messageText->x() - size - kIconGap, messageText->y(), size, size));
}

void ExceptionDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int width = this->width();
  messageText->setGeometry(kMessageLeft, 8, width - kMessageLeft - kMessageRightMargin, 75);
  okButton->setGeometry(width - kButtonRightMargin, 4, 75, 25);
  detailsButton->setGeometry(width - kButtonRightMargin, 60, 75, 25);
  bevel->setGeometry(3, kCollapsedHeight, width - 4, 2);
  detailsMemo->setGeometry(4, kDetailsTop, width - 8, std::max(0, height() - kDetailsTop - 4));
}

bool ExceptionDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_C && key->modifiers().testFlag(Qt::ControlModifier)) {
      copyReport();
      QApplication::beep();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace zelk::ui
