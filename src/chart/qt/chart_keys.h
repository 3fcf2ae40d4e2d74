#pragma once
// The keys the chart answers itself, in its input filter (ChartInput::Key),
// with the names the user guide gives them; the chart's shortcuts (F3,
// Ctrl+G, Ctrl+M ...) are QShortcut objects of the panel. The docs test holds
// this table to both the filter and docs/: a key the filter answers without
// an entry here, or an entry the guide does not name, fails it.
#include <Qt>

namespace korvalog {

struct ChartKey {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* name;  // as docs/ writes it
};

inline const ChartKey kChartKeys[] = {
    {Qt::Key_Left, Qt::NoModifier, "Left"},
    {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_Left, Qt::ControlModifier, "Ctrl+Left"},
    {Qt::Key_Right, Qt::ControlModifier, "Ctrl+Right"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},
    {Qt::Key_End, Qt::NoModifier, "End"},
    {Qt::Key_Home, Qt::ControlModifier, "Ctrl+Home"},
    {Qt::Key_End, Qt::ControlModifier, "Ctrl+End"},
    {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_Plus, Qt::NoModifier, "`+`"},
    {Qt::Key_Equal, Qt::NoModifier, "`=`"},
    {Qt::Key_Minus, Qt::NoModifier, "`-`"},
    {Qt::Key_M, Qt::NoModifier, "M"},
};

}  // namespace korvalog
