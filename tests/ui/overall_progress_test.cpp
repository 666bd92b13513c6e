// The overall progress: its text, and how far its bar reaches.

#include <QLocale>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/temp_folder.h"
#include "platform/directory.h"
#include "ui/overall_progress.h"

namespace zelk::ui {
namespace {

constexpr std::int64_t kMiB = 1024 * 1024;

class OverallProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setProgramFolderForTesting(programFolder_.path());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  void TearDown() override {
    QLocale::setDefault(QLocale::system());
    platform::setProgramFolderForTesting("");
  }

  passes::PassProgress progress(std::int64_t bytesDone, std::int64_t bytesTotal, double bytesPerSecond = 0,
                                double secondsLeft = -1) {
    return {bytesDone, bytesTotal, 3, 10, bytesPerSecond, secondsLeft, "a.bin"};
  }

  zelk::testing::TempFolder programFolder_;  // for language.lng
};

TEST_F(OverallProgressTest, TextGivesFilesAndBytesThenSpeedAndTimeLeftOnceMeasured) {
  const struct {
    passes::PassProgress progress;
    std::string text;
  } cases[] = {
      {progress(512 * kMiB, 2048 * kMiB), "3 of 10 files, 512.0 MiB of 2.0 GiB"},
      {progress(512 * kMiB, 2048 * kMiB, 0, 12), "3 of 10 files, 512.0 MiB of 2.0 GiB"},
      {progress(512 * kMiB, 2048 * kMiB, 256.0 * kMiB, 4.2), "3 of 10 files, 512.0 MiB of 2.0 GiB, 256.0 MiB/s, 0:05 left"},
      {progress(0, 900, 300, 125), "3 of 10 files, 0 bytes of 900 bytes, 300 bytes/s, 2:05 left"},
      {progress(kMiB, 5000 * kMiB, kMiB, 3723), "3 of 10 files, 1.0 MiB of 4.9 GiB, 1.0 MiB/s, 1:02:03 left"},
  };
  for (const auto& c : cases) EXPECT_EQ(overallProgressText(c.progress).toStdString(), c.text);
}

TEST_F(OverallProgressTest, TranslationIsUsedAndABrokenOneFallsBackToTheBuiltInText) {
  programFolder_.write("language.lng", "[PROG]\r\nPASS_PROGRESS=%d/%d Dateien, %s von %s\r\nPASS_SPEED=%d\r\n");
  EXPECT_EQ(overallProgressText(progress(kMiB, 2 * kMiB, kMiB, 1)).toStdString(),
            "3/10 Dateien, 1.0 MiB von 2.0 MiB, 1.0 MiB/s, 0:01 left");
}

TEST_F(OverallProgressTest, BarReachesAsFarAsTheBytesOrWithoutBytesTheFiles) {
  QWidget parent;
  QProgressBar* bar = makeOverallProgress(&parent, QRect(0, 0, 300, 18));
  EXPECT_TRUE(bar->isHidden());
  const struct {
    passes::PassProgress progress;
    double share;
  } cases[] = {
      {progress(0, 4 * kMiB), 0.0},
      {progress(kMiB, 4 * kMiB), 0.25},
      {progress(4 * kMiB, 4 * kMiB), 1.0},
      {progress(0, 0), 0.3},  // 3 of 10 files, all of them empty
  };
  for (const auto& c : cases) {
    showOverallProgress(*bar, c.progress);
    EXPECT_DOUBLE_EQ(static_cast<double>(bar->value()) / bar->maximum(), c.share);
    EXPECT_EQ(bar->text(), overallProgressText(c.progress));
  }
}

}  // namespace
}  // namespace zelk::ui
