#pragma once
// The program's own message box: an icon, a mark-up message in a sunken
// frame, and a strip of buttons named by a comma-separated list. It opens at
// the mouse cursor, stays on top, has no title bar and is dragged by its body.
//
// Result: the index of the button clicked; 0 for Enter or Space; digit - 1
// for the keys 1 to 9; -1 for Escape or closing it before any key; -2 for
// closing it otherwise after a key that decided nothing.
#include <QDialog>
#include <QPoint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/markup_style.h"
#include "ui/qt/message_icons.h"

namespace korvalog {

class TBox;
class TBtnTransparent;

class TMessageBoxForm : public QDialog {
  Q_OBJECT

 public:
  // Button size and spacing of the strip, and the frame drawn around the
  // client area in place of a window-system frame.
  static constexpr int kButtonWidth = 80;
  static constexpr int kButtonHeight = 26;
  static constexpr int kButtonSpacing = 4;
  static constexpr int kFrame = 2;

  TMessageBoxForm(int kind, std::string_view text, std::string_view buttons,
                  const MarkupStyle& style, QWidget* parent = nullptr);

  int Result() const { return result_; }
  // The message's mark-up text, as given.
  const std::string& Text() const { return text_; }
  // The area inside the frame, where everything of the box is laid out.
  QWidget* Client() const { return client_; }
  QSize ClientSize() const;
  // Top of the button strip in client coordinates.
  int StripTop() const;
  const std::vector<TBtnTransparent*>& Buttons() const { return buttons_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Draws (or, without a painter, measures) the message and its frame; gives
  // the frame's right and bottom extents.
  QSize LayoutMessageText(QPainter* painter) const;
  void PaintClient();
  void Finish(int result);
  bool DragEvent(QEvent* event);

  int kind_;
  std::string text_;
  MarkupStyle style_;
  int result_ = -1;
  QWidget* client_;
  TBox* box_;
  std::vector<TBtnTransparent*> buttons_;
  bool dragging_ = false;
  QPoint dragOffset_;
};

// Shows the box modally and gives its result.
int MessageBoxShow(int kind, std::string_view text, std::string_view buttons,
                   const MarkupStyle& style);
void MessageInfo(std::string_view text, const MarkupStyle& style);
void MessageWarning(std::string_view text, const MarkupStyle& style);
// True for Yes (the first button, Enter, Space or "1").
bool MessageQuestion(std::string_view text, const MarkupStyle& style);

}  // namespace korvalog
