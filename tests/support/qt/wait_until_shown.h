#pragma once
// WaitUntil for a test of a window: the window's events go on being
// processed between the polls, so that timers fire and the window repaints.
#include <QTest>

#include <chrono>

#include "support/wait_until.h"

namespace korvalog::testing {

template <typename Pred>
bool WaitUntilShown(Pred pred, std::chrono::milliseconds limit = kWaitLimit) {
  return WaitUntil(pred, limit, [] { QTest::qWait(5); });
}

}  // namespace korvalog::testing
