// The user's edits of a capture count as modifications; an edit taken back
// does not.
#include <gtest/gtest.h>

#include "chart/grid_edits.h"
#include "common/capture_builder.h"
#include "core/user_edits.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

struct EditMarks : ::testing::Test {
  EditMarks() {
    b.Event(1, 3, 1);
    b.Finish(10);
    b.data.DataModified.store(0);
  }
  bool Modified() const { return b.data.DataModified.load() != 0; }
  CaptureBuilder b;
};

TEST_F(EditMarks, SearchChangesMarkTheCaptureModified) {
  struct Case {
    const char* what;
    void (*edit)(CaptureData&, TraceList&);
    bool marks;
  } cases[] = {
      {"cycle", [](CaptureData& d, TraceList& t) { CycleSearchCondition(d, t, 3); }, true},
      {"only high", [](CaptureData& d, TraceList& t) { SearchOnlyHigh(d, t, 5); }, true},
      {"bad channel", [](CaptureData& d, TraceList& t) { CycleSearchCondition(d, t, 0); }, false},
      {"rename", [](CaptureData& d, TraceList& t) { SetChannelNameFromEdit(d, t, 1, "Door"); }, true},
      {"move", [](CaptureData& d, TraceList& t) { MoveDisplayRow(d, t, 1, 4); }, true},
      {"move nowhere", [](CaptureData& d, TraceList& t) { MoveDisplayRow(d, t, 4, 4); }, false},
  };
  for (const Case& c : cases) {
    b.data.DataModified.store(0);
    c.edit(b.data, b.view.Traces);
    EXPECT_EQ(Modified(), c.marks) << c.what;
  }
  // Asking again for the search that is set changes nothing.
  SearchOnlyHigh(b.data, b.view.Traces, 7);
  b.data.DataModified.store(0);
  SearchOnlyHigh(b.data, b.view.Traces, 7);
  EXPECT_FALSE(Modified());
}

TEST_F(EditMarks, AnEmptyCaptureHasNothingToLose) {
  CaptureBuilder empty;
  CycleSearchCondition(empty.data, empty.view.Traces, 3);
  MarkUserEdit(empty.data);
  EXPECT_FALSE(empty.data.DataModified.load());
}

TEST_F(EditMarks, TakingAnEditBackRestoresTheMarkItFound) {
  UndoableEdit edit;
  edit.Begin(b.data);
  SetChannelNameFromEdit(b.data, b.view.Traces, 1, "Typed");
  ASSERT_TRUE(Modified());
  SetChannelNameFromEdit(b.data, b.view.Traces, 1, "1");
  edit.Cancel(b.data);
  EXPECT_FALSE(Modified());

  // Modified before the edit: stays so.
  MarkUserEdit(b.data);
  edit.Begin(b.data);
  SetChannelNameFromEdit(b.data, b.view.Traces, 1, "Typed");
  edit.Cancel(b.data);
  EXPECT_TRUE(Modified());

  // A capture that ended meanwhile is never unmarked.
  b.data.DataModified.store(0);
  edit.Begin(b.data);
  b.clock.Set(At(20));
  b.data.SetCapture(true);
  b.data.ApplyTransition(At(21), 2, 1);  // as many events as before
  b.clock.Set(At(22));
  b.data.SetCapture(false);
  ASSERT_EQ(b.data.Store.Count(), 1u);
  edit.Cancel(b.data);
  EXPECT_TRUE(Modified());
}

}  // namespace
}  // namespace korvalog
