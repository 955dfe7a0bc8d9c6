// The three window classes of the program, each a layout with its handler table.
#pragma once

#include "app/Program.h"

namespace vardelune {

const FormLayout& MainWindowLayout();
const FormLayout& ResultsWindowLayout();
const FormLayout& ErrorWindowLayout();

// The layouts of all three, by window id, as the program takes them.
FormLayouts ProgramWindows();

}  // namespace vardelune
