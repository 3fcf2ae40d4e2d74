#pragma once
// The "Inputs & Notes" window: the description of the installation read
// from a logger log, in a mark-up label, sized to its text. A log import
// hides and empties it when it begins and shows it at its end; a project
// load leaves it alone.
#include <QWidget>
#include <string>

#include "ui/markup_style.h"

namespace korvalog {

class TNiceLabel;

class TNotesForm : public QWidget {
  Q_OBJECT

 public:
  explicit TNotesForm(QWidget* parent = nullptr);

  void ImportStarted();
  // The log's entries in mark-up, drawn with the program's (now wider) tabs.
  void ShowNotes(const std::string& notesText, const MarkupStyle& style);

  TNiceLabel* NiceLabel = nullptr;
};

}  // namespace korvalog
