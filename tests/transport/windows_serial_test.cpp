// The Windows serial layer on a real COM port. scripts/cross-check.sh runs
// the logger simulator on a Linux pseudo-terminal and maps it into the Wine
// prefix as a COM port: KORVALOG_TEST_COM names the port of a simulator that
// answers, KORVALOG_TEST_COM_UNPLUG one that is unplugged after a while.
// Without them the tests that need a line are skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "support/wait_until.h"
#include "transport/serial_link.h"
#include "transport/port_names.h"
#include "transport/serial_port.h"

namespace korvalog {
namespace {

using korvalog::testing::WaitUntil;
using namespace std::chrono_literals;

constexpr uint8_t kProbe = '0';
constexpr uint8_t kSignOfLife = 255;

// Wine does not keep a second program off a serial device it has open.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string PortFromEnvironment(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

TEST(WindowsSerialPort, ComNamesCoverEveryPort) {
  for (int n = 1; n <= 16; ++n) {
    EXPECT_EQ(SerialDeviceName(static_cast<uint8_t>(n)), "\\\\.\\COM" + std::to_string(n));
  }
}

TEST(WindowsSerialPort, MissingPortsAndPlainFilesAreNotOpened) {
  EXPECT_EQ(OpenSerialPort("\\\\.\\COM16"), nullptr);  // not mapped by the script
  EXPECT_EQ(OpenSerialPort(""), nullptr);
  EXPECT_EQ(OpenSerialPort("C:\\windows\\win.ini"), nullptr);  // a file, not a line
}

class WindowsSerialLine : public ::testing::Test {
 protected:
  void SetUp() override {
    device = PortFromEnvironment("KORVALOG_TEST_COM");
    if (device.empty()) GTEST_SKIP() << "KORVALOG_TEST_COM is not set (scripts/cross-check.sh sets it)";
  }
  std::string device;
};

TEST_F(WindowsSerialLine, TakesTheLoggersSettingsAndRefusesWhatPosixRefuses) {
  const std::unique_ptr<SerialPort> port = OpenSerialPort(device);
  ASSERT_NE(port, nullptr) << device;
  const struct {
    uint32_t baud;
    uint8_t parity, dataBits, stopBits;
    bool taken;
  } cases[] = {
      {1200, kParityOdd, 8, kStopBitsOne, true},   {9600, kParityNone, 8, kStopBitsOne, true},
      {19200, kParityEven, 7, kStopBitsTwo, true}, {1200, kParityOdd, 8, kStopBitsOneAndHalf, false},
      {1201, kParityOdd, 8, kStopBitsOne, false},  {1200, 9, 8, kStopBitsOne, false},
      {1200, kParityOdd, 9, kStopBitsOne, false},  {1200, kParityOdd, 4, kStopBitsOne, false},
      {1200, kParityOdd, 8, 7, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(port->Configure(c.baud, c.parity, c.dataBits, c.stopBits), c.taken)
        << c.baud << " " << int(c.parity) << " " << int(c.dataBits) << " " << int(c.stopBits);
  }
}

TEST_F(WindowsSerialLine, IsSharedWithNobody) {
  const std::unique_ptr<SerialPort> first = OpenSerialPort(device);
  ASSERT_NE(first, nullptr);
  if (UnderWine()) GTEST_SKIP() << "Wine shares serial devices whatever the share mode";
  EXPECT_EQ(OpenSerialPort(device), nullptr);
}

TEST_F(WindowsSerialLine, ReadsReturnAtOnceAndTheLoggerAnswers) {
  const std::unique_ptr<SerialPort> port = OpenSerialPort(device);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->Configure(1200, kParityOdd, 8, kStopBitsOne));
  uint8_t buffer[128];
  // Nothing was asked: nothing waits, and the read does not block.
  EXPECT_EQ(port->Read(buffer, sizeof buffer), 0);
  ASSERT_TRUE(port->Write(&kProbe, 1));
  std::vector<uint8_t> got;
  EXPECT_TRUE(WaitUntil([&] {
    const int n = port->Read(buffer, sizeof buffer);
    if (n > 0) got.insert(got.end(), buffer, buffer + n);
    return !got.empty();
  }));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], kSignOfLife);
}

TEST_F(WindowsSerialLine, TheReceiveThreadDeliversAndEndsOnDestroy) {
  std::mutex mu;
  std::vector<uint8_t> got;
  SerialLink comms(1, device, [&](SerialLink& c) {
    std::lock_guard<std::mutex> hold(mu);
    got.insert(got.end(), c.RxBuffer, c.RxBuffer + c.RxCount);
  });
  ASSERT_TRUE(comms.IsOpen());
  ASSERT_TRUE(comms.Configure(1200, kParityOdd, 8, kStopBitsOne));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(comms.Write(&kProbe, 1));
  EXPECT_TRUE(WaitUntil([&] {
    std::lock_guard<std::mutex> hold(mu);
    return got.size() >= 3;
  }));
  EXPECT_FALSE(comms.LineFailed());
  // The reader is running when the port closes; the port opens again at once.
  comms.Destroy();
  EXPECT_FALSE(comms.IsOpen());
  EXPECT_NE(OpenSerialPort(device), nullptr);
}

TEST(WindowsSerialUnplug, AVanishedLoggerIsAFailedLine) {
  const std::string device = PortFromEnvironment("KORVALOG_TEST_COM_UNPLUG");
  if (device.empty()) GTEST_SKIP() << "KORVALOG_TEST_COM_UNPLUG is not set";
  SerialLink comms(2, device, nullptr);
  ASSERT_TRUE(comms.IsOpen());
  EXPECT_TRUE(WaitUntil([&] { return comms.LineFailed(); }, 20000ms));
  comms.Destroy();
}

}  // namespace
}  // namespace korvalog
