// The pieces of zelk-sfv that need no child process: the --jobs option, the
// progress line's text and the Ctrl+C that stops a pass.

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <string>
#include <vector>

#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/terminal.h"

namespace zelk::cli {
namespace {

TEST(JobsOption, TakesAWholeNumberUpToTheMostWorkersAPassRuns) {
  const struct {
    std::vector<std::string> arguments;
    bool taken;
    int jobs;
    std::size_t next;  // where i stands afterwards
  } cases[] = {
      {{"--jobs", "3"}, true, 3, 1},  {{"--jobs=2"}, true, 2, 0},     {{"--jobs=32"}, true, 32, 0},
      {{"--jobs"}, true, 0, 0},       {{"--jobs", "0"}, true, 0, 1},  {{"--jobs", "x"}, true, 0, 1},
      {{"--jobs=4x"}, true, 0, 0},    {{"--jobs=33"}, true, 0, 0},  {{"--jobs=-1"}, true, 0, 0},
      {{"--jobsy"}, false, -1, 0},    {{"--md5", "--jobs"}, false, -1, 0},
  };
  for (const auto& c : cases) {
    std::size_t i = 0;
    int jobs = -1;
    EXPECT_EQ(takeJobsOption(c.arguments, i, jobs), c.taken) << c.arguments.front();
    EXPECT_EQ(jobs, c.jobs) << c.arguments.front();
    EXPECT_EQ(i, c.next) << c.arguments.front();
  }
}

passes::PassProgress progressOf(std::string name, double speed, double left) {
  return {512, 1024, 1, 4, speed, left, std::move(name)};
}

TEST(ProgressText, TellsFilePercentSpeedAndTimeLeft) {
  const struct {
    passes::PassProgress progress;
    std::string text;
  } cases[] = {
      {progressOf("sub\\a.bin", 0, -1), "sub\\a.bin   50 %"},
      {progressOf("a.bin", 2.5e6, 65.4), "a.bin   50 %  2.5 MB/s  1:06 left"},
      {progressOf("a.bin", 1e9, 3 * 3600 + 2), "a.bin   50 %  1000.0 MB/s  3:00:02 left"},
      {{0, 0, 1, 4, 0, -1, "empty"}, "empty   25 %"},
      {progressOf("line\nbreak", 0, -1), "line?break   50 %"},
  };
  for (const auto& c : cases) EXPECT_EQ(progressText(c.progress, 0), c.text);
}

TEST(ProgressText, LongNameKeepsItsEndAndWholeCharacters) {
  const std::string text = progressText(progressOf("folder/\xC3\xA9t\xC3\xA9.bin", 0, -1), 18);
  EXPECT_EQ(text, "...t\xC3\xA9.bin   50 %");
  EXPECT_LE(text.size(), 18u);
}

TEST(InterruptStopsPass, FirstInterruptRequestsTheStopAndTheEarlierHandlerComesBack) {
  struct sigaction before {};
  ::sigaction(SIGINT, nullptr, &before);
  {
    const InterruptStopsPass interrupt;
    std::promise<void> stopped;
    const std::stop_callback onStop(interrupt.token(), [&stopped] { stopped.set_value(); });
    ASSERT_EQ(::raise(SIGINT), 0);
    stopped.get_future().wait();
    EXPECT_TRUE(interrupt.token().stop_requested());
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, before.sa_handler);
  }
  const InterruptStopsPass unused;
  EXPECT_FALSE(unused.token().stop_requested());
}

}  // namespace
}  // namespace zelk::cli
