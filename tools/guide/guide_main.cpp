// korvalog-guide DOCS SAMPLE.kv OUT.pdf [PICTURES_DIR]: the user guide as a
// PDF, made from the Markdown pages of the folder DOCS in the order of its
// guide-pages.txt (or from one page, when DOCS is a file), its pictures drawn
// by the program's own windows on the offscreen platform while the program is
// built, so that they never go stale. PICTURES_DIR, when given, also receives
// the pictures as PNG files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QAbstractTextDocumentLayout>
#include <QTextTable>
#include <QPdfWriter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#include <cstdio>

#include "guide_pages.h"
#include "guide_pictures.h"
#include "ui/qt/kit_look.h"

namespace {

// The document is laid out in pixels of this resolution; pictures are
// placed at their size before the doubled scale of the grab.
constexpr int kDocumentDpi = 96;

// Every picture as wide as the page allows (never wider than drawn), so
// that high-resolution grabs come out sharp and none runs off the page; a
// tall one (a narrow window) no taller than kPictureShare of the page, so
// that it does not leave half a page empty before it.
constexpr double kPictureShare = 0.42;

void FitPictures(QTextDocument& doc, const std::map<QString, QImage>& pictures, double textWidth,
                 double textHeight) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (!f.charFormat().isImageFormat()) continue;
      QTextImageFormat image = f.charFormat().toImageFormat();
      const auto found = pictures.find(image.name());
      if (found == pictures.end()) continue;
      const QImage& picture = found->second;
      const double logical = picture.width() / picture.devicePixelRatio();
      const double width =
          std::min({textWidth, logical, textHeight * kPictureShare * picture.width() / picture.height()});
      image.setWidth(width);
      image.setHeight(width * picture.height() / picture.width());
      QTextCursor c(&doc);
      c.setPosition(f.position());
      c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
      c.setCharFormat(image);
    }
  }
}

// Tables with single thin rules and some air in the cells.
void StyleTables(QTextDocument& doc) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    QTextCursor c(b);
    QTextTable* table = c.currentTable();
    if (!table) continue;
    QTextTableFormat f = table->format();
    f.setBorder(0.5);
    f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    f.setBorderBrush(QColor(0x88, 0x88, 0x88));
    f.setBorderCollapse(true);
    f.setCellPadding(3);
    f.setCellSpacing(0);
    f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table->setFormat(f);
  }
}

// Code and command lines a size smaller, so that the widest usage line
// fits the page.
void ShrinkCode(QTextDocument& doc) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (!b.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) continue;
    QTextCursor c(b);
    c.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat f;
    f.setFontPointSize(8);
    c.mergeCharFormat(f);
  }
}

// Every page of the docs folder (its top heading) starts a sheet.
void BreakBeforeTopHeadings(QTextDocument& doc) {
  for (QTextBlock b = doc.begin().next(); b.isValid(); b = b.next()) {
    if (b.blockFormat().headingLevel() != 1) continue;
    QTextBlockFormat f = b.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(b).setBlockFormat(f);
  }
}

bool HoldsPicture(const QTextBlock& b) {
  for (auto it = b.begin(); !it.atEnd(); ++it) {
    if (it.fragment().charFormat().isImageFormat()) return true;
  }
  return false;
}

int SheetOf(QTextDocument& doc, const QTextBlock& b, double page) {
  return static_cast<int>(doc.documentLayout()->blockBoundingRect(b).top() / page);
}

// A table that fits on a sheet and would be cut starts the next one, and
// takes along the paragraph that leads into it and the heading over that
// paragraph: one break before the first of them, so none is left alone on a
// sheet of its own. A longer table is cut where the sheet ends. True when a
// break was set.
bool KeepTableWhole(QTextDocument& doc, const QTextBlock& b, double page) {
  QTextTable* table = QTextCursor(b).currentTable();
  if (!table || table->cellAt(0, 0).firstCursorPosition().block() != b) return false;
  if (table->format().pageBreakPolicy() != QTextFormat::PageBreak_Auto) return false;
  const QRectF box = doc.documentLayout()->frameBoundingRect(table);
  if (box.height() >= page * 0.6 || static_cast<int>(box.top() / page) == static_cast<int>((box.bottom() - 1) / page))
    return false;
  const int sheet = static_cast<int>(box.top() / page);
  QTextBlock mover;
  const QTextBlock lead = table->firstCursorPosition().block().previous();
  if (lead.isValid() && !QTextCursor(lead).currentTable() && lead.blockFormat().headingLevel() == 0 &&
      SheetOf(doc, lead, page) == sheet) {
    mover = lead;
    const QTextBlock head = lead.previous();
    if (head.isValid() && head.blockFormat().headingLevel() != 0 && SheetOf(doc, head, page) == sheet) mover = head;
  }
  if (mover.isValid() && mover.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_Auto) {
    QTextBlockFormat f = mover.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(mover).setBlockFormat(f);
  } else if (!mover.isValid()) {
    QTextTableFormat f = table->format();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(f);
  } else {
    return false;  // its lead already opens a sheet: the table is cut rather than parted from it
  }
  doc.markContentsDirty(0, doc.characterCount());
  return true;
}

bool IsCode(const QTextBlock& b) { return b.isValid() && b.blockFormat().hasProperty(QTextFormat::BlockCodeFence); }

// Where a block ends, or for the first line of a code block, where the
// code block ends (its lines are blocks of their own).
double BottomOfUnit(QTextDocument& doc, const QTextBlock& b) {
  QTextBlock last = b;
  if (IsCode(b)) {
    while (IsCode(last.next())) last = last.next();
  }
  return doc.documentLayout()->blockBoundingRect(last).bottom();
}

// A heading left alone at the foot of a page (its text or picture pushed to
// the next), or a picture or a short code block the page's end would cut,
// starts the next page.
void KeepBlocksWhole(QTextDocument& doc) {
  const double page = doc.pageSize().height();
  for (int pass = 0; pass < 40; ++pass) {
    bool moved = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
      if (KeepTableWhole(doc, b, page)) {
        moved = true;
        break;
      }
      if (b.blockFormat().pageBreakPolicy() != QTextFormat::PageBreak_Auto) continue;
      const QRectF here = doc.documentLayout()->blockBoundingRect(b);
      const bool heading = b.blockFormat().headingLevel() != 0 && b.next().isValid();
      const bool code = IsCode(b) && !IsCode(b.previous());
      const double bottom = heading ? BottomOfUnit(doc, b.next()) : BottomOfUnit(doc, b);
      if (!heading && !(HoldsPicture(b) && here.height() < page) && !(code && bottom - here.top() < page * 0.6))
        continue;
      if (static_cast<int>(here.top() / page) == static_cast<int>((bottom - 1) / page)) continue;
      QTextBlockFormat f = b.blockFormat();
      f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(b).setBlockFormat(f);
      // Everything after the break moves: lay it out again before the next
      // look, or the positions read are stale (and so is what is drawn).
      doc.markContentsDirty(b.position(), doc.characterCount() - b.position());
      moved = true;
      break;
    }
    if (!moved) return;
  }
}

bool WritePdf(const QString& markdown, const std::map<QString, QImage>& pictures, const QString& outPath) {
  // Written beside the target and put in its place only when complete.
  const QString partial = outPath + QStringLiteral(".part");
  {
    QPdfWriter pdf(partial);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 16, 20, 14),
                                  QPageLayout::Millimeter));
    pdf.setResolution(kDocumentDpi);
    pdf.setTitle(QStringLiteral("Korvalog user guide"));
    pdf.setCreator(QStringLiteral("Korvalog"));
    const QRect paint = pdf.pageLayout().paintRectPixels(kDocumentDpi);
    const double footer = 24;

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown);
    // After the text: setting it empties the document's resources. A page
    // names a picture by its place under docs/.
    std::map<QString, QImage> named;
    for (const auto& [name, picture] : pictures) {
      named[name] = named[QStringLiteral("pictures/") + name] = picture;
    }
    for (const auto& [name, picture] : named) doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    FitPictures(doc, named, paint.width(), paint.height() - footer);
    StyleTables(doc);
    ShrinkCode(doc);
    BreakBeforeTopHeadings(doc);
    doc.setPageSize(QSizeF(paint.width(), paint.height() - footer));
    KeepBlocksWhole(doc);

    QPainter p(&pdf);
    const double pageHeight = doc.pageSize().height();
    for (int page = 0; page < doc.pageCount(); ++page) {
      if (page > 0) pdf.newPage();
      p.save();
      p.translate(0, -page * pageHeight);
      doc.drawContents(&p, QRectF(0, page * pageHeight, paint.width(), pageHeight));
      p.restore();
      p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
      p.setPen(QColor(0x66, 0x66, 0x66));
      p.drawText(QRectF(0, pageHeight + 6, paint.width(), footer - 6), Qt::AlignLeft | Qt::AlignBottom,
                 QStringLiteral("Korvalog user guide"));
      p.drawText(QRectF(0, pageHeight + 6, paint.width(), footer - 6), Qt::AlignRight | Qt::AlignBottom,
                 QString::number(page + 1));
    }
    if (!p.end()) {
      std::fprintf(stderr, "korvalog-guide: cannot write %s\n", qPrintable(partial));
      return false;
    }
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
    std::fprintf(stderr, "usage: korvalog-guide DOCS SAMPLE.kv OUT.pdf [PICTURES_DIR]\n");
    return 2;
  }
  // The text first: a missing page is told before any window is drawn.
  const std::filesystem::path docs(argv[1]);
  std::error_code ec;
  const auto pages = std::filesystem::is_directory(docs, ec) ? korvalog::guide::GuidePages(docs)
                                                             : std::vector<std::filesystem::path>{docs};
  std::string markdown, error;
  if (!korvalog::guide::JoinPages(pages, markdown, error)) {
    std::fprintf(stderr, "korvalog-guide: %s\n", error.c_str());
    return 1;
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
  return WritePdf(QString::fromStdString(markdown), pictures, QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
