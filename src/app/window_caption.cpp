#include "app/window_caption.h"

namespace korvalog {
namespace {

// The part after the last folder separator (either kind, as a path typed on
// Windows may hold).
std::string_view FileNameOf(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string WindowCaption(std::string_view documentPath, bool modified) {
  std::string caption = kCaptionPrefix;
  std::string_view name = FileNameOf(documentPath);
  if (name.empty()) name = kUntitledName;
  caption += name;
  if (modified) caption += '*';
  return caption;
}

std::string DumpStatusText(std::string_view absolutePath, unsigned events) {
  if (events == 0) return "No events to dump";
  return std::to_string(events) + (events == 1 ? " event" : " events") + " dumped to " + std::string(absolutePath);
}

}  // namespace korvalog
