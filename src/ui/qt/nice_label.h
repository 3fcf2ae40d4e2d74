#pragma once
// A label whose caption is mark-up text, optionally framed and sized to fit.
#include <QWidget>
#include <string>
#include <string_view>

#include "ui/markup_style.h"
#include "ui/qt/markup_text.h"

namespace korvalog {

// A CR LF pair becomes the code "\n", so texts typed or read with line
// breaks show as lines. A line feed without CR becomes "\n" as well.
std::string MarkupFromLines(std::string_view text);

class TNiceLabel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ CaptionText WRITE SetCaptionText)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
  Q_PROPERTY(int Gap READ Gap WRITE SetGap)
  Q_PROPERTY(korvalog::TBorder Border READ Border WRITE SetBorder)
  Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)

 public:
  explicit TNiceLabel(QWidget* parent = nullptr, MarkupStyle style = {});

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);
  QString CaptionText() const;
  void SetCaptionText(const QString& caption);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  int Gap() const { return gap_; }
  // The margin is a 16-bit unsigned number; values outside are clamped.
  void SetGap(int gap);
  TBorder Border() const { return border_; }
  void SetBorder(TBorder border);
  // Left, right (Qt::AlignRight) or centre (Qt::AlignHCenter).
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);

  const MarkupStyle& Style() const { return style_; }
  void SetStyle(const MarkupStyle& style);

 signals:
  // Raised at the start of every paint, before the caption is drawn.
  void Painting(QPainter* painter);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  MarkupExtent Measure() const;
  void Refit();

  std::string caption_;
  bool autoSize_ = false;
  int gap_ = 0;
  TBorder border_ = bNone;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  MarkupStyle style_;
};

}  // namespace korvalog
