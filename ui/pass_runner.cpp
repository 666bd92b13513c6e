#include "ui/pass_runner.h"

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
  post([this, failure] { finish(failure); });
}

void PassRunner::finish(const std::exception_ptr& failure) {
  worker_.join();
  emit finished();
  if (failure) std::rethrow_exception(failure);
}

void PassRunner::post(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
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
