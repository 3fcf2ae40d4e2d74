#include "app/qt/notes_form.h"

#include "ui/qt/kit_look.h"
#include "ui/qt/nice_label.h"

namespace korvalog {

TNotesForm::TNotesForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("NotesForm"));
  setWindowTitle(QStringLiteral("Inputs & Notes"));
  setFont(KitFont());
  NiceLabel = new TNiceLabel(this);
  NiceLabel->setObjectName(QStringLiteral("NiceLabel"));
  NiceLabel->SetGap(6);
  NiceLabel->SetAutoSize(true);
  NiceLabel->move(0, 0);
}

void TNotesForm::ImportStarted() {
  hide();
  NiceLabel->SetCaption("");
}

void TNotesForm::ShowNotes(const std::string& notesText, const MarkupStyle& style) {
  NiceLabel->SetStyle(style);
  NiceLabel->SetCaption(notesText);
  setFixedSize(NiceLabel->size().expandedTo(QSize(120, 24)));
  show();
  raise();
}

}  // namespace korvalog
