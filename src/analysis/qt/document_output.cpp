#include "analysis/qt/document_output.h"

#include <cstdio>
#include <cstdlib>

#include "project/replacing_file.h"

namespace korvalog {
namespace {

void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::unique_ptr<QGuiApplication> EnsureDocumentApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qInstallMessageHandler(QuietAboutRuntimeFolder);
  static int argc = 1;
  static char name[] = "korvalog";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return std::make_unique<QGuiApplication>(argc, argv);
}

FileResult WriteDocumentBytes(const std::string& path, const char* bytes, size_t size) {
  ReplacingFile file(path);
  if (!file.Open() || !file.Write(bytes, size) || !file.Commit()) return FileResult{false, file.Error()};
  return {};
}

}  // namespace korvalog
