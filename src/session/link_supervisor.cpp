#include "session/link_supervisor.h"

#include <algorithm>

#include "base/byte_text.h"
#include "base/date_time.h"
#include "transport/port_names.h"

namespace korvalog {
namespace {
constexpr int kProbeMs = 2000;
constexpr int kLostMs = 5000;
constexpr int kSecondMs = 1000;

uint32_t Ticks(int ms, int interval) { return static_cast<uint32_t>(ms / (interval > 0 ? interval : 1)); }
}  // namespace

LinkSupervisor::LinkSupervisor(CaptureData& data, const LoggerSettings& settings, UsbLoggers& usb,
                               const Clock& clock, int timerIntervalMs)
    : data_(data),
      settings_(settings),
      usb_(usb),
      clock_(clock),
      probeTicks_(static_cast<uint32_t>(kProbeMs / (timerIntervalMs > 0 ? timerIntervalMs : 1))),
      lostTicks_(static_cast<uint32_t>(kLostMs / (timerIntervalMs > 0 ? timerIntervalMs : 1))),
      secondTicks_(static_cast<uint8_t>(kSecondMs / (timerIntervalMs > 0 ? timerIntervalMs : 1))),
      reopenTicks_(Ticks(kReopenMs, timerIntervalMs)),
      decoder_(data, settings, clock),
      resolver_(SerialDeviceName) {
  view_.loggerText = "NO Logger";
}

LinkSupervisor::~LinkSupervisor() {
  if (comms_) comms_->Destroy();
}

bool LinkSupervisor::SerialType() const {
  return settings_.LoggerType.load(std::memory_order_relaxed) != kLoggerUsb;
}

void LinkSupervisor::OpenSerialLink() {
  if (comms_) {
    comms_->Destroy();  // ends its receive thread before the port closes
    comms_.reset();
  }
  if (!SerialType()) return;
  const uint8_t port = settings_.Port;
  comms_ = std::make_unique<SerialLink>(port, resolver_(port), [this](SerialLink& c) {
    decoder_.OnReceive(c.RxBuffer, c.RxCount);
  });
  comms_->Configure(1200, kParityOdd, 8, kStopBitsOne);
}

void LinkSupervisor::RestartLink() {
  OpenSerialLink();
  usb_.ScanHidDevices();
  LinkState = LinkStep::Searching;
}

bool LinkSupervisor::SerialLineFailed() const { return comms_ && comms_->LineFailed(); }

bool LinkSupervisor::SerialLinkDown() const {
  return SerialType() && (!comms_ || !comms_->IsOpen() || comms_->LineFailed());
}

void LinkSupervisor::ReopenWhenDown() {
  if (LinkState == LinkStep::Connected || !SerialLinkDown()) {
    downTicks_ = 0;
    return;
  }
  if (++downTicks_ < reopenTicks_) return;
  downTicks_ = 0;
  // An adapter unplugged and plugged back, or a logger's link made anew,
  // comes back under the same name. The bytes the old line left half-read
  // belong to no change on the new one.
  if (comms_) comms_->Destroy();
  decoder_.DropPending();
  OpenSerialLink();
}

bool LinkSupervisor::Connected() const {
  // A USB logger that went away is lost at once, not when state 4 gives up.
  return LinkState == LinkStep::Connected && (SerialType() || usb_.HidDeviceCount() > 0);
}

void LinkSupervisor::FollowGaps() {
  view_.linkNoteChanged = false;
  const bool capturing = data_.Capturing.load(std::memory_order_acquire) != 0;
  const bool wasConnected = connected_;
  connected_ = Connected();
  if (capturing && !wasCapturing_) {
    gaps_.Clear();
    view_.linkNote.clear();
    view_.linkNoteChanged = true;
  }
  const bool ended = !capturing && wasCapturing_;
  wasCapturing_ = capturing;
  if (ended && gaps_.Open()) {
    // Nothing reconnects into a capture that has ended.
    view_.linkNote = LinkGaps::LostText(gaps_.Gaps().back(), false);
    view_.linkNoteChanged = true;
  }
  if (!capturing) return;
  if (wasConnected && !connected_) {
    // The gap runs from the last byte before it to the first after it, not
    // from when the loss was found to when the logger was configured again.
    const double lastByte = decoder_.LastByteAt();
    gaps_.Lost(lastByte > 0 ? std::max(lastByte, data_.CaptureStart.time) : clock_.Now(), data_.Store.Count());
    data_.Gaps.Lost(gaps_.Gaps().back().lostAt);  // kept with the capture
    decoder_.NoteQuiet();
    view_.linkNote = LinkGaps::LostText(gaps_.Gaps().back());
    view_.linkNoteChanged = true;
  } else if (connected_ && gaps_.Open()) {
    const double firstByte = decoder_.FirstByteAfterQuiet();
    gaps_.Back(firstByte > 0 ? firstByte : clock_.Now());
    data_.Gaps.Back(gaps_.Gaps().back().backAt);
    view_.linkNote = LinkGaps::BackText(gaps_.Gaps().back());
    view_.linkNoteChanged = true;
  }
}

bool LinkSupervisor::Present() const {
  return decoder_.LoggerAlive.load(std::memory_order_acquire) != 0 || usb_.HidDeviceCount() > 0;
}

void LinkSupervisor::SendCommand(std::string_view bytes) {
  if (!SerialType()) return;
  // Every command must be answered by a 255 before the next tick.
  decoder_.LoggerAlive.store(0, std::memory_order_release);
  bytesAtCommand_ = decoder_.BytesSeen();
  LinkTicks = 0;
  if (comms_) comms_->Write(bytes);
}

void LinkSupervisor::ProbeLogger() {
  SendCommand("0");
  if (!SerialType() && usb_.HidDeviceCount() == 0) usb_.ScanHidDevices();
}

void LinkSupervisor::SendDebounce() {
  if (usb_.HidDeviceCount() > 0) usb_.SendConfigReport(settings_.Debounce, settings_.ACSignals);
  const char command[2] = {'1', static_cast<char>(settings_.Debounce & 0xFF)};
  SendCommand(std::string_view(command, 2));
}

void LinkSupervisor::SendAcMode() { SendCommand(settings_.ACSignals ? "3" : "4"); }

void LinkSupervisor::SendStart() {
  SendCommand("2");
  if (!SerialType()) usb_.SendStartReport();
}

void LinkSupervisor::StepLinkState() {
  switch (LinkState) {
    case LinkStep::Searching:
      if (Present()) {
        SendDebounce();
        LinkState = LinkStep::DebounceSent;
      } else if (++LinkTicks >= probeTicks_) {
        ProbeLogger();
      }
      break;
    case LinkStep::DebounceSent:
      if (Present()) {
        SendAcMode();
        LinkState = LinkStep::AcModeSent;
      } else {
        LinkState = LinkStep::Searching;
      }
      break;
    case LinkStep::AcModeSent:
      // Only waits: the flag tested is still the answer to the AC command.
      LinkState = Present() ? LinkStep::AcModeTaken : LinkStep::Searching;
      break;
    case LinkStep::AcModeTaken:
      if (Present()) {
        if (captureWithLogger_) {
          captureWithLogger_ = false;
          data_.SetCapture(true);
        }
        SendStart();
        LinkState = LinkStep::Connected;
      } else {
        LinkState = LinkStep::Searching;
      }
      break;
    case LinkStep::Connected:
      // A serial line whose reads fail has lost its device (an unplugged
      // adapter): waiting up to two more probe periods would only delay
      // "NO Logger".
      if (SerialLineFailed() && usb_.HidDeviceCount() == 0) {
        LinkState = LinkStep::Searching;
        break;
      }
      if (++LinkTicks >= lostTicks_ && usb_.HidDeviceCount() == 0) {
        // Bytes that keep coming prove the link as well as an answer does
        // (an answer may be late behind a fast stream of changes).
        if (decoder_.LoggerAlive.load(std::memory_order_acquire) != 0 || decoder_.BytesSeen() != bytesAtCommand_) {
          ProbeLogger();
        } else {
          LinkState = LinkStep::Searching;
        }
      }
      break;
  }
}

void LinkSupervisor::RefreshStatus() {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(clock_.Now()));
  view_.clockText = TwoDigitText(static_cast<uint8_t>(f.hour)) + ":" +
                    TwoDigitText(static_cast<uint8_t>(f.minute)) + ":" +
                    TwoDigitText(static_cast<uint8_t>(f.second));
  view_.loggerText = LinkState == LinkStep::Connected ? "Logger OK" : "NO Logger";
  const uint32_t count = data_.Store.Count();
  if (data_.Capturing.load(std::memory_order_acquire) != 0) {
    view_.capStatText = "Capturing [" + UIntToText(count) + " events]";
  } else if (count > 0) {
    view_.capStatText = "Captured: " + UIntToText(count) + " events";
  } else {
    view_.capStatText.clear();
  }
  view_.statusRefreshed = true;
}

const LinkView& LinkSupervisor::tick() {
  view_.repaintGrid = false;
  view_.statusRefreshed = false;
  // A stop made by a full store on the receive thread is told here, on the
  // interface thread, before the button follows it.
  data_.DeliverPendingNotifications();

  if (usb_.TakeDeviceLost()) {
    usb_.ScanHidDevices();
    view_.repaintGrid = true;
  }
  view_.capturePressed = data_.Capturing.load(std::memory_order_acquire) != 0;
  StepLinkState();
  ReopenWhenDown();
  FollowGaps();
  view_.captureEnabled = LinkState == LinkStep::Connected || data_.Capturing.load(std::memory_order_acquire) != 0;
  if (data_.States.TakeStatesChanged()) view_.repaintGrid = true;
  view_.layoutChart = true;
  if (++SecondTicks >= secondTicks_) {
    SecondTicks = 0;
    RefreshStatus();
  }
  return view_;
}

}  // namespace korvalog
