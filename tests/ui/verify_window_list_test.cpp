// Which list the verify window checks, and whether it asks the mode first:
// the folder's list or the one it was given, with the chooser only where its
// modes decide how the lines are read.

#include <QCheckBox>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/modal_watcher.h"
#include "tests/ui/verify_window_fixture.h"

namespace zelk::ui::verify_test {
namespace {

// The digests of kCheckText as sha256sum and b3sum print them.
constexpr char kCheckSha256[] = "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225";
constexpr char kCheckBlake3[] = "b7d65b48420d1033cb2595293263b6f72eabee20d55e699d0df1973b3c9deed1";
const Line kCheckIntact{"FILE: check.txt CRC OK.", "green"};

// Answers every mode chooser with its default and counts them; any other
// modal window fails the test.
class ChooserCount {
 public:
  ChooserCount() {
    modals_.setHandler([this](QWidget* modal) {
      auto* chooser = qobject_cast<ModeChooser*>(modal);
      ASSERT_NE(chooser, nullptr) << modal->metaObject()->className();
      ++asked;
      chooser->accept();
    });
  }
  int asked = 0;

 private:
  zelk::testing::ModalWatcher modals_;
};

TEST_F(VerifyWindowTest, AsksTheModeOnlyWhereItDecidesHowTheLinesAreRead) {
  const struct {
    std::string listName;
    std::string entry;
    bool asks;
    std::string modeLabel;
  } cases[] = {
      {"files.sfv", "check.txt " + std::string(kCheckCrc), true, "CRC32-MODE"},
      {"files.md5", std::string(kAbcMd5) + " *abc.txt", true, "MD5-MODE"},
      {"files.sha256", std::string(kCheckSha256) + "  check.txt", false, "SHA-256-MODE"},
      {"SHA256SUMS", std::string(kCheckSha256) + "  check.txt", false, "SHA-256-MODE"},
      {"files.b3", std::string(kCheckBlake3) + "  check.txt", false, "BLAKE3-MODE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listName);
    zelk::testing::TempFolder folder;
    folder.write("check.txt", kCheckText);
    folder.write("abc.txt", "abc");
    folder.write(c.listName, listOf({c.entry}));
    ASSERT_TRUE(platform::setCurrentDirectory(folder.path()));
    const ChooserCount choosers;
    const auto window = openWindow();
    EXPECT_EQ(choosers.asked, c.asks ? 1 : 0);
    const std::vector<Line> report = reportOf(*window);
    ASSERT_EQ(report.size(), 5u);
    EXPECT_EQ(report[0].colour, "green") << report[0];
    EXPECT_EQ(text(window->modeLabel), c.modeLabel);
    EXPECT_EQ(text(window->closeButton), "&Close") << "the captions are set without a question too";
  }
}

TEST_F(VerifyWindowTest, GivenListIsCheckedWhicheverTheFolderSearchWouldPick) {
  folder_.write("check.txt", kCheckText);
  folder_.write("sub/check.txt", "changed");
  folder_.write("a.sfv", listOf({"check.txt " + std::string(kCheckCrc)}));
  folder_.write("z.sfv", listOf({"check.txt 00000000"}));
  folder_.write("b.sha256", std::string(kCheckSha256) + "  check.txt\n");
  folder_.write("sub/s.sha256", std::string(kCheckSha256) + "  check.txt\n");
  const struct {
    std::string listName;  // empty: the folder's, z.sfv, the last in name order
    bool asks;
    Line firstLine;
  } cases[] = {
      {"", true, {"FILE: check.txt CRC ERROR. File was modified, check it.  ", "red"}},
      {"b.sha256", false, kCheckIntact},
      {"a.sfv", true, kCheckIntact},
      {"sub/s.sha256", false, {"FILE: check.txt CRC ERROR. File was modified, check it.  ", "red"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listName);
    const ChooserCount choosers;
    const auto window = openWindow(nullptr, c.listName);
    EXPECT_EQ(choosers.asked, c.asks ? 1 : 0);
    const std::vector<Line> report = reportOf(*window);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report[0], c.firstLine);
    EXPECT_EQ(report.size(), 5u) << "one entry and the counts";
  }
}

TEST_F(VerifyWindowTest, FilesNotInAGivenListAreThoseOfItsFolder) {
  folder_.write("sub/check.txt", kCheckText);
  folder_.write("sub/added.txt", "new");
  folder_.write("beside.txt", "not in sub");
  folder_.write("sub/s.sha256", std::string(kCheckSha256) + "  check.txt\n");
  const auto window = openWindow(nullptr, "sub/s.sha256");
  ASSERT_TRUE(window->unlistedBox->isEnabled());
  QSignalSpy searched(window.get(), &VerifyWindow::unlistedSearched);
  window->unlistedBox->setChecked(true);
  ASSERT_TRUE(searched.wait(60000)) << "the search did not end";
  const std::vector<Line> report = reportOf(*window);
  const std::vector<Line> section(report.end() - 3, report.end());
  EXPECT_EQ(section, (std::vector<Line>{{" ", "default"}, {"Files not in the list: 1", "default"}, {"added.txt", "default"}}));
}

TEST_F(VerifyWindowTest, GivenNameThatIsNoReadableListIsSaidAndTheWindowCloses) {
  folder_.makeFolder("folder.sha256");
  folder_.write("a.sfv", listOf({"check.txt " + std::string(kCheckCrc)}));
  const struct {
    std::string listName;
    std::string message;
  } cases[] = {
      {"missing.sha256", "The list \"missing.sha256\" cannot be read: No such file or directory."},
      {"missing.sfv", "The list \"missing.sfv\" cannot be read: No such file or directory."},
      {"folder.sha256", "The list \"folder.sha256\" cannot be read: not a regular file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listName);
    modal::ShownMessage message;
    zelk::testing::ModalWatcher modals;
    modals.setHandler(modal::acceptChooserThenRecordMessageBox(message));
    const auto window = openWindow(nullptr, c.listName);
    QCoreApplication::processEvents();
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.text, c.message);
    EXPECT_TRUE(window->reportView->toPlainText().isEmpty());
    EXPECT_FALSE(window->isVisible());
  }
}

}  // namespace
}  // namespace zelk::ui::verify_test
