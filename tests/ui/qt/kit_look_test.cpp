#include "ui/qt/kit_look.h"

#include <QApplication>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace korvalog {
namespace {

TEST(KitLook, FontIsTheInstalledFamilyWhateverTheApplicationFont) {
  const QFont saved = QApplication::font();
  QApplication::setFont(QFont(QStringLiteral("Serif"), 17));
  const QFontInfo info(KitFont());
  EXPECT_EQ(info.family(), QStringLiteral("DejaVu Sans"))
      << "the fonts-dejavu-core package is missing";
  EXPECT_EQ(info.pixelSize(), kKitFontPixels);
  EXPECT_EQ(QFontInfo(KitFont(kKitSerifFamily, 20, true)).family(), QStringLiteral("DejaVu Serif"));
  QApplication::setFont(saved);
}

TEST(KitLook, BytesReadAsUtf8OrElseByteForByte) {
  EXPECT_EQ(KitText("Door"), QStringLiteral("Door"));
  EXPECT_EQ(KitText("T\xC3\xBCr"), QString::fromUtf8("T\xC3\xBCr"));
  EXPECT_EQ(KitText("T\xFCr"), QString::fromLatin1("T\xFCr"));
  EXPECT_EQ(KitBytes(QString::fromUtf8("T\xC3\xBCr")), "T\xC3\xBCr");
}

}  // namespace
}  // namespace korvalog
