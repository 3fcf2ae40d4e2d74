#pragma once
// The checks every writer makes on an output path before anything is read
// or written: an existing target must be a regular file (or a link to one),
// and the output must not be one of the files the command reads or keeps.
#include <string>
#include <vector>

namespace korvalog {

// "OUT: is not a regular file", "OUT: is the same file as IN" or "OUT:
// cannot be written" (a file this process may not write or one marked
// read-only, see ReadOnlyFile), in that order; empty when `out` may be
// written. Same file means same device and inode.
std::string OutputProblem(const std::string& out, const std::vector<std::string>& others = {});

}  // namespace korvalog
