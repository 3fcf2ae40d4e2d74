#include "transport/port_names.h"

#include <cstdlib>

namespace korvalog {

std::string WindowsComDeviceName(uint8_t port) { return "\\\\.\\COM" + std::to_string(port); }

std::string PosixDefaultDeviceName(uint8_t port) {
  // Port 0 is not offered by the settings; it falls on the first adapter too.
  return "/dev/ttyUSB" + std::to_string(port > 0 ? port - 1 : 0);
}

std::string PortOverrideVariable(uint8_t port) { return "KORVALOG_COM" + std::to_string(port); }

std::string SerialDeviceName(uint8_t port) {
#ifdef _WIN32
  return WindowsComDeviceName(port);
#else
  const char* mapped = std::getenv(PortOverrideVariable(port).c_str());
  if (mapped != nullptr && mapped[0] != '\0') return mapped;
  return PosixDefaultDeviceName(port);
#endif
}

}  // namespace korvalog
