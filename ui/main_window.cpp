#include "ui/main_window.h"

#include <QCheckBox>
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
#include <QStyle>
#include <QToolButton>

#include "language/message_format.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "ui/qt_text.h"
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

TForm1::TForm1(const QStringList& arguments, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Zelk SFV Utility - by the Zelk developers - version 1.02"));
  setWindowIcon(programIcon());
  setFixedSize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(kOuterSize.width() / 2, kOuterSize.height() / 2));
  }
  buildControls();
  FormCreate(arguments);
  FlatCheckBox1->setFocus();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::buildControls() {
  constexpr int browseSize = kRowHeight;
  direct = new QLineEdit(this);
  direct->setGeometry(kMargin, kMargin, kClientSize.width() - 2 * kMargin - browseSize - 4, kRowHeight);
  JvBitBtn1 = new QToolButton(this);
  JvBitBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  JvBitBtn1->setGeometry(kClientSize.width() - kMargin - browseSize, kMargin, browseSize, browseSize);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(kMargin, 40, kColumnLeft - 2 * kMargin, 144);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette memoPalette = Memo1->palette();
  memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
  Memo1->setPalette(memoPalette);

  buildOptionColumn();
  buildBottomRows();

  connect(JvBitBtn1, &QToolButton::clicked, this, &TForm1::JvBitBtn1Click);
  connect(FlatSpeedButton1, &QPushButton::clicked, this, &TForm1::FlatSpeedButton1Click);
  connect(FlatButton1, &QPushButton::clicked, this, &TForm1::FlatButton1Click);
  connect(FlatButton2, &QPushButton::clicked, this, &TForm1::FlatButton2Click);
  connect(FlatSpeedButton2, &QPushButton::clicked, this, &TForm1::FlatSpeedButton2Click);
}

void TForm1::buildOptionColumn() {
  FlatGroupBox2 = new QGroupBox(QStringLiteral("SFV Mode"), this);
  FlatGroupBox2->setGeometry(kColumnLeft, 36, kColumnWidth, 64);
  FlatRadioButton2 = makeRadio(FlatGroupBox2, QStringLiteral("MD5 Mode"), kFirstRadio, 0);
  FlatRadioButton3 = makeRadio(FlatGroupBox2, QStringLiteral("CRC32 (standard)"), kFirstRadio, 1);
  FlatRadioButton3->setChecked(true);

  FlatCheckBox1 = new QCheckBox(QStringLiteral("Incl subfolder"), this);
  FlatCheckBox1->setGeometry(kColumnLeft + 10, 102, kColumnWidth - 10, 22);

  FlatGroupBox1 = new QGroupBox(QStringLiteral("Checksum"), this);
  FlatGroupBox1->setGeometry(kColumnLeft, 126, kColumnWidth, 64);
  FlatRadioButton1 = makeRadio(FlatGroupBox1, QStringLiteral("Create"), kFirstRadio, 0);
  vali = makeRadio(FlatGroupBox1, QStringLiteral("Validate"), kFirstRadio, 1);
  FlatRadioButton1->setChecked(true);
}

void TForm1::buildBottomRows() {
  const int memoWidth = kColumnLeft - 2 * kMargin;
  Label3 = makeLabel(this, QString(), QRect(kMargin, 188, memoWidth, 18));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(Label3->geometry());
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();
  finish = makeLabel(this, QString(), QRect(kMargin, 208, memoWidth, 18));

  const int fieldWidth = kButtonLeft - kFieldLeft - kMargin;
  Label1 = makeLabel(this, QStringLiteral("Creator:"), QRect(kMargin, 232, kFieldLeft - kMargin, kRowHeight));
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(kFieldLeft, 232, fieldWidth, kRowHeight);
  FlatSpeedButton1 = makeButton(this, QStringLiteral("GO"), QRect(kButtonLeft, 232, kButtonWidth, kRowHeight));

  Label2 = makeLabel(this, QStringLiteral("Comment:"), QRect(kMargin, 262, kFieldLeft - kMargin, kRowHeight));
  Edit2 = new QLineEdit(this);
  Edit2->setGeometry(kFieldLeft, 262, fieldWidth, kRowHeight);
  FlatButton1 = makeButton(this, QStringLiteral("About"), QRect(kButtonLeft, 262, kButtonWidth, kRowHeight));

  constexpr int bottom = kClientSize.height() - kMargin - kRowHeight;
  Label5 = makeLabel(this, QStringLiteral("Language:"), QRect(kMargin, bottom, kFieldLeft - kMargin, kRowHeight));
  FlatComboBox1 = new QComboBox(this);
  FlatComboBox1->setEditable(false);
  FlatComboBox1->setGeometry(kFieldLeft, bottom, 150, kRowHeight);
  FlatButton2 = makeButton(this, QStringLiteral("OK"), QRect(kFieldLeft + 156, bottom, 50, kRowHeight));
  FlatSpeedButton2 = makeButton(this, QStringLiteral("&Close"), QRect(kButtonLeft, bottom, kButtonWidth, kRowHeight));
}

void TForm1::FlatSpeedButton1Click() {
  Memo1->clear();
  // A relative folder text means the folder below the current directory, which
  // the line after this one changes.
  const std::string folder = platform::absolutePath(fromQt(direct->text()));
  // An empty folder text leaves the pass on the current directory.
  const bool entered = folder.empty() || platform::setCurrentDirectory(folder);
  if (vali->isChecked()) {
    // The verify window works on the current directory: checking whatever
    // folder that still is would report on the wrong files.
    if (!entered) {
      errorMessage(language::formatTemplate(language::lookup(language::texts::FolderMissing), {folder}));
      return;
    }
    openVerifyWindow();
    return;
  }
  passes::CreateSettings settings;
  settings.folder = folder;
  settings.kind = FlatRadioButton2->isChecked() ? engines::ChecksumKind::Md5 : engines::ChecksumKind::Crc32;
  settings.includeSubfolders = FlatCheckBox1->isChecked();
  settings.creator = fromQt(Edit1->text());
  settings.comment = fromQt(Edit2->text());
  passes::runCreatePass(settings, *this);
}

void TForm1::openVerifyWindow() {
  TForm2 window(this, this);
  window.exec();
}

void TForm1::FlatSpeedButton2Click() { close(); }

// The about window is not part of the program yet.
void TForm1::FlatButton1Click() {}

// Installing the chosen language is not part of the program yet.
void TForm1::FlatButton2Click() {}

void TForm1::JvBitBtn1Click() {
  const QString chosen = QFileDialog::getExistingDirectory(this, JvSelectDirectory1Title_);
  if (!chosen.isEmpty()) setFolder(chosen);
}

void TForm1::setFolder(const QString& folder) { direct->setText(toQt(platform::withTrailingSlash(fromQt(folder)))); }

bool TForm1::confirmOverwrite(const std::string& question) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Information"), toQt(question),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void TForm1::clearResultTexts() {
  finish->clear();
  Label3->clear();
}

void TForm1::memoLine(const std::string& line) { Memo1->appendPlainText(toShownQt(line)); }

// What was left out stands among the result lines, in walk order.
void TForm1::noteLine(const std::string& line) { memoLine(line); }

void TForm1::timeText(const std::string& text) { Label3->setText(toQt(text)); }

void TForm1::completionText(const std::string& text) { finish->setText(toQt(text)); }

void TForm1::errorMessage(const std::string& text) {
  QMessageBox::critical(this, QCoreApplication::applicationName(), toQt(text));
}

void TForm1::showProgress() {
  ProgressBar1->setValue(0);
  ProgressBar1->show();
}

// The pass holds the event loop, so the window is painted here or not at all.
void TForm1::setProgress(int percent) {
  ProgressBar1->setValue(percent);
  repaint();
}

void TForm1::hideProgress() { ProgressBar1->hide(); }

}  // namespace zelk::ui
