// korvalog-guide GUIDE.md SAMPLE.kv OUT.pdf [PICTURES_DIR]: the user guide as
// a PDF, its pictures drawn by the program's own windows on the offscreen
// platform while the program is built, so that they never go stale.
// PICTURES_DIR, when given, also receives the pictures as PNG files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <cstdio>

#include "guide_pictures.h"
#include "ui/qt/kit_look.h"

namespace {

// Width the pictures take on the page, in the document's units: the text
// width of an A4 page with the default margins.
constexpr double kPictureWidth = 520;

// Every picture as wide as the page allows (never wider than drawn), so
// that high-resolution grabs come out sharp and none runs off the page.
void FitPictures(QTextDocument& doc, const std::map<QString, QImage>& pictures) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (!f.charFormat().isImageFormat()) continue;
      QTextImageFormat image = f.charFormat().toImageFormat();
      const auto found = pictures.find(image.name());
      if (found == pictures.end()) continue;
      const QImage& picture = found->second;
      const double logical = picture.width() / picture.devicePixelRatio();
      const double width = std::min(kPictureWidth, logical);
      image.setWidth(width);
      image.setHeight(width * picture.height() / picture.width());
      QTextCursor c(&doc);
      c.setPosition(f.position());
      c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
      c.setCharFormat(image);
    }
  }
}

bool WritePdf(const QString& markdownPath, const std::map<QString, QImage>& pictures, const QString& outPath) {
  QFile in(markdownPath);
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "korvalog-guide: cannot read %s\n", qPrintable(markdownPath));
    return false;
  }
  QTextDocument doc;
  doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
  doc.setDefaultStyleSheet(QStringLiteral("code { font-family: 'DejaVu Sans Mono'; }"));
  for (const auto& [name, picture] : pictures) doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
  doc.setMarkdown(QString::fromUtf8(in.readAll()));
  FitPictures(doc, pictures);

  // Written beside the target and put in its place only when complete.
  const QString partial = outPath + QStringLiteral(".part");
  {
    QPdfWriter pdf(partial);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                  QPageLayout::Millimeter));
    pdf.setTitle(QStringLiteral("Korvalog user guide"));
    pdf.setCreator(QStringLiteral("Korvalog"));
    doc.print(&pdf);
  }
  QFile::remove(outPath);
  if (!QFile::rename(partial, outPath)) {
    std::fprintf(stderr, "korvalog-guide: cannot write %s\n", qPrintable(outPath));
    QFile::remove(partial);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: korvalog-guide GUIDE.md SAMPLE.kv OUT.pdf [PICTURES_DIR]\n");
    return 2;
  }
  // No display, twice the pixels for a sharp print, and a settings store of
  // its own: the builder's stored window and logger settings are not touched.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvalog"));
  QApplication::setFont(korvalog::KitFont());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());

  const std::map<QString, QImage> pictures = korvalog::guide::DrawGuidePictures(argv[2]);
  if (argc == 5) {
    QDir().mkpath(QString::fromLocal8Bit(argv[4]));
    for (const auto& [name, picture] : pictures) picture.save(QString::fromLocal8Bit(argv[4]) + '/' + name);
  }
  return WritePdf(QString::fromLocal8Bit(argv[1]), pictures, QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
