// Throws are recorded where they happen, and the record resolves to this
// file's functions and lines through the debug information.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "diag/stack_lines.h"
#include "diag/throw_trace.h"

namespace zelk::diag {
namespace {

int throwLine = 0;

__attribute__((noinline)) void throwRuntimeError() {
  throwLine = __LINE__ + 1;
  throw std::runtime_error("recorded");
}

int callLine = 0;

[[gnu::always_inline]] inline void throwInlined() { throw std::runtime_error("inlined"); }

__attribute__((noinline)) void callInlinedThrower() {
  callLine = __LINE__ + 1;
  throwInlined();
}

// The standard library throws from its own shared object.
__attribute__((noinline)) int readPastTheEnd(const std::vector<int>& numbers) { return numbers.at(numbers.size()); }

class ThrowTrace : public ::testing::Test {
 protected:
  void SetUp() override { startThrowTracking(); }

  // The record of catching what `thrower` throws.
  template <typename Thrower>
  static StackRecord recordOf(Thrower thrower) {
    try {
      thrower();
    } catch (...) {
    }
    const std::optional<StackRecord> record = latestThrowRecord();
    EXPECT_TRUE(record.has_value());
    return record.value_or(StackRecord{});
  }

  static bool mentions(const StackRecord& record, const std::string& text) {
    for (const std::string& line : stackLines(record)) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(ThrowTrace, RecordStartsInTheThrowingFunctionWithItsFileAndLine) {
  const StackRecord record = recordOf(throwRuntimeError);
  ASSERT_GT(record.size, 1u);
  EXPECT_EQ(throwAddress(record), record.addresses[0]);
  const CodeLocation location = StackResolver().locate(record.addresses[0]);
  EXPECT_NE(location.procedure.find("throwRuntimeError"), std::string::npos) << location.procedure;
  EXPECT_TRUE(location.file.ends_with("throw_trace_test.cpp")) << location.file;
  EXPECT_EQ(location.line, throwLine);
  EXPECT_EQ(location.unit, "throw_trace_test");
  EXPECT_GT(record.time.tv_sec, 0);
}

TEST_F(ThrowTrace, InlinedThrowIsShownAtItsCallInTheNamedFunction) {
  const StackRecord record = recordOf(callInlinedThrower);
  const CodeLocation location = StackResolver().locate(throwAddress(record));
  EXPECT_NE(location.procedure.find("callInlinedThrower"), std::string::npos) << location.procedure;
  EXPECT_EQ(location.unit, "throw_trace_test");
  EXPECT_EQ(location.line, callLine);
}

TEST_F(ThrowTrace, ThrowsInsideTheStandardLibraryAreRecordedToo) {
  const std::vector<int> numbers = {1, 2};
  const StackRecord record = recordOf([&] { readPastTheEnd(numbers); });
  EXPECT_TRUE(mentions(record, "readPastTheEnd")) << "the library's throw did not pass the hook";
}

TEST_F(ThrowTrace, RethrowKeepsTheRecordOfTheOriginalThrow) {
  const StackRecord record = recordOf([] {
    try {
      throwRuntimeError();
    } catch (...) {
      throw;
    }
  });
  EXPECT_TRUE(mentions(record, "throwRuntimeError"));
}

TEST_F(ThrowTrace, NothingIsRecordedWhileTrackingIsOff) {
  const StackRecord before = recordOf(throwRuntimeError);
  stopThrowTracking();
  const std::vector<int> empty;
  const StackRecord after = recordOf([&] { readPastTheEnd(empty); });
  EXPECT_EQ(after.addresses, before.addresses);
}

TEST_F(ThrowTrace, EachThreadKeepsItsOwnRecord) {
  const StackRecord mine = recordOf(throwRuntimeError);
  std::optional<StackRecord> workers;
  std::thread worker([&] {
    const std::vector<int> empty;
    workers = recordOf([&] { readPastTheEnd(empty); });
  });
  worker.join();
  ASSERT_TRUE(workers.has_value());
  EXPECT_TRUE(mentions(*workers, "readPastTheEnd"));
  EXPECT_EQ(latestThrowRecord()->addresses, mine.addresses);
}

}  // namespace
}  // namespace zelk::diag
