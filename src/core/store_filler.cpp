#include "core/store_filler.h"

namespace korvalog {

void CountSkipped(SkippedEvents& skipped, EventFault fault) {
  switch (fault) {
    case EventFault::None: return;
    case EventFault::Channel: ++skipped.channel; return;
    case EventFault::Level: ++skipped.level; return;
    case EventFault::Time: ++skipped.time; return;
    case EventFault::Order: ++skipped.order; return;
    case EventFault::Late: ++skipped.late; return;
    case EventFault::Full: ++skipped.full; return;
  }
}

}  // namespace korvalog
