#include "guide_pages.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace korvalog::guide {

namespace fs = std::filesystem;

std::vector<fs::path> GuidePages(const fs::path& docs) {
  std::vector<fs::path> pages;
  std::set<std::string> listed;
  std::ifstream list(docs / "guide-pages.txt");
  for (std::string line; std::getline(list, line);) {
    // Spaces and a Windows line end around the name are no part of it.
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    // "-NAME": a page for developers, left out of the guide.
    const bool left = line[first] == '-';
    const size_t from = left ? line.find_first_not_of(" \t", first + 1) : first;
    if (from == std::string::npos) continue;
    const std::string name = line.substr(from, line.find_last_not_of(" \t\r") + 1 - from);
    std::error_code ec;
    if (!listed.insert(name).second || left || !fs::is_regular_file(docs / name, ec)) continue;
    pages.push_back(docs / name);
  }
  std::vector<fs::path> rest;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(docs, ec)) {
    const fs::path& p = entry.path();
    if (p.extension() == ".md" && entry.is_regular_file(ec) && !listed.count(p.filename().string())) rest.push_back(p);
  }
  std::sort(rest.begin(), rest.end());
  pages.insert(pages.end(), rest.begin(), rest.end());
  return pages;
}

bool JoinPages(const std::vector<fs::path>& pages, std::string& text, std::string& error) {
  std::string body, contents;
  for (const fs::path& page : pages) {
    std::ifstream in(page, std::ios::binary);
    if (!in) {
      error = "cannot read " + page.string();
      return false;
    }
    const std::string markdown{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    body += "\n\n" + markdown;
    if (markdown.compare(0, 2, "# ") == 0) {
      contents += "- " + markdown.substr(2, markdown.find_first_of("\r\n") - 2) + "\n";
    }
  }
  if (pages.empty()) {
    error = "no pages";
    return false;
  }
  // Several pages get a title and a list of what follows.
  text = pages.size() == 1 ? body.substr(2) : "# Korvalog user guide\n\n" + contents + body;
  return true;
}

}  // namespace korvalog::guide
