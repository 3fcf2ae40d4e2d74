#pragma once
// The status bar: three sunken panels, the clock (50 pixels), the logger
// status (60) and the settings text (the rest). A panel widens when its text
// would not fit, so nothing is cut off in a larger font.
#include <QString>
#include <QWidget>
#include <array>

namespace korvalog {

class TStatusPanels : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 19;
  static constexpr std::array<int, 3> kWidths = {50, 60, 50};

  explicit TStatusPanels(QWidget* parent = nullptr);

  void SetPanelText(int panel, const QString& text);
  const QString& PanelText(int panel) const { return texts_[panel]; }
  // Panel rectangles as laid out now.
  QRect PanelRect(int panel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<QString, 3> texts_;
};

}  // namespace korvalog
