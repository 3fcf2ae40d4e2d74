#pragma once
// The link supervisor: finds the logger, configures it, starts its reporting,
// watches that it stays alive and works out the link and capture status. It
// has no thread of its own; the window's 250 ms timer calls tick() on the
// interface thread, and the window applies the returned LinkView.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/capture_data.h"
#include "core/clock.h"
#include "core/records.h"
#include "session/link_gaps.h"
#include "transport/serial_link.h"
#include "transport/serial_decoder.h"
#include "transport/usb_loggers.h"

namespace korvalog {

// What one tick asks the window to show or do.
struct LinkView {
  bool captureEnabled = false;  // bCapture usable
  bool capturePressed = false;  // bCapture shows pressed
  bool repaintGrid = false;     // a channel changed or a USB rescan ran
  bool layoutChart = false;     // let the chart follow its waveform column width
  bool statusRefreshed = false; // the three texts below were renewed this tick
  std::string clockText;        // status panel 0, "hh:mm:ss"
  std::string loggerText;       // status panel 1, "Logger OK" / "NO Logger"
  std::string capStatText;      // lCapStat
  // While a capture runs: the latest loss of the link, or its return; empty
  // when the capture never lost it. linkNoteChanged: renewed this tick.
  std::string linkNote;
  bool linkNoteChanged = false;
};

// Where the link to a logger stands: found, then told its debounce and AC
// mode one tick apart, then started; lost, it is looked for again.
enum class LinkStep : uint8_t {
  Searching,     // no logger answers: it is probed every probe period
  DebounceSent,  // it answered and was told its debounce
  AcModeSent,    // told its AC mode; the next tick waits for the answer
  AcModeTaken,   // it answered the AC mode: start it
  Connected,     // configured and started ("Logger OK")
};

class LinkSupervisor {
 public:
  static constexpr int kTimerIntervalMs = 250;
  // A serial port whose device is gone is opened again this often.
  static constexpr int kReopenMs = 3000;
  // Which device a port number opens; SerialDeviceName unless replaced.
  using DeviceResolver = std::function<std::string(uint8_t port)>;

  LinkSupervisor(CaptureData& data, const LoggerSettings& settings, UsbLoggers& usb,
                 const Clock& clock, int timerIntervalMs = kTimerIntervalMs);
  LinkSupervisor(const LinkSupervisor&) = delete;
  LinkSupervisor& operator=(const LinkSupervisor&) = delete;
  ~LinkSupervisor();

  void SetDeviceResolver(DeviceResolver resolver) { resolver_ = std::move(resolver); }

  // Replaces the serial link: none for the USB logger, else the `Port`
  // device at 1200 baud, odd parity, 8 data bits, one stop bit.
  void OpenSerialLink();
  // After a settings change: serial link, USB scan, state 0.
  void RestartLink();
  // The timer's work, in order.
  const LinkView& tick();
  const LinkView& View() const { return view_; }
  // The status texts at once, not at the next whole second: after a load
  // the event count shows with the first painted chart.
  const LinkView& RefreshStatusNow() {
    RefreshStatus();
    return view_;
  }

  // Commands to the logger.
  void SendCommand(std::string_view bytes);
  void ProbeLogger();
  void SendDebounce();
  void SendAcMode();
  void SendStart();

  // The capture is wanted from the first change the logger sends: it starts
  // right before the start command goes out (once; interface thread).
  void StartCaptureWithLogger() { captureWithLogger_ = true; }

  // A logger answered since the last command, or a USB logger is open.
  bool Present() const;

  SerialDecoder& Decoder() { return decoder_; }
  // The losses of the link during the current (or last) capture.
  const LinkGaps& Gaps() const { return gaps_; }
  const SerialLink* Comms() const { return comms_.get(); }

  // Interface thread only.
  LinkStep LinkState = LinkStep::Searching;
  uint32_t LinkTicks = 0;
  uint8_t SecondTicks = 0;

 private:
  void StepLinkState();
  void RefreshStatus();
  bool SerialType() const;
  bool SerialLineFailed() const;
  // The port cannot deliver: never opened, or its reads fail.
  bool SerialLinkDown() const;
  // Every kReopenMs while the port is down: the same port opened afresh.
  void ReopenWhenDown();
  // Logger configured and still there, as far as this tick knows.
  bool Connected() const;
  // Notes losses and returns of the link while a capture runs.
  void FollowGaps();

  CaptureData& data_;
  const LoggerSettings& settings_;
  UsbLoggers& usb_;
  const Clock& clock_;
  // Time-outs in ticks, by integer division of the timer interval.
  const uint32_t probeTicks_;
  const uint32_t lostTicks_;
  const uint8_t secondTicks_;
  const uint32_t reopenTicks_;
  uint32_t downTicks_ = 0;
  uint32_t bytesAtCommand_ = 0;  // the decoder's byte count when the last command went out
  bool wasCapturing_ = false;
  bool captureWithLogger_ = false;
  bool connected_ = false;
  LinkGaps gaps_;
  // Outlives every serial link: bytes left in its ring are decoded with the
  // first bytes of the next link.
  SerialDecoder decoder_;
  std::unique_ptr<SerialLink> comms_;
  DeviceResolver resolver_;
  LinkView view_;
};

}  // namespace korvalog
