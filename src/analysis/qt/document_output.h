#pragma once
// What every report document's writer needs around its painting: an
// application for fonts and painters (a command-line tool has none) and the
// write that leaves an existing file as it was when it fails.
#include <QGuiApplication>
#include <memory>
#include <string>

#include "project/project_file.h"

namespace korvalog {

// A QGuiApplication on the offscreen platform (unless one is named) when
// none runs yet, kept until the pointer goes; nullptr when one runs.
std::unique_ptr<QGuiApplication> EnsureDocumentApplication();

// Writes `bytes` to `path` through a replacing file.
FileResult WriteDocumentBytes(const std::string& path, const char* bytes, size_t size);

}  // namespace korvalog
