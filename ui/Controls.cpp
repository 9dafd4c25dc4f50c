#include "ui/Controls.h"

namespace mapfeed {

namespace {

void run(const std::function<void()>& rule) {
    if (rule) rule();
}

}  // namespace

Control::Control(ControlOwner& window, std::string name, ControlKind kind)
    : window_(window), name_(std::move(name)), kind_(kind) {
    window.adopt(*this);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}

bool Control::takesFocus() const { return kind_ != ControlKind::Label && kind_ != ControlKind::Frame; }

void Control::changed() {
    run(onStateChanged);
    window_.controlChanged();
}

void TextField::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    changed();
    run(onChange);
}

bool TextField::userTypes(std::string text) {
    if (!enabled()) return false;
    userWantsOffers();
    setText(std::move(text));
    return true;
}

void TextField::setOffers(std::vector<std::string> offers) {
    if (offers == offers_) return;
    offers_ = std::move(offers);
    changed();
}

void TextField::userWantsOffers() {
    if (enabled() && onOffersWanted) onOffersWanted();
}

void ListBox::addItem(std::string entry) {
    entries_.push_back(std::move(entry));
    changed();
}

void ListBox::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    changed();
    run(onChange);
}

bool ListBox::userTypes(std::string text) {
    if (!enabled()) return false;
    setText(std::move(text));
    return true;
}

bool ListBox::userPicks(const std::string& entry) {
    if (!enabled()) return false;
    if (text_ != entry) {
        text_ = entry;
        changed();
    }
    run(onClick);
    return true;
}

void Button::setCaptionBold(bool isBold) {
    if (bold == isBold) return;
    bold = isBold;
    changed();
}

bool Button::userClicks() {
    if (!enabled()) return false;
    run(onClick);
    return true;
}

bool Button::userHovers() {
    if (!enabled()) return false;
    run(onMouseMove);
    return true;
}

void CheckBox::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    changed();
    run(onClick);
}

bool CheckBox::userClicks() {
    if (!enabled()) return false;
    setValue(value_ == 0 ? 1 : 0);
    return true;
}

void OptionButton::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    changed();
}

void OptionButton::select() {
    for (Control* other : window().controls()) {
        if (other != this && other->kind() == ControlKind::OptionButton && other->frame == frame)
            static_cast<OptionButton*>(other)->setSelected(false);
    }
    setSelected(true);
}

bool OptionButton::userClicks() {
    if (!enabled()) return false;
    select();
    return true;
}

void Label::setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    changed();
}

bool Frame::userHovers() {
    if (!enabled()) return false;
    run(onMouseMove);
    return true;
}

}  // namespace mapfeed
