// The cover-over-button rollover of the picture buttons.
#include "app/Rollover.h"

namespace vardelune {

void HideCover(Program&, Form&, Control* cover) {
    if (cover) cover->SetVisible(false);
}

void ShowCovers(Program&, Form& form, Control*) {
    for (const char* cover : form.layout().covers) ShowCover(form, cover);
}

void ShowCover(Form& form, const char* cover) {
    form.control(cover).SetVisible(true);
}

}  // namespace vardelune
