#pragma once
// What every command test hands a korvalog-cli command: the model state, the
// captured output streams and a temporary folder.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/cli_context.h"
#include "project/temp_dir.h"

namespace korvalog::cli {

template <typename ClockType>
class CliFixture : public ::testing::Test {
 protected:
  template <typename... Args>
  explicit CliFixture(Args... clockArgs) : clock(clockArgs...) {}

  ClockType clock;
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  std::ostringstream out;
  std::ostringstream err;
  CliContext ctx{clock, data, view, settings, out, err};
  testing_support::TempDir dir;
};

}  // namespace korvalog::cli
