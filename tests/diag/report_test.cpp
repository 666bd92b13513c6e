#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "diag/report.h"
#include "diag/thread_exceptions.h"

namespace zelk::diag {
namespace {

const std::string kSeparator(100, '-');

struct CustomError : std::logic_error {
  using std::logic_error::logic_error;
};

std::vector<std::string> headingsOf(const std::vector<std::string>& lines) {
  std::vector<std::string> headings;
  bool next = true;
  for (const std::string& line : lines) {
    if (next) headings.push_back(line.substr(0, 11));
    next = line == kSeparator;
  }
  return headings;
}

TEST(NormalizedMessage, EndsWithAFullStopAndUsesCrLf) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Disk full", "Disk full."},
      {"Disk full.", "Disk full."},
      {"", "."},
      {"one\ntwo", "one\r\ntwo."},
      {"one\rtwo\r\nthree\n\nfour.", "one\r\ntwo\r\nthree\r\n\r\nfour."},
      {"ends with a break\n", "ends with a break\r\n."},
  };
  for (const auto& test : cases) EXPECT_EQ(normalizedMessage(test.message), test.shown) << test.message;
}

TEST(DescribeException, NamesTheDynamicClassAndItsMessage) {
  const auto facts = [](auto thrown) { return describeException(std::make_exception_ptr(thrown)); };
  const ExceptionFacts custom = facts(CustomError("bad state"));
  EXPECT_EQ(custom.className, "zelk::diag::(anonymous namespace)::CustomError");
  EXPECT_EQ(custom.message, "bad state");
  const ExceptionFacts number = facts(42);
  EXPECT_EQ(number.className, "int");
  EXPECT_EQ(number.message, "");
}

TEST(FirstDetailLines, NameClassAndThrowAddressOrThread) {
  EXPECT_EQ(firstDetailLines("std::runtime_error", 0x55D0ABCDEF01u),
            (std::vector<std::string>{"Exception class: std::runtime_error",
                                      "Exception address: 000055D0ABCDEF01", kSeparator}));
  ThreadFailure failure;
  failure.threadId = 0x1F2E;
  failure.className = "std::thread";
  failure.name = "verify pass";
  EXPECT_EQ(threadDescription(failure), "00001F2E [std::thread] \"verify pass\"");
  EXPECT_EQ(firstDetailLines("E", threadDescription(failure)),
            (std::vector<std::string>{"Exception class: E", "Thread: 00001F2E [std::thread] \"verify pass\"",
                                      kSeparator}));
}

TEST(DetailLines, SectionsComeInTheirOrderAndOnlyWithTheirData) {
  DetailInputs inputs;
  inputs.focusChain = {{"QLineEdit", "folderField"}, {"zelk::ui::MainWindow", ""}};
  const std::vector<std::string> all = detailLines(kAllSections, inputs);
  EXPECT_EQ(headingsOf(all), (std::vector<std::string>{"System   : ", "List of loa", "Active Cont"}))
      << "no stack section without a record";
  EXPECT_EQ(std::vector<std::string>(all.end() - 4, all.end()),
            (std::vector<std::string>{"Active Controls hiearchy:", "QLineEdit \"folderField\"",
                                      "zelk::ui::MainWindow \"\"", kSeparator}));

  inputs.stack = StackRecord{};
  inputs.stack->size = 1;
  inputs.stack->addresses[0] = 0x10;
  inputs.focusChain.clear();
  const std::vector<std::string> stackAndSystem = detailLines(kStackList | kSystemInfo | kActiveControls, inputs);
  EXPECT_EQ(headingsOf(stackAndSystem), (std::vector<std::string>{"Stack list,", "System   : "}));
  EXPECT_EQ(stackAndSystem[1], "[0000000000000010]");
}

TEST(ReportText, IsMessageEmptyLineAndDetailsWithCrLf) {
  const std::vector<std::string> details = {"Exception class: E", kSeparator};
  const std::string expected = "Disk full.\r\n\r\nException class: E\r\n" + kSeparator + "\r\n";
  EXPECT_EQ(reportText("Disk full.", details), expected);
  EXPECT_EQ(reportText("Disk full.\r\n", details), expected);
  EXPECT_EQ(reportText("two\r\nlines.", {}), "two\r\nlines.\r\n\r\n");
}

}  // namespace
}  // namespace zelk::diag
