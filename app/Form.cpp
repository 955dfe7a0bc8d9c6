// Live state of a loaded window's controls and hit testing in drawing order.
#include "app/Form.h"

#include "app/ErrorTexts.h"

#include <cstring>
#include <utility>

namespace vardelune {

Control::Control(Form& form, const ControlLayout& layout) : form_(&form), layout_(&layout), text_(layout.text) {}

PixelRect Control::rect() const { return layout_->pixels(form_->dotsPerInch()); }

void Control::Notify(ControlChange change) {
    if (FormObserver* observer = form_->observer()) observer->OnControlChanged(*form_, *this, change);
}

void Control::SetText(const std::wstring& text) {
    text_ = text;
    Notify(ControlChange::Text);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Notify(ControlChange::Visible);
}

void Control::AddItems(std::vector<std::wstring> items) {
    items_.insert(items_.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    Notify(ControlChange::Items);
}

void Control::Clear() {
    items_.clear();
    selected_ = -1;
    Notify(ControlChange::Items);
}

std::wstring Control::SelectedText() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(items_.size())) return std::wstring();
    return items_[static_cast<size_t>(selected_)];
}

void Control::TakeSelectionFromUser(int index) {
    selected_ = (index >= 0 && index < static_cast<int>(items_.size())) ? index : -1;
}

Form::Form(const FormLayout& layout, int dotsPerInch) : layout_(&layout), dotsPerInch_(dotsPerInch) {
    controls_.reserve(layout.controls.size());
    for (const ControlLayout& controlLayout : layout.controls) controls_.emplace_back(*this, controlLayout);
}

Control& Form::control(const char* name) {
    for (Control& candidate : controls_)
        if (std::strcmp(candidate.name(), name) == 0) return candidate;
    // The same failure as a property access on a control the window lacks.
    throw ControlNotFound(name);
}

Control* Form::HitTest(int x, int y) {
    for (int pass = 0; pass < 2; ++pass) {
        const bool windowedPass = pass == 0;
        for (Control& candidate : controls_) {
            if (IsWindowed(candidate.kind()) != windowedPass) continue;
            if (candidate.kind() == ControlKind::Line || !candidate.visible()) continue;
            if (candidate.rect().contains(x, y)) return &candidate;
        }
    }
    return nullptr;
}

}  // namespace vardelune
