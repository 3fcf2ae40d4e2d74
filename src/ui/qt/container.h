#pragma once
// A transparent panel that only holds other controls: it paints nothing, so
// its children draw over the parent's background.
#include <QWidget>

namespace korvalog {

class TContainer : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)

 public:
  explicit TContainer(QWidget* parent = nullptr);

  // True while the font follows the parent's.
  bool ParentFont() const;
  void SetParentFont(bool on);
};

}  // namespace korvalog
