// The main window: the account list, the two data-folder paths with their
// "Ouvrir" buttons, the "Réparer" button and the temporary-folder link. It
// holds the program's state in its controls and closing it ends the program.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "cleanup/AccountCleanup.h"
#include "cleanup/AccountDiscovery.h"
#include "cleanup/ManualCleanup.h"
#include "cleanup/ProfilePaths.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;

const FormSpec& MainWindowSpec() {
    static const FormSpec spec{
        FormId::Form1,
        "Form1",
        L"Vardelune Messenger",
        7500,
        8400,
        Border::SizableWithMinimize,
        kButtonFace,
        IDG_BANNER,
        {
            ListBox("List1", {360, 1320, 3855, 1230}, 11),
            TextBox("Text6", {600, 4440, 6135, 315}, L"", 3),
            TextBox("Text5", {600, 3120, 6135, 285}, L"", 2),
            TextBox("Text2", {480, 8520, 6975, 495}, L"Text2", 1),
            TextBox("Text1", {480, 9120, 3615, 375}, L"", 0),
            Label("Label8", {0, 6120, 7455, 735}, L"Avant de commencer il faut fermer Windows Live Messenger",
                  kSansSerifLargeBold, kButtonText, kTransparent, TextAlign::Center, 12),
            Label("Label7", {120, 8160, 2055, 255}, L"Vardelune 1.00 - gratuit", kArial, kButtonText, kButtonFace,
                  TextAlign::Left, 10),
            Label("Label6", {4320, 1440, 2895, 975},
                  L"Ne pas faire n'importe quoi, il faut juste prendre l'adresse MSN qui ne marche pas ou mal pour "
                  L"effacé le répertoire de votre session MSN",
                  kSansSerif, kButtonText, kWhite, TextAlign::Left, 9),
            Line("Line1", 360, 7560, 7200, 7560),
            Label("Label4", {240, 7680, 4815, 495}, L"Effacement en manuel des fichiers temporaires", kSansSerif,
                  kButtonText, kButtonFace, TextAlign::Left, 7),
            Label("Label3", {5520, 7680, 1935, 255}, L"Effacer fichier temporaire", kSansSerifUnderlined, kBlue,
                  kButtonFace, TextAlign::Left, 6),
            Label("Label2", {360, 960, 3855, 255}, L"Choisir l'ID Windows Live à réparer", kSansSerifBold,
                  kButtonText, kWhite, TextAlign::Left, 5),
            Label("Label1", {240, 6960, 5055, 615},
                  L"Attention: Votre session MSN sera remis par défaut (avatar, message perso, pseudo ...)",
                  kArialBold, kButtonText, kButtonFace, TextAlign::Left, 4),
            Picture("Image6", {600, 4920, 1065, 345}, IDG_OUVRIR_PLAIN_COPY),
            Picture("Image5", {600, 4920, 1065, 345}, IDG_OUVRIR_HIGHLIGHTED_COPY),
            Picture("Image4", {600, 3600, 1065, 345}, IDG_OUVRIR_PLAIN),
            Picture("Image3", {600, 3600, 1065, 345}, IDG_OUVRIR_HIGHLIGHTED),
            Picture("Image1", {5880, 7080, 1065, 345}, IDG_REPARER_PLAIN),
            Picture("Image2", {5880, 7080, 1065, 345}, IDG_REPARER_HIGHLIGHTED),
            Label("Label5", {5520, 7680, 1935, 255}, L"Effacer fichier temporaire", kSansSerifUnderlined, kBlack,
                  kButtonFace, TextAlign::Left, 8),
        },
        {"Image6", "Image4", "Image1", "Label3"},
        {
            {EventKind::Load, nullptr,
             [](Program& program, Form&, Control*) {
                 InitProfilePaths(program);
                 ListAccounts(program);
             }},
            {EventKind::Unload, nullptr, [](Program& program, Form&, Control*) { program.EndProgram(); }},
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, "Image1", HideCover},
            {EventKind::MouseMove, "Image4", HideCover},
            {EventKind::MouseMove, "Image6", HideCover},
            {EventKind::MouseMove, "Label3", HideCover},
            {EventKind::Click, "Image2", [](Program& program, Form&, Control*) { CleanSelectedAccount(program); }},
            {EventKind::Click, "Image3",
             [](Program& program, Form&, Control*) { OpenDataFolder(program, "Image4", MessengerDataSuffix); }},
            {EventKind::Click, "Image5",
             [](Program& program, Form&, Control*) { OpenDataFolder(program, "Image6", ContactsFolderSuffix); }},
            {EventKind::Click, "Label5",
             [](Program& program, Form&, Control*) { OpenDataFolder(program, nullptr, TempFolderSuffix); }},
        },
    };
    return spec;
}

}  // namespace vardelune
