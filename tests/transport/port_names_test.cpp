#include "transport/port_names.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace korvalog {
namespace {

TEST(PortNames, WindowsNamesTheComDevice) {
  EXPECT_EQ(WindowsComDeviceName(1), "\\\\.\\COM1");
  EXPECT_EQ(WindowsComDeviceName(12), "\\\\.\\COM12");
}

TEST(PortNames, PosixDefaultIsTheNthUsbAdapter) {
  EXPECT_EQ(PosixDefaultDeviceName(1), "/dev/ttyUSB0");
  EXPECT_EQ(PosixDefaultDeviceName(16), "/dev/ttyUSB15");
}

#ifndef _WIN32
TEST(PortNames, EnvironmentMapsOnePortWithoutTouchingTheOthers) {
  ASSERT_EQ(PortOverrideVariable(3), "KORVALOG_COM3");
  setenv("KORVALOG_COM3", "/dev/pts/7", 1);
  EXPECT_EQ(SerialDeviceName(3), "/dev/pts/7");
  EXPECT_EQ(SerialDeviceName(4), "/dev/ttyUSB3");
  setenv("KORVALOG_COM3", "", 1);  // empty counts as unset
  EXPECT_EQ(SerialDeviceName(3), "/dev/ttyUSB2");
  unsetenv("KORVALOG_COM3");
}
#endif

}  // namespace
}  // namespace korvalog
