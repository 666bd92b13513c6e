#include "ui/verify_window.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <stdexcept>
#include <utility>

#include "language/message_format.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/mode_chooser.h"
#include "ui/qt_text.h"

#include "ui/widget_factory.h"

namespace zelk::ui {
namespace {

namespace texts = language::texts;

// The window's outer size less a classic frame (4 pixels each side, a 19
// pixel title bar); the controls are placed in this client area.
constexpr QSize kClientSize = classicClientSize({491, 309});
constexpr int kLabelRightMargin = 8;

QColor toQColor(const passes::RgbColour& colour) { return QColor(colour.red, colour.green, colour.blue); }

passes::RgbColour toRgb(const QColor& colour) { return {colour.red(), colour.green(), colour.blue()}; }

// A label from `left` to `right`, as high as its text line.
QLabel* makeLineLabel(QWidget* parent, const QString& text, int left, int top, int right) {
  QLabel* label = makeLabel(parent, text, QRect(left, top, right - left, 0));
  label->resize(label->width(), label->sizeHint().height());
  return label;
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

TForm2::TForm2(QWidget* parent, engines::ProgressSink* progress)
    : QDialog(parent), progress_(progress != nullptr ? *progress : noProgress()) {
  setWindowTitle(QStringLiteral("Verify"));
  setFixedSize(kClientSize);
  const int labelRight = kClientSize.width() - kLabelRightMargin;

  Label1 = makeLineLabel(this, QStringLiteral("Creator:"), 16, 16, labelRight);
  Label2 = makeLineLabel(this, QStringLiteral("Comment:"), 16, 32, labelRight);
  FlatButton1 = makeButton(this, QStringLiteral("&Close"), QRect(184, 248, 57, 25));
  FlatButton2 = makeButton(this, QStringLiteral("Save"), QRect(328, 248, 129, 25));
  ListBox1 = new QTextEdit(this);
  ListBox1->setGeometry(8, 48, 465, 193);
  ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Label3 = makeLineLabel(this, QString(), 8, 248, 184 - kLabelRightMargin);

  connect(FlatButton1, &QPushButton::clicked, this, &TForm2::FlatButton1Click);
  connect(FlatButton2, &QPushButton::clicked, this, &TForm2::FlatButton2Click);
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm2::FormShow() {
  const std::optional<listfile::ChecksumMode> mode = TForm5::ask(this);
  if (!mode) return;

  Label1->setText(toQt(language::lookup(texts::Creator)));
  Label2->setText(toQt(language::lookup(texts::Comment)));
  FlatButton1->setText(toQt(language::lookup(texts::Close)));
  FlatButton2->setText(toQt(language::lookup(texts::SaveResult)));

  ListBox1->clear();
  reportLines_ = 0;
  passes::runVerifyPass(platform::currentDirectory(), *mode, *this);

  ListBox1->moveCursor(QTextCursor::End);
  ListBox1->ensureCursorVisible();
}

void TForm2::FlatButton1Click() { close(); }

void TForm2::FlatButton2Click() {
  const std::string directory = platform::currentDirectory();
  const std::string path = platform::withTrailingSlash(directory) + passes::kReportFileName;
  if (!passes::writeRtfFile(path, reportRuns())) {
    throw std::runtime_error("The report could not be saved as \"" + path + "\".");
  }
  const std::string message = language::formatTemplate(language::lookup(texts::ResultSave), {"\r\n", directory});
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), toQt(message), QMessageBox::Ok, this);
  box.exec();
}

std::vector<passes::ColouredRun> TForm2::reportRuns() const {
  std::vector<passes::ColouredRun> runs;
  const QTextDocument* document = ListBox1->document();
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

void TForm2::creatorText(const std::string& text) { Label1->setText(toShownQt(text)); }

void TForm2::commentText(const std::string& text) { Label2->setText(toShownQt(text)); }

void TForm2::entryKind(engines::ChecksumKind kind) {
  Label3->setText(kind == engines::ChecksumKind::Md5 ? QStringLiteral("MD5-MODE") : QStringLiteral("CRC32-MODE"));
}

void TForm2::reportLine(const std::string& text, passes::ReportColour colour) {
  QTextCharFormat format;
  // Default lines carry no colour of their own, so they follow the view's.
  if (colour != passes::ReportColour::Default) format.setForeground(toQColor(passes::reportRgb(colour)));
  QTextCursor cursor(ListBox1->document());
  cursor.movePosition(QTextCursor::End);
  // The empty report already holds one empty line: the first report line fills it.
  if (reportLines_ > 0) cursor.insertBlock(QTextBlockFormat(), format);
  cursor.insertText(toShownQt(text), format);
  ++reportLines_;
}

// No report is better than one that claims a list without entries: the
// window closes once the message is read.
void TForm2::errorMessage(const std::string& text) {
  QMessageBox::critical(this, QApplication::applicationName(), toShownQt(text));
  QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void TForm2::showProgress() { progress_.showProgress(); }

void TForm2::setProgress(int percent) { progress_.setProgress(percent); }

void TForm2::hideProgress() { progress_.hideProgress(); }

}  // namespace zelk::ui
