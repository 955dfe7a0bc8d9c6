// One program-wide reference per window class: the class's layout by its id.
#include "forms/Windows.h"

namespace vardelune {

const FormSpec& SpecOf(FormId id) {
    switch (id) {
        case FormId::Form2:
            return ResultsWindowSpec();
        case FormId::Form3:
            return ErrorWindowSpec();
        case FormId::Form1:
        default:
            return MainWindowSpec();
    }
}

}  // namespace vardelune
