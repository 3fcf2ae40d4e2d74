#pragma once
// A finished 20-event capture on three channels and a way to save it, for
// the tests of the line kinds a project adds after its older lines.
#include <gtest/gtest.h>

#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog::testing_support {

class SmallProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t i = 0; i < 20; ++i) data.Store.Append(45658.5 + i / 86400.0, static_cast<uint8_t>(1 + i % 3), i / 3 % 2);
    data.CaptureStart.time = 45658.4;
    data.CaptureEnd.index = 20;
    data.CaptureEnd.time = 45658.6;
    data.DataPresent = 1;
  }
  std::string Save(const std::string& name, const PositionSnapshot& from, const PositionSnapshot& to) {
    const std::string path = dir / name;
    EXPECT_TRUE(WriteProjectFile(path, data, view, from, to).ok);
    return path;
  }
  ManualClock clock{45000.0};
  CaptureData data{clock};
  CaptureView view;
  TempDir dir;
};

}  // namespace korvalog::testing_support
