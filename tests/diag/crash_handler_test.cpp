// The crash handler runs in a child process per test (a death test forked
// where it stands, so that the child writes into the parent's folder): the
// child crashes for real, and the parent reads what it left on stderr and in
// its log.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

#include "diag/crash_handler.h"
#include "diag/crash_report.h"
#include "platform/directory.h"
#include "platform/pending_file.h"
#include "tests/support/temp_folder.h"

namespace zelk::diag {
namespace {

class CrashHandler : public ::testing::Test {
 protected:
  // In the child: the handler installed, no core file left behind by a test.
  void prepareToCrash() const {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    installCrashHandler({folder_.path() + "logs/crash.log", Display{800, 600, 24}});
  }

  zelk::testing::TempFolder folder_;
};

// No memory is mapped this low. Not null, which the undefined-behaviour
// sanitizer would catch before the processor does; volatile, so that the
// compiler does not see it coming either.
volatile std::uintptr_t unmappedAddress = 0x10;

__attribute__((noinline)) void writeToUnmappedMemory() { *reinterpret_cast<volatile int*>(unmappedAddress) = 1; }

TEST_F(CrashHandler, SegmentationFaultLeavesAReportAndEndsByTheSignal) {
  EXPECT_EXIT(
      {
        prepareToCrash();
        writeToUnmappedMemory();
      },
      ::testing::KilledBySignal(SIGSEGV), "test_diag crashed: signal SIGSEGV\\.");

  const std::string log = folder_.read("logs/crash.log");
  EXPECT_TRUE(log.starts_with(std::string(100, '=') + "\r\n= ")) << log.substr(0, 300);
  for (const char* expected : {"Signal: SIGSEGV (11), code 1, address 0000000000000010\r\n",
                               "\r\nStack list, generated ", "] test_diag + $", "\r\nSystem   : ",
                               "\r\nDisplay  : 800x600 pixels, 24 bpp\r\n", "\r\nList of loaded modules:\r\n",
                               "/test_diag\r\n", "\r\nStack list with functions and lines:\r\n",
                               "crash_handler_test.zelk::diag::(anonymous namespace)::writeToUnmappedMemory() (Line "}) {
    EXPECT_NE(log.find(expected), std::string::npos) << expected << " is missing in:\n" << log;
  }
}

TEST_F(CrashHandler, UncaughtExceptionIsNamedWithItsThrowStack) {
  EXPECT_EXIT(
      {
        prepareToCrash();
        // Thrown where no test framework catches it.
        std::thread([] { throw std::runtime_error("nobody caught me"); }).join();
      },
      ::testing::KilledBySignal(SIGABRT),
      "test_diag crashed: uncaught exception std::runtime_error: nobody caught me\\.");
  const std::string log = folder_.read("logs/crash.log");
  EXPECT_NE(log.find("\r\nSignal: SIGABRT (6), code -6, sent by process "), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nException stack list, generated "), std::string::npos) << log;
}

TEST_F(CrashHandler, ACrashLeavesNoHalfWrittenFileBehind) {
  EXPECT_EXIT(
      {
        prepareToCrash();
        platform::PendingFile list(folder_.path() + "Music.sfv");
        list.write("half a list", 11);
        std::abort();
      },
      ::testing::KilledBySignal(SIGABRT), "crashed: signal SIGABRT");
  for (const auto& entry : platform::listDirectory(folder_.path()).entries) {
    EXPECT_FALSE(platform::isPendingFileName(entry.name)) << entry.name;
  }
}

TEST_F(CrashHandler, ASecondCrashAppendsAfterAnEmptyLine) {
  for (int crash = 0; crash < 2; ++crash) {
    EXPECT_EXIT(
        {
          prepareToCrash();
          std::abort();
        },
        ::testing::KilledBySignal(SIGABRT), "crashed: signal SIGABRT");
  }
  const std::string log = folder_.read("logs/crash.log");
  EXPECT_NE(log.find("\r\n\r\n" + std::string(100, '=') + "\r\n= "), std::string::npos);
}

TEST(FormatDateTime, CountsCalendarDaysWithTheOffset) {
  const struct {
    std::time_t time;
    long offset;
    std::string text;
  } cases[] = {
      {0, 0, "1970-01-01 00:00:00"},
      {951782400, 0, "2000-02-29 00:00:00"},
      {951782400, -1, "2000-02-28 23:59:59"},
      {1709251199, 7200, "2024-03-01 01:59:59"},
      {4102444800, 0, "2100-01-01 00:00:00"},
      {-86400, 0, "1969-12-31 00:00:00"},
  };
  for (const auto& test : cases) {
    char text[20];
    formatDateTime(test.time, test.offset, text);
    EXPECT_EQ(text, test.text) << test.time;
  }
}

}  // namespace
}  // namespace zelk::diag
