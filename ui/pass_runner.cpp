#include "ui/pass_runner.h"

#include <chrono>
#include <utility>

#include "diag/thread_exceptions.h"

namespace zelk::ui {

PassRunner::PassRunner(std::string name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

PassRunner::~PassRunner() {
  if (!worker_.joinable()) return;
  stop_.request_stop();
  worker_.join();
}

bool PassRunner::start(Pass pass) {
  if (isRunning()) return false;
  stop_ = std::stop_source();
  worker_ = std::thread([this, pass = std::move(pass), stop = stop_.get_token()] { runOnWorker(pass, stop); });
  return true;
}

void PassRunner::runOnWorker(const Pass& pass, std::stop_token stop) {
  std::exception_ptr failure;
  try {
    diag::runReportingExceptions("PassRunner", name_, [&] { pass(stop); });
  } catch (...) {
    // No report route is installed: the GUI thread's catch point gets it.
    failure = std::current_exception();
  }
  // After every call of the pass, and, as an event of its own, after the
  // report of a failure that the report route posted to the application.
  post([this, failure] {
    QMetaObject::invokeMethod(this, [this, failure] { finish(failure); }, Qt::QueuedConnection);
  });
}

void PassRunner::finish(const std::exception_ptr& failure) {
  worker_.join();
  emit finished();
  if (failure) std::rethrow_exception(failure);
}

void PassRunner::post(std::function<void()> call) {
  const std::lock_guard lock(callsMutex_);
  calls_.push_back(std::move(call));
  if (runScheduled_) return;
  runScheduled_ = true;
  scheduleRun();
}

void PassRunner::scheduleRun() {
  QMetaObject::invokeMethod(this, &PassRunner::runPostedCalls, Qt::QueuedConnection);
}

void PassRunner::runPostedCalls() {
  // Long enough to run thousands of short calls, short enough that the
  // window repaints and takes a click between two slices.
  constexpr std::chrono::milliseconds kSlice(20);
  const auto sliceEnd = std::chrono::steady_clock::now() + kSlice;
  while (std::chrono::steady_clock::now() < sliceEnd) {
    std::function<void()> call;
    {
      const std::lock_guard lock(callsMutex_);
      if (calls_.empty()) {
        runScheduled_ = false;
        return;
      }
      call = std::move(calls_.front());
      calls_.pop_front();
    }
    try {
      call();
    } catch (...) {
      // The calls after it still run, after the catch point has had this.
      scheduleRun();
      throw;
    }
  }
  scheduleRun();
}

bool PassRunner::ask(std::function<bool()> question, bool whenCancelled) {
  // Shared: a cancelled pass stops waiting, and the answer may still come.
  auto answer = std::make_shared<Answer>();
  post([answer, question = std::move(question), whenCancelled] {
    try {
      answer->give(question());
    } catch (...) {
      // A question that failed must not leave the pass waiting for ever.
      answer->give(whenCancelled);
      throw;
    }
  });
  std::unique_lock lock(answer->mutex);
  if (!answer->given.wait(lock, stop_.get_token(), [&] { return answer->value.has_value(); })) return whenCancelled;
  return *answer->value;
}

void PassRunner::Answer::give(bool answer) {
  const std::lock_guard lock(mutex);
  value = answer;
  given.notify_all();
}

}  // namespace zelk::ui
