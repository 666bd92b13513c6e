// One QApplication for every window test. Without a display of its own the
// program draws offscreen, also when ctest lists its tests at build time.

#include <QApplication>
#include <gtest/gtest.h>

#include "ui/application.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  zelk::ui::ZelkApplication application(argc, argv);  // the program's own, with its catch point
  return RUN_ALL_TESTS();
}
