// The results window: names the account whose folders were deleted and offers
// to quit and start Messenger again, or to go back to a refreshed account list.
// Its three push buttons lie below the visible area and are reached only from
// the keyboard; the first of them takes the focus when the window opens.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "cleanup/AccountDiscovery.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;

const FormSpec& ResultsWindowSpec() {
    static const FormSpec spec{
        FormId::Form2,
        "Form2",
        L"Résultats",
        5475,
        3405,
        Border::FixedSingle,
        kWhite,
        kNoPicture,
        {
            PushButton("Command3", {0, 5160, 5295, 375}, L"Quitter et lancer Windows Live Messenger", 1),
            PushButton("Command2", {0, 6120, 5295, 375}, L"OK (fermer seulement la fenetre des résultats)", 3),
            PushButton("Command1", {0, 5640, 5295, 375}, L"Quitter sans lancer Windows Live Messenger", 2),
            // The relaunch pair is reversed: at rest it shows its glow.
            Picture("Image4", {120, 2520, 5295, 345}, IDG_BACK_PLAIN),
            Picture("Image3", {120, 2520, 5295, 345}, IDG_BACK_HIGHLIGHTED),
            Picture("Image1", {120, 1920, 5295, 345}, IDG_RELAUNCH_HIGHLIGHTED),
            Label("Label1", {240, 480, 5055, 1215}, L"", kSansSerif, kBlack, kTransparent, TextAlign::Left, 0),
            Picture("Image2", {120, 1920, 5295, 345}, IDG_RELAUNCH_PLAIN),
        },
        {"Image1", "Image4"},
        {
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, "Image1", HideCover},
            {EventKind::MouseMove, "Image4", HideCover},
            {EventKind::Click, "Image2", [](Program& program, Form&, Control*) { RelaunchMessenger(program); }},
            {EventKind::Click, "Image3", [](Program& program, Form&, Control*) { BackToList(program); }},
            {EventKind::Click, "Command1", [](Program& program, Form&, Control*) { program.EndProgram(); }},
        },
    };
    return spec;
}

std::wstring ResultsMessage(const std::wstring& account) {
    return L"Les dossiers de ''" + account +
           L"'' ont été supprimés, si c'est pas le cas il faut le faire a la main avec les deux boutons ''Ouvrir''";
}

void ShowResults(Program& program, const std::wstring& account) {
    program.form(FormId::Form2).control("Label1").SetText(ResultsMessage(account));
    program.ShowForm(FormId::Form2);
}

void RelaunchMessenger(Program& program) {
    const NativeWindowHandle window = program.host().FormWindowHandle(program.form(FormId::Form2));
    // The shell finds msnmsgr.exe by itself; whether it could start it makes
    // no difference, the program ends either way.
    program.platform().ShellExecuteA(window, "open", "msnmsgr.exe", "", "C:\\Windows\\", 1);
    program.EndProgram();
}

void BackToList(Program& program) {
    program.HideForm(FormId::Form2);
    program.form(FormId::Form1).control("List1").Clear();
    ListAccounts(program);
}

}  // namespace vardelune
