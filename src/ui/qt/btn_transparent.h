#pragma once
// A flat button drawn straight onto its parent's background: a glyph, a
// caption and a bevel. Buttons of one parent with the same non-zero
// GroupIndex latch: pressing one releases the others.
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace korvalog {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// One-pixel rings from the rectangle's edge inwards: highlight on the left
// and top, the window frame (outer ring) or shadow on the right and bottom;
// pressed, the other way round.
void DrawButtonBevel(QPainter& painter, const QRect& rect, int rings, bool down,
                     const QPalette& palette);

class TBtnTransparent : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
  Q_PROPERTY(bool Down READ Down WRITE SetDown)
  Q_PROPERTY(bool Toggle READ Toggle WRITE SetToggle)
  Q_PROPERTY(korvalog::TButtonLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
  Q_PROPERTY(int Bevel READ Bevel WRITE SetBevel)

 public:
  explicit TBtnTransparent(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // The button keeps its own copy; the colour of the glyph's lower-left pixel
  // does not show.
  const QImage& Glyph() const { return glyph_; }
  void SetGlyph(const QImage& glyph);
  bool Down() const { return down_; }
  void SetDown(bool down);
  // Stored for callers; no behaviour depends on it.
  bool Toggle() const { return toggle_; }
  void SetToggle(bool toggle);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index);
  int Bevel() const { return bevel_; }
  void SetBevel(int rings);

 signals:
  // The left button was released over the button.
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString caption_;
  QImage glyph_;
  QImage shownGlyph_;  // the glyph with its lower-left colour made transparent
  bool down_ = false;
  bool toggle_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int groupIndex_ = 0;
  int bevel_ = 2;
  bool stayDown_ = false;
};

}  // namespace korvalog
