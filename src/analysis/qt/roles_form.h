#pragma once
// The Roles window: what each channel means to the lift. It edits a copy of
// the roles; OK puts them in the capture (and marks it modified so they are
// saved), Cancel leaves them. Roles proposed from the channel names are
// filled in for the user to confirm.
#include <QWidget>
#include <functional>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/channel_roles.h"

class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace korvalog {

class TRolesForm : public QWidget {
  Q_OBJECT

 public:
  TRolesForm(CaptureData& data, CaptureView& view, QWidget* parent = nullptr);

  // Opens on the capture's roles, or on proposals when it has none; the
  // channel's row is made current (0: the first).
  void ShowFor(int channel = 0);
  // Fills the roles proposed from the names into channels without a role.
  void ProposeFromNames();
  void ClearAll();
  // Takes the edited roles into the capture.
  void Accept();

  const ChannelRoles& Edited() const { return edited_; }
  void SetRole(int channel, ChannelRole role, int floor = 0);  // as the row's controls do
  QTableWidget* Table() const { return table_; }
  // After OK (the Report window recomputes).
  void SetOnAccepted(std::function<void()> f) { onAccepted_ = std::move(f); }

 private:
  void Fill();
  void FillRow(int channel);

  CaptureData& data_;
  CaptureView& view_;
  ChannelRoles edited_;
  QTableWidget* table_ = nullptr;
  QLabel* hint_ = nullptr;
  bool filling_ = false;
  std::function<void()> onAccepted_;
};

}  // namespace korvalog
