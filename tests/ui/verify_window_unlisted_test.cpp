// The verify window's check box for the files the list does not know.

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/verify_window_fixture.h"

namespace zelk::ui::verify_test {
namespace {

const std::vector<Line> kReport = {{"FILE: check.txt CRC OK.", "green"},
                                   {" ", "green"},
                                   {"Files checked: 1", "green"},
                                   {"Files modified: 0  --> File's delete:0", "green"},
                                   {"Files CRC OK: 1", "green"}};

TEST_F(VerifyWindowTest, UnlistedSectionComesAndGoesWithTheCheckBox) {
  folder_.write("check.txt", kCheckText);
  folder_.write("added.txt", "new");
  folder_.write("a.sfv", listOf({"check.txt cbf43926"}));
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_TRUE(window->unlistedBox->isEnabled());
  EXPECT_FALSE(window->unlistedBox->isChecked());
  EXPECT_EQ(window->unlistedBox->text().toStdString(), "Not in list");
  EXPECT_EQ(reportOf(*window), kReport);

  QSignalSpy searched(window.get(), &VerifyWindow::unlistedSearched);
  window->unlistedBox->setChecked(true);
  EXPECT_FALSE(window->unlistedBox->isEnabled());
  EXPECT_FALSE(window->saveButton->isEnabled());
  ASSERT_TRUE(searched.wait(60000)) << "the search did not end";
  EXPECT_TRUE(window->unlistedBox->isEnabled());
  EXPECT_TRUE(window->saveButton->isEnabled());
  std::vector<Line> withSection = kReport;
  withSection.insert(withSection.end(),
                     {{" ", "default"}, {"Files not in the list: 1", "default"}, {"added.txt", "default"}});
  EXPECT_EQ(reportOf(*window), withSection);
  EXPECT_NE(window->reportRuns().back().text.find("added.txt"), std::string::npos);

  window->unlistedBox->setChecked(false);
  EXPECT_EQ(reportOf(*window), kReport);
}

TEST_F(VerifyWindowTest, UnlistedBoxStaysOffWithoutAList) {
  folder_.write("added.txt", "new");
  chooseMode(ChecksumMode::Automatic);
  const auto window = openWindow();
  EXPECT_FALSE(window->unlistedBox->isEnabled());
  EXPECT_TRUE(window->reportView->document()->isEmpty());
}

}  // namespace
}  // namespace zelk::ui::verify_test
