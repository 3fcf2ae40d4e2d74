#pragma once
// The simulator's input patterns live in the model library now, shared with
// the window program's demonstration logger.
#include "transport/transition_source.h"
