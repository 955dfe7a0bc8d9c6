// The error window shown when "Réparer" is clicked with no account chosen:
// a two-line request to choose one and a "Recommencer" button that hides it.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "cleanup/NoSelectionMessage.h"
#include "cleanup/WindowNames.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;
using namespace error_window;

const FormLayout& ErrorWindowLayout() {
    static const FormLayout layout{
        kErrorWindow,
        "Form3",
        L"Erreur",
        5475,
        3375,
        Border::FixedSingle,
        kWhite,
        kNoPicture,
        {
            Picture(kRetryCover, {1800, 2520, 1815, 345}, IDG_RECOMMENCER_PLAIN),
            Label(kMessage, {120, 720, 5295, 1095}, L"", kSansSerif, kBlack, kTransparent, TextAlign::Center,
                  kNoTabStop),
            Picture(kRetryButton, {1800, 2520, 1815, 345}, IDG_RECOMMENCER_HIGHLIGHTED),
        },
        {kRetryCover},
        {
            {EventKind::Load, nullptr, Run<LoadNoSelectionMessage>},
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, kRetryCover, HideCover},
            {EventKind::Click, kRetryButton, Run<HideNoSelectionMessage>},
        },
    };
    return layout;
}

}  // namespace vardelune
