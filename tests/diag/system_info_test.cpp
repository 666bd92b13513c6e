#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/system_info.h"

namespace zelk::diag {
namespace {

TEST(NormalisedMegahertz, MovesTheLastTwoDigitsToTheNearestSalesStep) {
  const struct {
    int measured;
    int normalised;
  } cases[] = {
      {2394, 2390}, {1995, 2000}, {733, 733},  {2100, 2100}, {2409, 2400}, {2410, 2420}, {2425, 2420},
      {2427, 2433}, {2455, 2460}, {2463, 2466}, {2473, 2480}, {2485, 2490}, {99, 100},   {0, 0},
  };
  for (const auto& test : cases) EXPECT_EQ(normalisedMegahertz(test.measured), test.normalised) << test.measured;
}

TEST(OsReleaseValue, UnquotesAndUnescapesTheValue) {
  const std::string osRelease =
      "NAME=\"Debian GNU/Linux\"\n"
      "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
      "VARIANT='Server Edition'\n"
      "ID=debian\n"
      "BUG_REPORT_URL=\"https://example.org/say \\\"hi\\\"\"\n";
  const struct {
    const char* key;
    std::string value;
  } cases[] = {
      {"PRETTY_NAME", "Debian GNU/Linux 12 (bookworm)"},
      {"VARIANT", "Server Edition"},
      {"ID", "debian"},
      {"BUG_REPORT_URL", "https://example.org/say \"hi\""},
      {"VERSION_ID", ""},
  };
  for (const auto& test : cases) EXPECT_EQ(osReleaseValue(osRelease, test.key), test.value) << test.key;
}

TEST(SetKernelVersion, TakesTheFirstThreeNumbers) {
  const struct {
    const char* release;
    int major, minor, build;
  } cases[] = {
      {"6.1.0-18-amd64", 6, 1, 0},
      {"5.15.133.1-microsoft-standard-WSL2", 5, 15, 133},
      {"6.8", 6, 8, 0},
      {"", 0, 0, 0},
  };
  for (const auto& test : cases) {
    OperatingSystem system;
    setKernelVersion(test.release, system);
    EXPECT_EQ(system.majorVersion, test.major) << test.release;
    EXPECT_EQ(system.minorVersion, test.minor) << test.release;
    EXPECT_EQ(system.build, test.build) << test.release;
  }
}

TEST(ParseCpuInfo, ReadsTheFirstProcessor) {
  const std::string cpuInfo =
      "processor\t: 0\n"
      "vendor_id\t: GenuineIntel\n"
      "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n"
      "cpu MHz\t\t: 2394.454\n"
      "flags\t\t: fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat pse36 clflush mmx fxsr sse\n"
      "\n"
      "processor\t: 1\n"
      "vendor_id\t: AuthenticAMD\n"
      "cpu MHz\t\t: 3000.000\n";
  const Processor processor = parseCpuInfo(cpuInfo);
  EXPECT_EQ(processor.vendor, "GenuineIntel");
  EXPECT_EQ(processor.model, "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
  EXPECT_EQ(processor.megahertz, 2394);
  EXPECT_TRUE(processor.mmx);
  EXPECT_FALSE(parseCpuInfo("flags\t: fpu mmxext sse\n").mmx) << "only the whole word counts";
}

TEST(SystemLines, FollowTheReportLayout) {
  OperatingSystem system{"Debian GNU/Linux 12 (bookworm)", "", 6, 1, 2600, "6.1.0-18-amd64 #1 SMP"};
  Processor processor{"GenuineIntel", "Pentium", 2394, true, true};
  const std::vector<std::string> expected = {
      "System   : Debian GNU/Linux 12 (bookworm) , Version: 6.1, Build: A28, \"6.1.0-18-amd64 #1 SMP\"",
      "Processor: GenuineIntel, Pentium, 2390 MHz MMX [FDIV Bug]",
      "Display  : 1920x1080 pixels, 24 bpp",
  };
  EXPECT_EQ(systemLines(system, processor, Display{1920, 1080, 24}), expected);

  processor.mmx = false;
  processor.fdivFlaw = false;
  const std::vector<std::string> withoutDisplay = {expected[0], "Processor: GenuineIntel, Pentium, 2390 MHz "};
  EXPECT_EQ(systemLines(system, processor, std::nullopt), withoutDisplay);
}

}  // namespace
}  // namespace zelk::diag
