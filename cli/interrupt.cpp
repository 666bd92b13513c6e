#include "cli/interrupt.h"

#include <semaphore.h>

#include <cerrno>
#include <csignal>

namespace zelk::cli {
namespace {

// A signal handler may do next to nothing: it puts the earlier handler back
// and wakes the watcher thread (sem_post is safe there), which requests the
// stop.
sem_t interrupted;
struct sigaction earlier {};

extern "C" void onInterrupt(int) {
  ::sigaction(SIGINT, &earlier, nullptr);
  ::sem_post(&interrupted);
}

}  // namespace

InterruptStopsPass::InterruptStopsPass() {
  ::sem_init(&interrupted, 0, 0);
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  // Reads, writes and the terminal carry on undisturbed; the pass stops
  // between blocks.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &earlier);
  watcher_ = std::jthread([this](std::stop_token ending) {
    while (::sem_wait(&interrupted) != 0 && errno == EINTR) {
    }
    if (!ending.stop_requested()) stop_.request_stop();
  });
}

InterruptStopsPass::~InterruptStopsPass() {
  ::sigaction(SIGINT, &earlier, nullptr);
  watcher_.request_stop();
  ::sem_post(&interrupted);
  watcher_.join();
  ::sem_destroy(&interrupted);
}

}  // namespace zelk::cli
