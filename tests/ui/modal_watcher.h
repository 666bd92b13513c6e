#pragma once
// Answers the modal windows a test's code opens, so that a test never waits
// for a click. Every showing of a modal window is handed once to the current
// handler (a window shown again, such as the about window, comes again); with
// no handler it is recorded and rejected, so an unexpected box fails the
// test instead of hanging it.

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace zelk::testing {

class ModalWatcher {
 public:
  using Handler = std::function<void(QWidget*)>;

  ModalWatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(5);
  }

  void setHandler(Handler handler) { handler_ = std::move(handler); }

  // Modal windows met without a handler: a message box by its text, any
  // other window by its class name.
  const QStringList& unexpected() const { return unexpected_; }

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || handled_.contains(modal)) return;
    handled_.append(modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      QObject::connect(dialog, &QDialog::finished, &timer_, [this, dialog] { handled_.removeAll(dialog); },
                       Qt::SingleShotConnection);
    }
    if (handler_) {
      handler_(modal);
      return;
    }
    const auto* box = qobject_cast<QMessageBox*>(modal);
    unexpected_.append(box != nullptr ? box->text() : QString::fromLatin1(modal->metaObject()->className()));
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  QTimer timer_;
  Handler handler_;
  QList<QPointer<QWidget>> handled_;
  QStringList unexpected_;
};

}  // namespace zelk::testing
