#pragma once
// Observers for a pass on a PassRunner's worker: each call is handed to the
// window's own observer on the GUI thread, in the order the pass made it. The
// overwrite question waits for the user's answer; a cancelled pass takes "no".

#include <string>

#include "passes/create_pass.h"
#include "passes/verify_pass.h"
#include "ui/pass_runner.h"

namespace zelk::ui {

// The progress calls both observers share.
template <class Observer>
class QueuedProgress : public Observer {
 public:
  QueuedProgress(PassRunner& runner, Observer& target) : runner_(runner), target_(target) {}

  void showProgress() override { forward(&Observer::showProgress); }
  void setProgress(int percent) override { forward(&Observer::setProgress, percent); }
  void hideProgress() override { forward(&Observer::hideProgress); }
  void passProgress(const passes::PassProgress& progress) override { forward(&Observer::passProgress, progress); }

 protected:
  // Posts `call(target, arguments...)`; the arguments are copied.
  template <class Call, class... Arguments>
  void forward(Call call, Arguments... arguments) {
    runner_.post([&target = target_, call, arguments...] { (target.*call)(arguments...); });
  }

  PassRunner& runner_;
  Observer& target_;
};

class QueuedCreateObserver final : public QueuedProgress<passes::CreateObserver> {
 public:
  using QueuedProgress::QueuedProgress;

  bool confirmOverwrite(const std::string& question) override;
  void clearResultTexts() override;
  void memoLine(const std::string& line) override;
  void noteLine(const std::string& line) override;
  void timeText(const std::string& text) override;
  void completionText(const std::string& text) override;
  void errorMessage(const std::string& text) override;
};

class QueuedVerifyObserver final : public QueuedProgress<passes::VerifyObserver> {
 public:
  using QueuedProgress::QueuedProgress;

  void creatorText(const std::string& text) override;
  void commentText(const std::string& text) override;
  void entryKind(engines::ChecksumKind kind) override;
  void entryChecked(const passes::CheckedEntry& entry) override;
  void reportLine(const std::string& text, passes::ReportColour colour) override;
  void errorMessage(const std::string& text) override;
};

}  // namespace zelk::ui
