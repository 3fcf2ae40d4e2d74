#include "transport/windows/windows_hid_backend.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <setupapi.h>
// MinGW-w64's HID headers declare hid.dll's functions without C linkage.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on

#include "core/file_names.h"
#include "transport/system_hid.h"
#endif

namespace korvalog {

bool IdsFromInterfacePath(const std::string& path, uint16_t& vendorId, uint16_t& productId) {
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  const auto number = [&lower](const char* tag, uint16_t& out) {
    const size_t at = lower.find(tag);
    if (at == std::string::npos || lower.size() < at + std::strlen(tag) + 4) return false;
    const std::string digits = lower.substr(at + std::strlen(tag), 4);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; })) {
      return false;
    }
    out = static_cast<uint16_t>(std::strtoul(digits.c_str(), nullptr, 16));
    return true;
  };
  uint16_t v = 0;
  uint16_t p = 0;
  if (!number("vid_", v) || !number("pid_", p)) return false;
  vendorId = v;
  productId = p;
  return true;
}

#ifdef _WIN32
namespace {

constexpr DWORD kWriteTimeoutMs = 1000;
// A read buffer for a device that does not declare its report length.
constexpr size_t kLongestReport = 65;

class WindowsHidHandle final : public HidHandle {
 public:
  WindowsHidHandle(HANDLE h, size_t inputLength, size_t outputLength)
      : h_(h),
        input_(inputLength > 0 ? inputLength : kLongestReport),
        outputLength_(outputLength),
        readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        wake_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        writeDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  ~WindowsHidHandle() override {
    // A read still pending is cancelled and waited for: the driver must not
    // write into this object's buffer after it is gone.
    if (pending_) {
      CancelIoEx(h_, &read_);
      DWORD n = 0;
      GetOverlappedResult(h_, &read_, &n, TRUE);
    }
    CloseHandle(h_);
    for (HANDLE e : {readDone_, wake_, writeDone_}) {
      if (e != nullptr) CloseHandle(e);
    }
  }

  bool Usable() const { return readDone_ != nullptr && wake_ != nullptr && writeDone_ != nullptr; }

  // One overlapped read stays pending across calls that time out, so that no
  // report is lost between them; Windows delivers report ID and data.
  int Read(uint8_t* buffer, size_t size, int timeoutMs) override {
    if (!pending_) {
      read_ = OVERLAPPED{};
      read_.hEvent = readDone_;
      ResetEvent(readDone_);
      DWORD n = 0;
      if (ReadFile(h_, input_.data(), static_cast<DWORD>(input_.size()), &n, &read_)) return Deliver(n, buffer, size);
      if (GetLastError() != ERROR_IO_PENDING) return kHidReadFailed;
      pending_ = true;
    }
    const HANDLE waits[2] = {readDone_, wake_};
    const DWORD which = WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(std::max(timeoutMs, 0)));
    if (which == WAIT_OBJECT_0 + 1) {
      ResetEvent(wake_);
      return kHidReadTimeout;
    }
    if (which != WAIT_OBJECT_0) return which == WAIT_TIMEOUT ? kHidReadTimeout : kHidReadFailed;
    DWORD n = 0;
    pending_ = false;
    if (!GetOverlappedResult(h_, &read_, &n, FALSE)) return kHidReadFailed;  // device gone
    return Deliver(n, buffer, size);
  }

  bool Write(const uint8_t* report, size_t size) override {
    // Windows takes output reports at their declared length only.
    std::vector<uint8_t> out(std::max(outputLength_, size), 0);
    std::memcpy(out.data(), report, size);
    OVERLAPPED at{};
    at.hEvent = writeDone_;
    ResetEvent(writeDone_);
    DWORD n = 0;
    if (!WriteFile(h_, out.data(), static_cast<DWORD>(out.size()), &n, &at)) {
      if (GetLastError() != ERROR_IO_PENDING) return false;
      if (WaitForSingleObject(writeDone_, kWriteTimeoutMs) != WAIT_OBJECT_0) CancelIoEx(h_, &at);
      if (!GetOverlappedResult(h_, &at, &n, TRUE)) return false;
    }
    return n == out.size();
  }

  void CancelIo() override { SetEvent(wake_); }

  void SetNumInputBuffers(int count) override { HidD_SetNumInputBuffers(h_, static_cast<ULONG>(count)); }

 private:
  int Deliver(DWORD n, uint8_t* buffer, size_t size) {
    if (n == 0) return kHidReadTimeout;
    const size_t length = std::min<size_t>(n, size);
    std::memcpy(buffer, input_.data(), length);
    return static_cast<int>(length);
  }

  const HANDLE h_;
  std::vector<uint8_t> input_;
  const size_t outputLength_;
  const HANDLE readDone_;
  const HANDLE wake_;
  const HANDLE writeDone_;
  OVERLAPPED read_{};
  bool pending_ = false;
};

// Report lengths as the device declares them; zero when it cannot tell.
void ReportLengths(HANDLE h, size_t& input, size_t& output) {
  input = 0;
  output = 0;
  PHIDP_PREPARSED_DATA parsed = nullptr;
  if (!HidD_GetPreparsedData(h, &parsed)) return;
  HIDP_CAPS caps{};
  if (HidP_GetCaps(parsed, &caps) == HIDP_STATUS_SUCCESS) {
    input = caps.InputReportByteLength;
    output = caps.OutputReportByteLength;
  }
  HidD_FreePreparsedData(parsed);
}

}  // namespace

std::vector<HidDeviceInfo> WindowsHidBackend::Enumerate() {
  std::vector<HidDeviceInfo> out;
  GUID hidClass;
  HidD_GetHidGuid(&hidClass);
  const HDEVINFO set = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return out;
  for (DWORD i = 0;; ++i) {
    SP_DEVICE_INTERFACE_DATA item{};
    item.cbSize = sizeof item;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, i, &item)) break;  // ERROR_NO_MORE_ITEMS
    DWORD need = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &item, nullptr, 0, &need, nullptr);
    if (need < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<unsigned char> space(need);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(space.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &item, detail, need, nullptr, nullptr)) continue;
    HidDeviceInfo info;
    info.path = Utf8FromWide(detail->DevicePath);
    if (!IdsFromInterfacePath(info.path, info.vendorId, info.productId)) {
      // A path that does not name them: ask the device, without access
      // rights, so that a device another program holds is still listed.
      const HANDLE h = CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   0, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      HIDD_ATTRIBUTES attributes{};
      attributes.Size = sizeof attributes;
      const bool known = HidD_GetAttributes(h, &attributes);
      CloseHandle(h);
      if (!known) continue;
      info.vendorId = attributes.VendorID;
      info.productId = attributes.ProductID;
    }
    out.push_back(std::move(info));
  }
  SetupDiDestroyDeviceInfoList(set);
  return out;
}

std::unique_ptr<HidHandle> WindowsHidBackend::Open(const std::string& path) {
  const HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  size_t input = 0;
  size_t output = 0;
  ReportLengths(h, input, output);
  auto handle = std::make_unique<WindowsHidHandle>(h, input, output);
  if (!handle->Usable()) return nullptr;
  return handle;
}

std::unique_ptr<HidBackend> MakeSystemHidBackend() { return std::make_unique<WindowsHidBackend>(); }

#endif  // _WIN32

}  // namespace korvalog
