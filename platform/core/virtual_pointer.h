// The pointer of a backend without a real one (headless): where SetCursorPos
// or the last scripted mouse message put it, in screen coordinates. The driver
// moves it before each scripted mouse message, so GetCursorPos and the
// messages' pt agree with the input the program is given.
#pragma once

#include "vlmr_platform.h"

namespace vlmr {

POINT virtual_pointer();
void set_virtual_pointer(POINT screen);

}  // namespace vlmr
