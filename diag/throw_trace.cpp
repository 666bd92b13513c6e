#include "diag/throw_trace.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>

namespace zelk::diag {
namespace {

std::atomic<bool> tracking{false};

struct ThreadRecord {
  bool valid = false;
  StackRecord record;
};
thread_local ThreadRecord threadRecord;

// backtrace() loads the unwinder on its first call; a first call from inside
// a throw, or later from a signal handler, must find it loaded.
void loadUnwinder() {
  void* frame[1];
  ::backtrace(frame, 1);
}

}  // namespace

void startThrowTracking() {
  static const bool loaded = (loadUnwinder(), true);
  (void)loaded;
  tracking.store(true, std::memory_order_release);
}

void stopThrowTracking() { tracking.store(false, std::memory_order_release); }

std::optional<StackRecord> latestThrowRecord() {
  if (!threadRecord.valid) return std::nullopt;
  return threadRecord.record;
}

namespace {

// `thrower` is the hook's return address. The frames before it are the
// hook's and this function's, and more where a sanitizer wraps backtrace().
void recordThrow(void* thrower) {
  constexpr int kOwnFrames = 4;
  void* frames[kMaxStackFrames + kOwnFrames];
  const int count = ::backtrace(frames, static_cast<int>(kMaxStackFrames + kOwnFrames));
  int first = 0;
  while (first < count && frames[first] != thrower) ++first;
  if (first == count) first = 0;  // keep them all rather than lose the thrower
  StackRecord& record = threadRecord.record;
  record.size = 0;
  for (int index = first; index < count && record.size < kMaxStackFrames; ++index) {
    record.addresses[record.size++] = reinterpret_cast<std::uintptr_t>(frames[index]);
  }
  ::clock_gettime(CLOCK_REALTIME, &record.time);
  threadRecord.valid = true;
}

// The C++ runtime's own entry point, found behind this one in the lookup
// order (the sanitizer runtime intercepts it too and forwards it in turn).
using ThrowFunction = void (*)(void*, void*, void (*)(void*));
ThrowFunction nextThrow() {
  static const auto next = reinterpret_cast<ThrowFunction>(::dlsym(RTLD_NEXT, "__cxa_throw"));
  return next;
}

}  // namespace
}  // namespace zelk::diag

// Every throw expression calls __cxa_throw; this definition in the program
// comes first in the symbol lookup, so shared libraries' throws arrive here
// as well. The type is void* as the compiler declares it implicitly.
extern "C" [[noreturn]] __attribute__((noinline)) void __cxa_throw(void* thrown, void* type,
                                                                   void (*destroy)(void*)) {
  if (zelk::diag::tracking.load(std::memory_order_acquire)) zelk::diag::recordThrow(__builtin_return_address(0));
  zelk::diag::nextThrow()(thrown, type, destroy);
  __builtin_unreachable();
}
