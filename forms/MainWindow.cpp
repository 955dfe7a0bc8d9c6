// The main window: the account list, the two data-folder paths with their
// "Ouvrir" buttons, the "Réparer" button and the temporary-folder link. It
// holds the program's state in its controls and closing it ends the program.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "cleanup/AccountCleanup.h"
#include "cleanup/AccountDiscovery.h"
#include "cleanup/ManualCleanup.h"
#include "cleanup/WindowNames.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;
using namespace main_window;

const FormLayout& MainWindowLayout() {
    static const FormLayout layout{
        kMainWindow,
        "Form1",
        L"Vardelune Messenger",
        7500,
        8400,
        Border::SizableWithMinimize,
        kButtonFace,
        IDG_BANNER,
        {
            ListBox(kAccountList, {360, 1320, 3855, 1230}, 11),
            TextBox(kContactsFolderBox, {600, 4440, 6135, 315}, L"", 3),
            TextBox(kMessengerFolderBox, {600, 3120, 6135, 285}, L"", 2),
            TextBox(kProfileBox, {480, 8520, 6975, 495}, L"Text2", 1),
            TextBox(kFirstFocusBox, {480, 9120, 3615, 375}, L"", 0),
            Label(kCloseMessengerWarning, {0, 6120, 7455, 735}, L"Avant de commencer il faut fermer Windows Live Messenger",
                  kSansSerifLargeBold, kButtonText, kTransparent, TextAlign::Center, 12),
            Label(kCreditLine, {120, 8160, 2055, 255}, L"Vardelune 1.00 - gratuit", kArial, kButtonText, kButtonFace,
                  TextAlign::Left, 10),
            Label(kExplanation, {4320, 1440, 2895, 975},
                  L"Ne pas faire n'importe quoi, il faut juste prendre l'adresse MSN qui ne marche pas ou mal pour "
                  L"effacé le répertoire de votre session MSN",
                  kSansSerif, kButtonText, kWhite, TextAlign::Left, 9),
            Line(kSeparator, 360, 7560, 7200, 7560),
            Label(kManualCleanupCaption, {240, 7680, 4815, 495}, L"Effacement en manuel des fichiers temporaires", kSansSerif,
                  kButtonText, kButtonFace, TextAlign::Left, 7),
            Label(kTempLinkCover, {5520, 7680, 1935, 255}, L"Effacer fichier temporaire", kSansSerifUnderlined, kBlue,
                  kButtonFace, TextAlign::Left, 6),
            Label(kListHeading, {360, 960, 3855, 255}, L"Choisir l'ID Windows Live à réparer", kSansSerifBold,
                  kButtonText, kWhite, TextAlign::Left, 5),
            Label(kResetWarning, {240, 6960, 5055, 615},
                  L"Attention: Votre session MSN sera remis par défaut (avatar, message perso, pseudo ...)",
                  kArialBold, kButtonText, kButtonFace, TextAlign::Left, 4),
            Picture(kOpenContactsCover, {600, 4920, 1065, 345}, IDG_OUVRIR_PLAIN_COPY),
            Picture(kOpenContactsButton, {600, 4920, 1065, 345}, IDG_OUVRIR_HIGHLIGHTED_COPY),
            Picture(kOpenMessengerCover, {600, 3600, 1065, 345}, IDG_OUVRIR_PLAIN),
            Picture(kOpenMessengerButton, {600, 3600, 1065, 345}, IDG_OUVRIR_HIGHLIGHTED),
            Picture(kRepairCover, {5880, 7080, 1065, 345}, IDG_REPARER_PLAIN),
            Picture(kRepairButton, {5880, 7080, 1065, 345}, IDG_REPARER_HIGHLIGHTED),
            Label(kTempLink, {5520, 7680, 1935, 255}, L"Effacer fichier temporaire", kSansSerifUnderlined, kBlack,
                  kButtonFace, TextAlign::Left, 8),
        },
        {kOpenContactsCover, kOpenMessengerCover, kRepairCover, kTempLinkCover},
        {
            {EventKind::Load, nullptr, Run<LoadMainWindow>},
            {EventKind::Unload, nullptr, EndProgramHandler},
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, kRepairCover, HideCover},
            {EventKind::MouseMove, kOpenMessengerCover, HideCover},
            {EventKind::MouseMove, kOpenContactsCover, HideCover},
            {EventKind::MouseMove, kTempLinkCover, HideCover},
            {EventKind::Click, kRepairButton, Run<CleanSelectedAccount>},
            {EventKind::Click, kOpenMessengerButton, Run<OpenMessengerFolder>},
            {EventKind::Click, kOpenContactsButton, Run<OpenContactsFolder>},
            {EventKind::Click, kTempLink, Run<OpenTempFolder>},
        },
    };
    return layout;
}

}  // namespace vardelune
