#pragma once
// The HID library of the system the program runs on: hidapi on hidraw on
// Linux, SetupAPI and hid.dll on Windows. Each platform's backend defines it;
// programs link the target korvalog_system_hid.
#include <memory>

#include "transport/hid_backend.h"

namespace korvalog {

std::unique_ptr<HidBackend> MakeSystemHidBackend();

}  // namespace korvalog
