// One program-wide reference per window class: the class's layout by its id.
#include "forms/Windows.h"

#include "cleanup/WindowNames.h"

namespace vardelune {

FormLayouts ProgramWindows() {
    FormLayouts layouts{};
    layouts[static_cast<size_t>(kMainWindow)] = &MainWindowLayout();
    layouts[static_cast<size_t>(kResultsWindow)] = &ResultsWindowLayout();
    layouts[static_cast<size_t>(kErrorWindow)] = &ErrorWindowLayout();
    return layouts;
}

}  // namespace vardelune
