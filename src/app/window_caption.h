#pragma once
// The main window's caption and the status bar's word after a dump: what
// the user works on, and where the text went.
#include <string>
#include <string_view>

namespace korvalog {

inline constexpr char kCaptionPrefix[] = "KORVALOG - ";
// The name shown for a capture that was never saved.
inline constexpr char kUntitledName[] = "untitled";

// "KORVALOG - " and the document's file name (no folder), "*" after it when
// there are unsaved changes; "untitled" without a document.
std::string WindowCaption(std::string_view documentPath, bool modified);

// The status bar's note after Ctrl+D: where the dump went (`absolutePath`),
// or that there was nothing to dump.
std::string DumpStatusText(std::string_view absolutePath, unsigned events);

}  // namespace korvalog
