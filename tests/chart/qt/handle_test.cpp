// The zoom handle: clamping, the anchor that follows the pointer, the
// notifications and the cursor shapes.
#include <QTest>
#include <gtest/gtest.h>

#include "chart/qt/handle.h"
#include "chart_rig.h"

namespace korvalog {
namespace {

struct Rig {
  QWidget parent;
  THandle* h = new THandle(&parent);
  int changing = 0, changed = 0;
  Rig() {
    parent.resize(400, 200);
    h->SetSize(4);
    h->SetPosX(50);
    h->SetPosY(50);
    QObject::connect(h, &THandle::OnChanging, [this](THandle*) { ++changing; });
    QObject::connect(h, &THandle::OnChange, [this](THandle*) { ++changed; });
    parent.show();
  }
  // Pointer positions are in the parent's coordinates.
  void Press(QPoint p) { test::SendMouse(QEvent::MouseButtonPress, h, &parent, p); }
  void Move(QPoint p) { test::SendMouse(QEvent::MouseMove, h, &parent, p); }
  void Release(QPoint p) { test::SendMouse(QEvent::MouseButtonRelease, h, &parent, p); }
};

TEST(THandle, SizeAndPositionFromCodeFireNothing) {
  Rig r;
  EXPECT_EQ(r.h->width(), 8);
  EXPECT_EQ(r.h->height(), 8);
  EXPECT_EQ(r.h->x(), 46);
  EXPECT_EQ(r.h->Size(), 4);
  r.h->SetPosX(500);  // limits do not apply to code
  EXPECT_EQ(r.h->PosX(), 500);
  EXPECT_EQ(r.changing + r.changed, 0);
  // Defaults in the published order.
  THandle fresh;
  EXPECT_TRUE(fresh.AllowHorz() && fresh.AllowVert());
  EXPECT_EQ(fresh.MinX() | fresh.MaxX() | fresh.MinY() | fresh.MaxY(), 0);
}

TEST(THandle, DragClampsAndTheAnchorFollowsThePointer) {
  struct Case {
    int minX, maxX;
    int farX;       // pointer x at the far end of the drag
    int pinnedX;    // where the centre stops
    int backX;      // after the pointer moves 5 pixels back
  } cases[] = {
      {0, 0, 350, 350, 345},     // both limits 0: unlimited
      {10, 100, 300, 100, 95},   // pinned at MaxX, back at once
      {10, 100, -200, 10, 15},   // pinned at MinX
  };
  for (const Case& c : cases) {
    Rig r;
    r.h->SetLimitsX(c.minX, c.maxX);
    r.h->SetAllowVert(false);
    r.Press({50, 50});
    const int step = c.farX > 50 ? 50 : -50;
    int moves = 0;
    for (int x = 50 + step; step > 0 ? x <= c.farX : x >= c.farX; x += step, ++moves) r.Move({x, 80});
    EXPECT_EQ(r.h->PosX(), c.pinnedX) << c.maxX;
    EXPECT_EQ(r.h->PosY(), 50);  // vertical moves ignored
    EXPECT_EQ(r.changing, moves);  // also while pinned
    r.Move({c.farX - (step > 0 ? 5 : -5), 80});
    EXPECT_EQ(r.h->PosX(), c.backX);
    EXPECT_EQ(r.changed, 0);
    r.Release({c.farX, 80});
    EXPECT_EQ(r.changed, 1);
    r.Move({0, 0});  // idle: nothing moves
    EXPECT_EQ(r.h->PosX(), c.backX);
  }
}

TEST(THandle, ClickWithoutMovementFiresChangeOnce) {
  Rig r;
  QTest::mouseClick(r.h, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.changing, 0);
}

TEST(THandle, CursorFollowsTheFlagsAtPaint) {
  const struct {
    bool horz, vert;
    Qt::CursorShape shape;
  } cases[] = {{false, false, Qt::ArrowCursor},
               {true, false, Qt::SizeHorCursor},
               {false, true, Qt::SizeVerCursor},
               {true, true, Qt::SizeAllCursor}};
  for (const auto& c : cases) {
    Rig r;
    r.h->SetAllowHorz(c.horz);
    r.h->SetAllowVert(c.vert);
    r.h->grab();  // a paint
    EXPECT_EQ(r.h->cursor().shape(), c.shape);
  }
}

TEST(THandle, RaisedDoubleBevel) {
  Rig r;
  const QImage image = r.h->grab().toImage();
  const QPalette& pal = r.h->palette();
  const QRgb light = pal.color(QPalette::Light).rgb(), dark = pal.color(QPalette::Dark).rgb();
  for (int i : {0, 1}) {
    EXPECT_EQ(image.pixel(i, 4), light);
    EXPECT_EQ(image.pixel(4, i), light);
    EXPECT_EQ(image.pixel(7 - i, 4), dark);
    EXPECT_EQ(image.pixel(4, 7 - i), dark);
  }
  EXPECT_EQ(image.pixel(3, 3), pal.color(QPalette::Button).rgb());
}

}  // namespace
}  // namespace korvalog
