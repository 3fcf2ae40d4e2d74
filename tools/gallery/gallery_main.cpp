// korvalog-gallery FOLDER: writes one PNG per control family and per message
// box kind into FOLDER. Runs without a display.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <string>

#include "ui/message_buttons.h"
#include "ui/qt/box.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/edit_up_down.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/message_box.h"
#include "ui/qt/nice_label.h"
#include "ui/qt/text_drawing.h"
#include "ui/qt/window_helpers.h"

using namespace korvalog;

namespace {

QDir g_out;

bool Save(const QImage& image, const char* name) {
  const QString path = g_out.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
  const bool ok = image.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

QImage Grab(QWidget& widget) { return widget.grab().toImage(); }

// A panel in the button-face colour to put controls on.
QWidget* Panel(int w, int h) {
  auto* panel = new QWidget;
  panel->setAutoFillBackground(true);
  panel->resize(w, h);
  return panel;
}

bool MarkupLabels() {
  QWidget* panel = Panel(520, 330);
  const MarkupStyle style;
  const char* captions[] = {
      "Plain, \\bbold\\b, \\iitalic\\i, \\uunderlined\\u and \\hinverse\\h text",
      "\\1maroon \\2green \\3olive \\4navy \\5purple \\6teal \\7grey \\9red \\<blue \\=fuchsia\\0 base",
      "\\^two thirds\\[ base \\|one and a half\\[ \\]double\\[ base",
      "Name\\tCount\\tOn time\\nDoor open\\t12\\t\\D1:15.50\\nHall call 3\\t7\\t\\D0.25",
      "\\1\\b\\|Capture in progress.\\b\\[\\n\\nEnd Capture before proceeding",
  };
  int y = 8;
  for (const char* caption : captions) {
    auto* label = new TNiceLabel(panel, style);
    label->move(8, y);
    label->SetAutoSize(true);
    label->SetGap(3);
    label->SetBorder(bLowered);
    label->SetCaption(caption);
    y += label->height() + 8;
  }
  const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  for (Qt::Alignment alignment : alignments) {
    auto* label = new TNiceLabel(panel, style);
    label->setGeometry(8, y, 300, 20);
    label->SetBorder(bRaised);
    label->SetGap(2);
    label->SetAlignment(alignment);
    label->SetCaption("\\bAligned\\b label");
    y += 26;
  }
  const bool ok = Save(Grab(*panel), "nice_label");
  delete panel;
  return ok;
}

bool TextHelpers() {
  QImage image(420, 150, QImage::Format_RGB32);
  image.fill(SystemColourOf(SystemColour::ButtonFace, QGuiApplication::palette()));
  QPainter painter(&image);
  painter.setFont(KitFont());
  painter.setPen(Qt::black);
  painter.drawLine(200, 4, 200, 60);
  TextOutRight(painter, 200, 8, "right-aligned at the line");
  TextOutDelta(painter, 204, 8, "1:15.50");
  TextOutDeltaCentred(painter, 200, 30, "centred 2.50");
  const double start = 46362.35733;  // 6 December 2026, 08:34:33
  DrawTimeSpan(painter, 8, 412, 60, start, start + 75.5 / 86400.0);
  painter.setPen(QColor(0, 0, 128));
  const char* titles[] = {"Door open", "Hall call 3", "Out of service"};
  int x = 40;
  for (const char* title : titles) {
    TextOutVertical(painter, x, 142, title);
    x += 20;
  }
  GradientFill(painter, QRect(160, 90, 240, 50), QColor(240, 240, 240), QColor(160, 160, 160));
  painter.end();
  return Save(image, "text_helpers");
}

bool Boxes() {
  QWidget* panel = Panel(300, 80);
  const std::function<void(TBox*)> setups[] = {
      [](TBox*) {},
      [](TBox* b) { b->SetLineBottom(false); b->SetLineLeft(false); b->SetLineRight(false); },
      [](TBox* b) { b->SetLineTop(false); b->SetLineBottom(false); },
      [](TBox* b) { b->SetLineTop(false); b->SetLineBottom(false); b->SetLineLeft(false); b->SetLineRight(false); },
  };
  int x = 8;
  for (const auto& setup : setups) {
    auto* box = new TBox(panel);
    box->setGeometry(x, 10, 62, 60);
    setup(box);
    x += 72;
  }
  const bool ok = Save(Grab(*panel), "box");
  delete panel;
  return ok;
}

bool Buttons() {
  QWidget* panel = Panel(460, 150);
  struct Sample {
    const char* caption;
    ButtonGlyph glyph;
    TButtonLayout layout;
    bool down;
    int bevel;
    bool enabled;
  };
  const Sample samples[] = {
      {"Yes", kGlyphTick, blGlyphLeft, false, 2, true},
      {"No", kGlyphCross, blGlyphRight, false, 2, true},
      {"Save", kGlyphDisk, blGlyphTop, false, 2, true},
      {"Copy", kGlyphCopy, blGlyphBottom, false, 2, true},
      {"Move", kGlyphMove, blGlyphLeft, true, 2, true},
      {"Help", kGlyphQuestion, blGlyphLeft, false, 1, true},
      {"Bevel 3", kGlyphNone, blGlyphLeft, false, 3, true},
      {"", kGlyphTick, blGlyphLeft, false, 0, true},
      {"Disabled", kGlyphCross, blGlyphLeft, false, 2, false},
      {"Latched", kGlyphNone, blGlyphLeft, true, 2, true},
  };
  int i = 0;
  for (const Sample& sample : samples) {
    auto* button = new TBtnTransparent(panel);
    button->setGeometry(8 + (i % 5) * 90, 8 + (i / 5) * 70, 80, (i % 5 >= 2 && i < 5) ? 56 : 26);
    button->SetCaption(QString::fromLatin1(sample.caption));
    button->SetGlyph(ButtonGlyphImage(sample.glyph));
    button->SetLayout(sample.layout);
    button->SetDown(sample.down);
    button->SetBevel(sample.bevel);
    button->setEnabled(sample.enabled);
    ++i;
  }
  const bool ok = Save(Grab(*panel), "btn_transparent");
  delete panel;
  return ok;
}

bool Glyphs() {
  const int zoom = 4;
  QImage image(6 * (16 * zoom + 8) + 8, 16 * zoom + 16, QImage::Format_RGB32);
  image.fill(SystemColourOf(SystemColour::ButtonFace, QGuiApplication::palette()));
  QPainter painter(&image);
  for (int g = kGlyphTick; g <= kGlyphMove; ++g) {
    const QImage glyph = ButtonGlyphImage(static_cast<ButtonGlyph>(g));
    painter.drawImage(QRect(8 + g * (16 * zoom + 8), 8, 16 * zoom, 16 * zoom), glyph);
  }
  painter.end();
  return Save(image, "button_glyphs");
}

bool SpinEdits() {
  QWidget* panel = Panel(300, 120);
  auto* debounce = new TEditUpDown(panel);
  debounce->setGeometry(8, 8, 90, 24);
  debounce->SetMax(255);
  debounce->SetScale(10);
  debounce->SetValue(12);
  auto* hex = new TEditUpDown(panel);
  hex->setGeometry(8, 44, 90, 24);
  hex->SetMax(4095);
  hex->SetHex(true);
  hex->SetValue(10);
  auto* calculated = new TEditUpDown(panel);
  calculated->setGeometry(8, 80, 120, 30);
  calculated->SetMax(1000);
  calculated->SetOnCalculate([](int32_t n) { return n * 3; });
  calculated->SetValue(7);
  auto* disabled = new TEditUpDown(panel);
  disabled->setGeometry(150, 8, 90, 24);
  disabled->SetValue(42);
  disabled->setEnabled(false);
  const bool ok = Save(Grab(*panel), "edit_up_down");
  delete panel;
  return ok;
}

bool MessageBoxes() {
  const MarkupStyle style;
  struct Sample {
    const char* file;
    int kind;
    const char* text;
    const char* buttons;
  };
  const Sample samples[] = {
      {"message_info", kMessageInfo, "Log imported: \\b1234\\b events", "OK"},
      {"message_warning", kMessageWarning,
       "\\1\\b\\|Capture in progress.\\b\\[\\n\\nEnd Capture before proceeding", "OK"},
      {"message_question", kMessageQuestion, "\\bSave Data before proceeding?", "Yes,No"},
      {"message_three_buttons", 9, "Hi", "Save,Discard,Cancel"},
      {"message_all_glyphs", kMessageQuestion,
       "Every button glyph:\\n\\tYes, Cancel, Save, Copy, Move, Annotate, Help", "Yes,Cancel,Save,Copy,Move,Annotate,Help"},
  };
  bool ok = true;
  for (const Sample& sample : samples) {
    TMessageBoxForm form(sample.kind, sample.text, sample.buttons, style);
    ok = Save(Grab(form), sample.file) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(KitFont());
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvalog-gallery FOLDER\n");
    return 2;
  }
  g_out = QDir(QString::fromLocal8Bit(argv[1]));
  if (!g_out.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot make folder %s\n", argv[1]);
    return 1;
  }
  bool ok = MarkupLabels();
  ok = TextHelpers() && ok;
  ok = Boxes() && ok;
  ok = Buttons() && ok;
  ok = Glyphs() && ok;
  ok = SpinEdits() && ok;
  ok = MessageBoxes() && ok;
  return ok ? 0 : 1;
}
