#pragma once
// Which Markdown pages make the user guide, and in what order.
#include <filesystem>
#include <string>
#include <vector>

namespace korvalog::guide {

// The pages of `docs`: first those `guide-pages.txt` names, in its order
// (blank lines and lines starting with '#' are passed over, a name with no
// file is left out, a name after '-' is a page left out of the guide), then
// every other `*.md` file of the folder, by name.
// A folder without the list gives all its pages by name.
std::vector<std::filesystem::path> GuidePages(const std::filesystem::path& docs);

// The pages as one Markdown text, each after a blank line so that its
// heading starts a block of its own; several pages under a title and a list
// of the pages' top headings. False, with `error` naming the file,
// when a page cannot be read.
bool JoinPages(const std::vector<std::filesystem::path>& pages, std::string& text, std::string& error);

}  // namespace korvalog::guide
