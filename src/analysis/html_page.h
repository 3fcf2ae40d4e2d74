#pragma once
// The frame every report page shares (the lift report, the comparison and
// the fleet report): the document's head with one style sheet, and text
// escaped for it.
#include <string>

namespace korvalog {

// `text` with &, <, > and " as entities.
std::string HtmlEscape(const std::string& text);

// "<!DOCTYPE html>" up to and including "<body>": the title (escaped here)
// and the shared style, `extraStyle` (lines of CSS ending in a new line)
// added for the page's own parts.
std::string HtmlPageHead(const std::string& title, const std::string& extraStyle = {});

// "</body></html>".
std::string HtmlPageEnd();

}  // namespace korvalog
