// One program-wide reference per window class: the class's layout by its id.
#include "forms/Windows.h"

#include "cleanup/WindowNames.h"

namespace vardelune {

FormSpecs ProgramWindows() {
    FormSpecs specs{};
    specs[static_cast<size_t>(kMainWindow)] = &MainWindowSpec();
    specs[static_cast<size_t>(kResultsWindow)] = &ResultsWindowSpec();
    specs[static_cast<size_t>(kErrorWindow)] = &ErrorWindowSpec();
    return specs;
}

}  // namespace vardelune
