#pragma once
// Which device a port number 1..16 of the settings opens.
//
// Windows: "\\.\COM" followed by the number.
// Linux and other POSIX systems: the environment variable KORVALOG_COM<n>
// names the device when it is set and not empty (KORVALOG_COM1=/dev/ttyS0,
// KORVALOG_COM2=/dev/pts/4); otherwise port n is /dev/ttyUSB<n-1>, the n-th
// USB-serial adapter, so that the usual adapter works with the default port 1.
#include <cstdint>
#include <string>

namespace korvalog {

std::string WindowsComDeviceName(uint8_t port);
std::string PosixDefaultDeviceName(uint8_t port);
// The environment variable that overrides port n on POSIX systems.
std::string PortOverrideVariable(uint8_t port);

// The device for `port` on the platform the program runs on.
std::string SerialDeviceName(uint8_t port);

}  // namespace korvalog
