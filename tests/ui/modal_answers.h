#pragma once
// Answers for modal windows a test opens: each helper queues its action, which
// runs once the next modal window's event loop starts.

#include <QApplication>
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

// Runs `action` on the mode chooser once it is open.
inline void whenChooserOpens(std::function<void(TForm5&)> action) {
  QTimer::singleShot(0, [action = std::move(action)] {
    auto* chooser = qobject_cast<TForm5*>(QApplication::activeModalWidget());
    ASSERT_NE(chooser, nullptr) << "the mode chooser is not open";
    action(*chooser);
  });
}

// Checks `mode`'s item in the chooser and presses OK.
inline void chooseMode(listfile::ChecksumMode mode) {
  whenChooserOpens([mode](TForm5& chooser) {
    switch (mode) {
      case listfile::ChecksumMode::Automatic: chooser.automaticItem->setChecked(true); break;
      case listfile::ChecksumMode::Crc32: chooser.crc32Item->setChecked(true); break;
      case listfile::ChecksumMode::Md5: chooser.md5Item->setChecked(true); break;
    }
    chooser.BitBtn1->click();
  });
}

struct ShownMessage {
  bool shown = false;
  std::string title;
  std::string text;
  bool onlyOk = false;
  bool plain = false;  // no icon
};

// Records the next message box and presses its OK button.
inline void whenMessageBoxOpens(ShownMessage& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "no message box is open";
    seen.shown = true;
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    seen.onlyOk = box->standardButtons() == QMessageBox::Ok;
    seen.plain = box->icon() == QMessageBox::NoIcon;
    box->button(QMessageBox::Ok)->click();
  });
}

}  // namespace zelk::ui::modal
