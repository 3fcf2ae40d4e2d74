#include "ui/qt/container.h"

namespace korvalog {

TContainer::TContainer(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(false);
}

bool TContainer::ParentFont() const { return !testAttribute(Qt::WA_SetFont); }

void TContainer::SetParentFont(bool on) {
  if (on) {
    setFont(QFont());  // an empty font resolves every attribute from the parent
    setAttribute(Qt::WA_SetFont, false);
  } else if (!testAttribute(Qt::WA_SetFont)) {
    QFont own = font();
    own.setResolveMask(QFont::AllPropertiesResolved);
    setFont(own);
  }
}

}  // namespace korvalog
