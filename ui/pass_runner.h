#pragma once
// Runs one pass at a time on a worker thread, so that the window it belongs to
// keeps painting and answering while the pass reads and hashes. The pass talks
// to its window only through post() and ask(): their calls run on the GUI
// thread in the order the pass made them.

#include <QObject>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace zelk::ui {

class PassRunner : public QObject {
  Q_OBJECT
 public:
  using Pass = std::function<void(std::stop_token)>;

  // `name` names the worker in an error report ("create pass").
  explicit PassRunner(std::string name, QObject* parent = nullptr);
  // Cancels a running pass and waits for it to end; calls it had not
  // delivered yet are dropped. The pass never waits on the GUI thread once
  // cancelled, so this cannot deadlock.
  ~PassRunner() override;

  // Starts `pass` on a new worker thread; false, and nothing started, while
  // a pass runs. What `pass` throws ends it and is reported on the GUI thread
  // through the program's exception report (the plain error box when none is
  // installed); finished() follows in either case.
  bool start(Pass pass);
  bool isRunning() const { return worker_.joinable(); }
  // Asks the running pass to stop; it ends soon after with finished().
  void cancel() { stop_.request_stop(); }
  bool cancelRequested() const { return isRunning() && stop_.stop_requested(); }

  // For the pass's thread: runs `call` on the GUI thread after every call
  // posted before it, without waiting for it. However fast a pass posts, the
  // GUI thread runs its calls in slices and paints and answers between them.
  void post(std::function<void()> call);
  // For the pass's thread: runs `question` on the GUI thread and waits for
  // its answer; `whenCancelled` if the pass is cancelled before it comes.
  bool ask(std::function<bool()> question, bool whenCancelled);

 signals:
  // On the GUI thread, after every call the pass posted has run.
  void finished();

 private:
  struct Answer {
    std::mutex mutex;
    std::condition_variable_any given;
    std::optional<bool> value;
    void give(bool answer);
  };

  void runOnWorker(const Pass& pass, std::stop_token stop);
  void finish(const std::exception_ptr& failure);
  // Runs posted calls for one slice of time, then leaves the rest for later.
  void runPostedCalls();
  void scheduleRun();

  std::string name_;
  std::mutex callsMutex_;
  std::deque<std::function<void()>> calls_;  // posted, not run yet
  bool runScheduled_ = false;                // a runPostedCalls is on its way
  std::stop_source stop_;
  std::thread worker_;
};

}  // namespace zelk::ui
