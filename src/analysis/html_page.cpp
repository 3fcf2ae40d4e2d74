#include "analysis/html_page.h"

namespace korvalog {

std::string HtmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string HtmlPageHead(const std::string& title, const std::string& extraStyle) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + HtmlEscape(title) +
         "</title>\n"
         "<style>\nbody{font-family:'DejaVu Sans',Arial,sans-serif;font-size:13px;margin:24px;color:#111;"
         "max-width:1000px}\n"
         "h1{font-size:24px;margin:0 0 4px}h2{font-size:16px;margin-top:26px}\n"
         ".site{font-size:18px;margin:0 0 10px}.verdict{font-size:15px;font-weight:bold;margin:14px 0 6px}\n"
         "table{border-collapse:collapse;margin:6px 0}td,th{border-bottom:1px solid #ccc;padding:3px 10px;"
         "text-align:left;vertical-align:top}th{background:#f0f0f0}\n"
         ".facts th{background:none;width:110px;color:#444}.key td.num{text-align:right}.key b{white-space:nowrap}\n" +
         extraStyle +
         ".notes li{margin:2px 0}.plot{margin:10px 0}\n"
         "@media print{.summary{page-break-after:always}h2{page-break-after:avoid}}\n</style>\n</head>\n<body>\n";
}

std::string HtmlPageEnd() { return "</body>\n</html>\n"; }

}  // namespace korvalog
