// The results window: names the account whose folders were deleted and offers
// to quit and start Messenger again, or to go back to a refreshed account list.
// Its three push buttons lie below the visible area and are reached only from
// the keyboard; the first of them takes the focus when the window opens.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "cleanup/ResultsActions.h"
#include "cleanup/WindowNames.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;
using namespace results_window;

const FormLayout& ResultsWindowLayout() {
    static const FormLayout layout{
        kResultsWindow,
        "Form2",
        L"Résultats",
        5475,
        3405,
        Border::FixedSingle,
        kWhite,
        kNoPicture,
        {
            PushButton(kRelaunchPushButton, {0, 5160, 5295, 375}, L"Quitter et lancer Windows Live Messenger", 1),
            PushButton(kBackPushButton, {0, 6120, 5295, 375}, L"OK (fermer seulement la fenetre des résultats)", 3),
            PushButton(kQuitPushButton, {0, 5640, 5295, 375}, L"Quitter sans lancer Windows Live Messenger", 2),
            // The relaunch pair is reversed: at rest it shows its glow.
            Picture(kBackCover, {120, 2520, 5295, 345}, IDG_BACK_PLAIN),
            Picture(kBackButton, {120, 2520, 5295, 345}, IDG_BACK_HIGHLIGHTED),
            Picture(kRelaunchCover, {120, 1920, 5295, 345}, IDG_RELAUNCH_HIGHLIGHTED),
            Label(kMessage, {240, 480, 5055, 1215}, L"", kSansSerif, kBlack, kTransparent, TextAlign::Left, 0),
            Picture(kRelaunchButton, {120, 1920, 5295, 345}, IDG_RELAUNCH_PLAIN),
        },
        {kRelaunchCover, kBackCover},
        {
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, kRelaunchCover, HideCover},
            {EventKind::MouseMove, kBackCover, HideCover},
            {EventKind::Click, kRelaunchButton, Run<RelaunchMessenger>},
            {EventKind::Click, kBackButton, Run<BackToList>},
            {EventKind::Click, kQuitPushButton, EndProgramHandler},
        },
    };
    return layout;
}

}  // namespace vardelune
