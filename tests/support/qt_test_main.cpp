// gtest main for every test program: a QApplication on the offscreen
// platform, so widgets, timers and serial ports work without a display.
#include <gtest/gtest.h>

#include <QApplication>

#include "framework/window.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  fw::DestroySingleWindows();
  return rc;
}
