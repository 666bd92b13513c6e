// The worker a pass runs on: its calls reach the GUI thread in order, its
// questions wait for their answer or the cancel, and its failures and its end
// are delivered there too.

#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include "tests/ui/modal_answers.h"
#include "tests/ui/modal_watcher.h"
#include "ui/pass_runner.h"

namespace zelk::ui {
namespace {

// Waits for the runner's finished signal; false if it did not come.
bool waitForEnd(QSignalSpy& finished) { return finished.count() > 0 || finished.wait(20000); }

TEST(PassRunner, CallsRunOnTheGuiThreadInTheOrderPostedAndFinishedComesLast) {
  PassRunner runner("test pass");
  QSignalSpy finished(&runner, &PassRunner::finished);
  std::vector<int> delivered;
  bool allOnGuiThread = true;
  ASSERT_TRUE(runner.start([&](std::stop_token) {
    for (int call = 0; call < 500; ++call) {
      runner.post([&, call] {
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
        delivered.push_back(call);
      });
    }
  }));
  EXPECT_TRUE(runner.isRunning());
  ASSERT_TRUE(waitForEnd(finished));
  ASSERT_EQ(delivered.size(), 500u);
  for (int call = 0; call < 500; ++call) EXPECT_EQ(delivered[static_cast<std::size_t>(call)], call);
  EXPECT_TRUE(allOnGuiThread);
  EXPECT_FALSE(runner.isRunning());
}

TEST(PassRunner, AFloodOfCallsLeavesTheGuiThreadRoomForOtherEvents) {
  PassRunner runner("test pass");
  QSignalSpy finished(&runner, &PassRunner::finished);
  constexpr int kCalls = 200;
  int callsRun = 0;
  int callsRunWhenTheTimerFired = -1;
  runner.start([&](std::stop_token) {
    runner.post([&] { QTimer::singleShot(0, [&] { callsRunWhenTheTimerFired = callsRun; }); });
    // Each call takes a millisecond: all of them together far more than a slice.
    for (int call = 0; call < kCalls; ++call) {
      runner.post([&] {
        QThread::msleep(1);
        ++callsRun;
      });
    }
  });
  ASSERT_TRUE(waitForEnd(finished));
  EXPECT_EQ(callsRun, kCalls);
  EXPECT_GE(callsRunWhenTheTimerFired, 0);
  EXPECT_LT(callsRunWhenTheTimerFired, kCalls) << "the timer waited for every call";
}

TEST(PassRunner, SecondStartWhileRunningIsRefused) {
  PassRunner runner("test pass");
  QSignalSpy finished(&runner, &PassRunner::finished);
  ASSERT_TRUE(runner.start([](std::stop_token stop) {
    while (!stop.stop_requested()) QThread::msleep(1);
  }));
  bool secondRan = false;
  EXPECT_FALSE(runner.start([&secondRan](std::stop_token) { secondRan = true; }));
  runner.cancel();
  ASSERT_TRUE(waitForEnd(finished));
  EXPECT_FALSE(secondRan);
  EXPECT_EQ(finished.count(), 1);
}

TEST(PassRunner, QuestionWaitsForTheAnswerOfTheGuiThread) {
  for (const bool answer : {true, false}) {
    PassRunner runner("test pass");
    QSignalSpy finished(&runner, &PassRunner::finished);
    std::optional<bool> received;
    runner.start([&](std::stop_token) { received = runner.ask([answer] { return answer; }, !answer); });
    ASSERT_TRUE(waitForEnd(finished));
    EXPECT_EQ(received, answer);
  }
}

TEST(PassRunner, CancelWhileTheQuestionIsOpenGivesTheCancelledAnswerAtOnce) {
  PassRunner runner("test pass");
  QSignalSpy finished(&runner, &PassRunner::finished);
  std::atomic<int> received = -1;
  bool answeredAfterThePassHadItsAnswer = false;
  runner.start([&](std::stop_token) {
    received = runner.ask(
                   [&] {
                     runner.cancel();
                     // The user has not answered yet; the pass must not wait for it.
                     answeredAfterThePassHadItsAnswer = QTest::qWaitFor([&] { return received != -1; }, 20000);
                     return true;
                   },
                   false)
                   ? 1
                   : 0;
  });
  ASSERT_TRUE(waitForEnd(finished));
  EXPECT_TRUE(answeredAfterThePassHadItsAnswer);
  EXPECT_EQ(received, 0);
}

TEST(PassRunner, DestroyingTheRunnerCancelsThePassAndWaitsForIt) {
  auto runner = std::make_unique<PassRunner>("test pass");
  std::atomic<bool> sawStop = false;
  std::atomic<bool> started = false;
  runner->start([&](std::stop_token stop) {
    started = true;
    while (!stop.stop_requested()) QThread::msleep(1);
    sawStop = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 20000));
  runner.reset();
  EXPECT_TRUE(sawStop);
}

// Without the program's report route, the application's catch point on the
// GUI thread shows it; the pass has ended first.
TEST(PassRunner, FailureOfThePassReachesTheGuiThreadAfterFinished) {
  modal::ShownMessage message;
  testing::ModalWatcher modals;
  modals.setHandler(modal::recordMessageBox(message));
  PassRunner runner("test pass");
  bool finishedBeforeTheBox = false;
  QObject::connect(&runner, &PassRunner::finished, [&] { finishedBeforeTheBox = !message.shown; });
  QSignalSpy finished(&runner, &PassRunner::finished);
  runner.start([](std::stop_token) { throw std::runtime_error("disk on fire"); });
  ASSERT_TRUE(waitForEnd(finished));
  ASSERT_TRUE(QTest::qWaitFor([&] { return message.shown; }, 20000));
  EXPECT_EQ(message.text, "disk on fire");
  EXPECT_EQ(message.icon, QMessageBox::Critical);
  EXPECT_TRUE(finishedBeforeTheBox);
  EXPECT_FALSE(runner.isRunning());
}

}  // namespace
}  // namespace zelk::ui
