// The error window shown when "Réparer" is clicked with no account chosen:
// a two-line request to choose one and a "Recommencer" button that hides it.
#include "forms/Windows.h"

#include "app/Rollover.h"
#include "forms/ControlRows.h"
#include "resources/ResourceIds.h"

namespace vardelune {

using namespace rows;

namespace {

// Stored with a literal backslash-n, expanded when the window loads.
const wchar_t* const kStoredErrorMessage = L"Vous n'avez rien selectionné\\nmerci de choisir une session";

}  // namespace

const FormSpec& ErrorWindowSpec() {
    static const FormSpec spec{
        FormId::Form3,
        "Form3",
        L"Erreur",
        5475,
        3375,
        Border::FixedSingle,
        kWhite,
        kNoPicture,
        {
            Picture("Image1", {1800, 2520, 1815, 345}, IDG_RECOMMENCER_PLAIN),
            Label("Label1", {120, 720, 5295, 1095}, L"", kSansSerif, kBlack, kTransparent, TextAlign::Center,
                  kNoTabStop),
            Picture("Image2", {1800, 2520, 1815, 345}, IDG_RECOMMENCER_HIGHLIGHTED),
        },
        {"Image1"},
        {
            {EventKind::Load, nullptr,
             [](Program&, Form& form, Control*) {
                 form.control("Label1").SetText(ExpandLineBreaks(kStoredErrorMessage));
             }},
            {EventKind::MouseMoveWindow, nullptr, ShowCovers},
            {EventKind::MouseMove, "Image1", HideCover},
            {EventKind::Click, "Image2", [](Program& program, Form&, Control*) { program.HideForm(FormId::Form3); }},
        },
    };
    return spec;
}

std::wstring ExpandLineBreaks(const std::wstring& stored) {
    std::wstring expanded;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == L'\\' && i + 1 < stored.size() && stored[i + 1] == L'n') {
            expanded += L"\r\n";
            ++i;
        } else {
            expanded += stored[i];
        }
    }
    return expanded;
}

}  // namespace vardelune
