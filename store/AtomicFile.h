#pragma once
// The atomic writer lives in platform/, below the settings that write through it too.
#include "platform/AtomicFile.h"
