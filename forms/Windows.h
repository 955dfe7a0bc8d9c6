// The three window classes of the program, each a layout with its handler table.
#pragma once

#include "app/Program.h"

namespace vardelune {

const FormSpec& MainWindowSpec();
const FormSpec& ResultsWindowSpec();
const FormSpec& ErrorWindowSpec();

// The layouts of all three, by window id, as the program takes them.
FormSpecs ProgramWindows();

}  // namespace vardelune
