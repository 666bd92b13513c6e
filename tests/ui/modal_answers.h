#pragma once
// Answers for modal windows a test opens: each helper queues its action, which
// runs once the next modal window's event loop starts.

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "listfile/list_reader.h"
#include "ui/mode_chooser.h"

namespace zelk::ui::modal {

// Runs `action` on the mode chooser once it is open; a chooser that has not
// opened within ten seconds fails the test.
inline void whenChooserOpens(std::function<void(ModeChooser&)> action) {
  auto* poll = new QTimer;
  const QDeadlineTimer deadline(10000);
  QObject::connect(poll, &QTimer::timeout, [poll, deadline, action = std::move(action)] {
    auto* chooser = qobject_cast<ModeChooser*>(QApplication::activeModalWidget());
    if (chooser == nullptr && !deadline.hasExpired()) return;
    poll->stop();
    poll->deleteLater();
    if (chooser == nullptr) {
      ADD_FAILURE() << "the mode chooser did not open";
      return;
    }
    action(*chooser);
  });
  poll->start(1);
}

// Checks `mode`'s item in the chooser and presses OK.
inline void chooseMode(listfile::ChecksumMode mode) {
  whenChooserOpens([mode](ModeChooser& chooser) {
    switch (mode) {
      case listfile::ChecksumMode::Automatic: chooser.automaticItem->setChecked(true); break;
      case listfile::ChecksumMode::Crc32: chooser.crc32Item->setChecked(true); break;
      case listfile::ChecksumMode::Md5: chooser.md5Item->setChecked(true); break;
    }
    chooser.okButton->click();
  });
}

struct ShownMessage {
  bool shown = false;
  std::string title;
  std::string text;
  bool onlyOk = false;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// A handler for a modal window that must be a message box: it records the box
// in `seen` and presses its OK button. `seen` must outlive the handler.
inline std::function<void(QWidget*)> recordMessageBox(ShownMessage& seen) {
  return [&seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "no message box is open";
    seen.shown = true;
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    seen.onlyOk = box->standardButtons() == QMessageBox::Ok;
    seen.icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  };
}

// A handler that accepts the mode chooser as it is and records the message
// box that follows, as recordMessageBox does.
inline std::function<void(QWidget*)> acceptChooserThenRecordMessageBox(ShownMessage& seen) {
  return [&seen](QWidget* modal) {
    if (auto* chooser = qobject_cast<ModeChooser*>(modal)) return chooser->accept();
    recordMessageBox(seen)(modal);
  };
}

// Records the next message box and presses its OK button.
inline void whenMessageBoxOpens(ShownMessage& seen) {
  QTimer::singleShot(0, [&seen] { recordMessageBox(seen)(QApplication::activeModalWidget()); });
}

}  // namespace zelk::ui::modal
