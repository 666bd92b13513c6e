#include "ui/overall_progress.h"

#include <QLocale>
#include <QProgressBar>
#include <QRect>
#include <initializer_list>

#include "language/message_format.h"
#include "language/texts.h"
#include "ui/qt_text.h"

namespace zelk::ui {
namespace {

namespace texts = language::texts;

constexpr int kBarSteps = 1000;

std::string dataSize(double bytes) {
  return fromQt(QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeIecFormat));
}

// The text shows ten times a second: a translation whose placeholders do not
// fit falls back to the built-in text rather than raise a report each time.
std::string filled(const language::LanguageText& text, std::initializer_list<language::TemplateArgument> arguments) {
  try {
    return language::formatTemplate(language::translated(text), arguments);
  } catch (const language::TemplateError&) {
    return language::formatTemplate(text.defaultText, arguments);
  }
}

}  // namespace

QString overallProgressText(const passes::PassProgress& progress) {
  std::string text = filled(texts::PassProgress, {std::int64_t{progress.filesDone}, std::int64_t{progress.filesTotal},
                                                  dataSize(static_cast<double>(progress.bytesDone)),
                                                  dataSize(static_cast<double>(progress.bytesTotal))});
  if (progress.bytesPerSecond > 0 && progress.secondsLeft >= 0) {
    text += ", " + filled(texts::PassSpeed, {dataSize(progress.bytesPerSecond), passes::timeLeftText(progress.secondsLeft)});
  }
  return toQt(text);
}

QProgressBar* makeOverallProgress(QWidget* parent, const QRect& geometry) {
  auto* bar = new QProgressBar(parent);
  bar->setGeometry(geometry);
  bar->setRange(0, kBarSteps);
  bar->setTextVisible(true);
  bar->setAlignment(Qt::AlignCenter);
  bar->hide();
  return bar;
}

void showOverallProgress(QProgressBar& bar, const passes::PassProgress& progress) {
  // A pass of empty files still moves on: by files when there are no bytes.
  const double done = progress.bytesTotal > 0 ? static_cast<double>(progress.bytesDone) / static_cast<double>(progress.bytesTotal)
                      : progress.filesTotal > 0 ? static_cast<double>(progress.filesDone) / static_cast<double>(progress.filesTotal)
                                                : 0.0;
  bar.setValue(static_cast<int>(done * kBarSteps));
  bar.setFormat(overallProgressText(progress));
}

}  // namespace zelk::ui
