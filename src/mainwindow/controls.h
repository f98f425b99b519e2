// The control helper layer is shared by every window: platform/qt/controls.h.
#pragma once

#include "platform/qt/controls.h"
