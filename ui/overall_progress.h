#pragma once
// The whole pass at a glance, beside the bar of the file being read: a bar as
// long as the bytes done of all bytes, with the files done of all files, the
// bytes, the speed and the time left as its text.

#include <QString>

#include "passes/pass_progress.h"

class QProgressBar;
class QRect;
class QWidget;

namespace zelk::ui {

// "3 of 10 files, 1.2 GiB of 2.0 GiB, 250 MiB/s, 0:05 left"; speed and time
// left once the pass can measure them. Sizes in the user's locale.
QString overallProgressText(const passes::PassProgress& progress);

// A hidden bar at `geometry` for showOverallProgress.
QProgressBar* makeOverallProgress(QWidget* parent, const QRect& geometry);

void showOverallProgress(QProgressBar& bar, const passes::PassProgress& progress);

}  // namespace zelk::ui
