#include "ui/message_buttons.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvalog {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitButtonList, SplitsAtCommas) {
  EXPECT_THAT(SplitButtonList("Yes,No"), ElementsAre("Yes", "No"));
  EXPECT_THAT(SplitButtonList("OK"), ElementsAre("OK"));
  EXPECT_THAT(SplitButtonList(""), IsEmpty());
}

TEST(SplitButtonList, EmptyItemsAndTrailingComma) {
  // An empty item between commas is a button without caption; a trailing
  // comma ends the list without adding one.
  EXPECT_THAT(SplitButtonList("A,,B"), ElementsAre("A", "", "B"));
  EXPECT_THAT(SplitButtonList("A,"), ElementsAre("A"));
  EXPECT_THAT(SplitButtonList(",A"), ElementsAre("", "A"));
}

TEST(GlyphForCaption, KeywordsInOrderAnywhereInTheCaption) {
  EXPECT_EQ(GlyphForCaption("Yes"), kGlyphTick);
  EXPECT_EQ(GlyphForCaption("ok"), kGlyphTick);
  EXPECT_EQ(GlyphForCaption("Continue"), kGlyphTick);
  EXPECT_EQ(GlyphForCaption("No"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Annotate"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Cancel"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Abort"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Discard"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Delete"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Save"), kGlyphDisk);
  EXPECT_EQ(GlyphForCaption("Copy"), kGlyphCopy);
  EXPECT_EQ(GlyphForCaption("Move"), kGlyphMove);
  EXPECT_EQ(GlyphForCaption("Help"), kGlyphNone);
  EXPECT_EQ(GlyphForCaption(""), kGlyphNone);
}

TEST(GlyphForCaption, EarlierKeywordWins) {
  // "Save now" holds both "SAVE" and "NO": "NO" is searched first.
  EXPECT_EQ(GlyphForCaption("Save now"), kGlyphCross);
  EXPECT_EQ(GlyphForCaption("Yes, save"), kGlyphTick);
  EXPECT_EQ(GlyphForCaption("Remove"), kGlyphMove);
}

}  // namespace
}  // namespace korvalog
