#pragma once
// How an engine reports the progress of a file it reads in blocks.

namespace zelk::engines {

// The three progress-bar operations a front end offers the engines. Positions
// run from 0 to 100; an engine shows the bar before the first block, sets it
// only when the percentage rises, and hides it after the last block.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void showProgress() = 0;
  virtual void setProgress(int percent) = 0;
  virtual void hideProgress() = 0;
};

// For callers that show no progress.
class NoProgress final : public ProgressSink {
 public:
  void showProgress() override {}
  void setProgress(int) override {}
  void hideProgress() override {}
};

}  // namespace zelk::engines
