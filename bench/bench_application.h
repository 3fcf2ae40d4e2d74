#pragma once
// The one application object of the benchmark program, made by whichever
// on-screen benchmark runs first; offscreen unless a platform is named.
#include <QApplication>

#include <memory>

#include "ui/qt/kit_look.h"

namespace korvalog {

inline void EnsureBenchApplication() {
  static std::unique_ptr<QApplication> app;
  if (app || QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korvalog-bench";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QApplication>(argc, argv);
  QApplication::setFont(KitFont());
}

}  // namespace korvalog
