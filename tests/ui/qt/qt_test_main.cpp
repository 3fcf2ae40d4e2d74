// GoogleTest over a QApplication on the offscreen platform, with the kit's
// font as the application font so no result depends on the machine's default.
#include <QApplication>
#include <gtest/gtest.h>

#include "ui/qt/kit_look.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(korvalog::KitFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
