#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "diag/report.h"
#include "diag/stack_lines.h"
#include "diag/thread_exceptions.h"

namespace zelk::diag {
namespace {

__attribute__((noinline)) void failInWorker() { throw std::runtime_error("worker failed"); }

class ThreadExceptions : public ::testing::Test {
 protected:
  void SetUp() override { startThrowTracking(); }
  void TearDown() override { setThreadExceptionHandler({}); }
};

TEST_F(ThreadExceptions, FailureReachesTheHandlerWithThreadAndStack) {
  std::optional<ThreadFailure> received;
  long workerId = 0;
  setThreadExceptionHandler([&](ThreadFailure failure) { received = std::move(failure); });
  std::thread worker([&] {
    workerId = static_cast<long>(::gettid());
    runReportingExceptions("std::thread", "checker", failInWorker);
  });
  worker.join();

  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->threadId, workerId);
  EXPECT_EQ(received->className, "std::thread");
  EXPECT_EQ(received->name, "checker");
  EXPECT_EQ(describeException(received->exception).message, "worker failed");
  ASSERT_TRUE(received->stack.has_value());
  EXPECT_NE(StackResolver().locate(received->stack->addresses[0]).procedure.find("failInWorker"), std::string::npos);
}

TEST_F(ThreadExceptions, WithoutAHandlerTheExceptionGoesOn) {
  EXPECT_THROW(runReportingExceptions("std::thread", "checker", failInWorker), std::runtime_error);
}

}  // namespace
}  // namespace zelk::diag
