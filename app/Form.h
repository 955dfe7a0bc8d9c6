// A loaded window: its controls with their live state (text, visibility,
// list items and selection), reached by name, and the hit testing of the
// pointer through them in drawing order.
#pragma once

#include "app/Layout.h"

#include <string>
#include <vector>

namespace vardelune {

class Form;
class Control;

// What changed on a control, so that the screen can follow the model.
enum class ControlChange { Text, Visible, Items, Selection };

// Told of every change that the logic makes, so that the window on screen
// shows it. Changes made by the user on screen are not echoed back.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void OnControlChanged(Form& form, Control& control, ControlChange change) = 0;
};

class Control {
public:
    Control(Form& form, const ControlLayout& layout);

    const ControlLayout& layout() const { return *layout_; }
    const char* name() const { return layout_->name; }
    ControlKind kind() const { return layout_->kind; }
    // Client pixels at the resolution of its window.
    PixelRect rect() const;

    const std::wstring& text() const { return text_; }
    void SetText(const std::wstring& text);

    bool visible() const { return visible_; }
    void SetVisible(bool visible);

    // List box only.
    const std::vector<std::wstring>& items() const { return items_; }
    // Appends all the items at once: one change, so that the screen draws the
    // list once. The selection stays as it was.
    void AddItems(std::vector<std::wstring> items);
    // Removes every item; nothing is selected afterwards.
    void Clear();
    int selectedIndex() const { return selected_; }  // -1 when nothing is selected
    std::wstring SelectedText() const;               // empty when nothing is selected

    // The user's own changes on screen, taken into the model without an echo.
    void TakeTextFromUser(const std::wstring& text) { text_ = text; }
    void TakeSelectionFromUser(int index);

private:
    void Notify(ControlChange change);

    Form* form_;
    const ControlLayout* layout_;
    std::wstring text_;
    bool visible_ = true;
    std::vector<std::wstring> items_;
    int selected_ = -1;
};

class Form {
public:
    // The screen's resolution turns the layout's twips into pixels.
    explicit Form(const FormLayout& layout, int dotsPerInch = kStandardDotsPerInch);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormLayout& layout() const { return *layout_; }
    FormId id() const { return layout_->id; }
    int dotsPerInch() const { return dotsPerInch_; }
    int clientWidthPixels() const { return layout_->clientWidthPixels(dotsPerInch_); }
    int clientHeightPixels() const { return layout_->clientHeightPixels(dotsPerInch_); }

    // Throws a ProgramError when the window has no control of that name.
    Control& control(const char* name);
    std::vector<Control>& controls() { return controls_; }

    bool visible() const { return visible_; }
    void SetVisibleFlag(bool visible) { visible_ = visible; }

    // The topmost visible control under the pointer (client pixels), windowed
    // controls first since they lie above everything painted; nullptr over the
    // bare window. Lines take no pointer events.
    Control* HitTest(int x, int y);

    void SetObserver(FormObserver* observer) { observer_ = observer; }
    FormObserver* observer() const { return observer_; }

    // The control that took the last button press, for matching it with the release.
    Control* pressed = nullptr;

private:
    const FormLayout* layout_;
    int dotsPerInch_;
    std::vector<Control> controls_;
    bool visible_ = false;
    FormObserver* observer_ = nullptr;
};

}  // namespace vardelune
