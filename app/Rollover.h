// Picture buttons that light up under the pointer: a cover picture lies over
// its button; the pointer on the cover hides it and so reveals the button, and
// the pointer on the bare window shows every cover again. No timer and no
// leave event: only these two kinds of mouse-move.
#pragma once

#include "app/Program.h"

namespace vardelune {

// Mouse-move handler of every cover.
void HideCover(Program& program, Form& form, Control* cover);

// Mouse-move handler of the bare window: the covers come back in the window's order.
void ShowCovers(Program& program, Form& form, Control* unused);

// Used by the button handlers that put their own cover back before working.
void ShowCover(Form& form, const char* cover);

}  // namespace vardelune
