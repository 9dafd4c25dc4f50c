#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mapfeed {

class Control;
class Frame;

/// What a control knows of the window that holds it: its name and its other controls, and that
/// the window takes the control in and hears of each change of its state.
class ControlOwner {
public:
    virtual const std::string& name() const = 0;
    virtual const std::vector<Control*>& controls() const = 0;

protected:
    ~ControlOwner() = default;

private:
    friend class Control;
    virtual void adopt(Control& control) = 0;
    virtual void controlChanged() = 0;
};

/// Position and size in twips, relative to the frame that holds the control (or the window).
struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind { TextField, List, Button, CheckBox, OptionButton, Label, Frame, DriveList, FolderList, FileList };

/// State shared by every control kind. A control tells its one observer (its binding to a
/// widget) and its window after each change of its state; user events enter through the
/// `user…` calls of each kind, which refuse a disabled control.
class Control {
public:
    Control(ControlOwner& window, std::string name, ControlKind kind);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    const ControlOwner& window() const { return window_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    /// Layout, set by the window as it is made: geometry, holding frame, tab position, font
    /// (a button's caption turns bold and back while the pointer is over it).
    Geometry geometry;
    Frame* frame = nullptr;
    int tabIndex = -1;
    bool bold = false;
    double pointSize = 8.25;
    std::string toolTip;
    /// What names the control for a screen reader: the label beside it, or else this text
    /// (or else its own caption).
    const Control* namedBy = nullptr;
    std::string accessibleName;

    /// Whether the control can hold the keyboard focus (labels and frames never do).
    bool takesFocus() const;

    std::function<void()> onStateChanged;

    /// Expires when the control is destroyed: whoever calls into the control from outside the
    /// model (a widget's signal) keeps this and asks it first.
    std::weak_ptr<const void> lifetime() const { return alive_; }

protected:
    void changed();

private:
    std::shared_ptr<const char> alive_ = std::make_shared<const char>();
    ControlOwner& window_;
    std::string name_;
    ControlKind kind_;
    bool enabled_ = true;
};

class TextField : public Control {
public:
    TextField(ControlOwner& window, std::string name) : Control(window, std::move(name), ControlKind::TextField) {}

    const std::string& text() const { return text_; }
    /// A rule's write; a real change runs the change rule at once.
    void setText(std::string text);
    bool userTypes(std::string text);

    std::function<void()> onChange;

    /// A file dropped from a file manager replaces the text with the file's path.
    bool acceptsFileDrops = false;

    /// Texts the field offers the user to complete a typed text or to pick from a list; they
    /// never restrict what may be typed. Setting them runs no rule.
    const std::vector<std::string>& offers() const { return offers_; }
    void setOffers(std::vector<std::string> offers);
    /// Called when the user is about to type or asks for the list: the owner may bring the
    /// offers up to date (they may arrive later).
    std::function<void()> onOffersWanted;
    /// The user starts to use the field's offers (focus, the down arrow, typing).
    void userWantsOffers();

private:
    std::string text_;
    std::vector<std::string> offers_;
};

/// A drop-down list with an editable text part. A pick runs the click rule; typing into the
/// text part or a rule's write of it runs only the change rule, which most lists lack.
class ListBox : public Control {
public:
    ListBox(ControlOwner& window, std::string name) : Control(window, std::move(name), ControlKind::List) {}

    const std::string& text() const { return text_; }
    const std::vector<std::string>& entries() const { return entries_; }
    const std::string& entry(std::size_t index) const { return entries_.at(index); }

    void addItem(std::string entry);
    void setText(std::string text);
    bool userTypes(std::string text);
    /// Picks an entry that the list holds.
    bool userPicks(const std::string& entry);

    std::function<void()> onClick;
    std::function<void()> onChange;

private:
    std::string text_;
    std::vector<std::string> entries_;
};

class Button : public Control {
public:
    Button(ControlOwner& window, std::string name, std::string caption)
        : Control(window, std::move(name), ControlKind::Button), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    bool captionBold() const { return bold; }
    void setCaptionBold(bool isBold);

    bool userClicks();
    bool userHovers();

    std::function<void()> onClick;
    std::function<void()> onMouseMove;

private:
    std::string caption_;
};

class CheckBox : public Control {
public:
    CheckBox(ControlOwner& window, std::string name, std::string caption)
        : Control(window, std::move(name), ControlKind::CheckBox), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    int value() const { return value_; }
    /// A write that changes the value runs the click rule, as a click would.
    void setValue(int value);
    bool userClicks();

    std::function<void()> onClick;

private:
    std::string caption_;
    int value_ = 0;
};

/// Selecting one option button deselects the others of its frame.
class OptionButton : public Control {
public:
    OptionButton(ControlOwner& window, std::string name, std::string caption)
        : Control(window, std::move(name), ControlKind::OptionButton), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    bool selected() const { return selected_; }
    void select();
    bool userClicks();

private:
    void setSelected(bool selected);

    std::string caption_;
    bool selected_ = false;
};

class Label : public Control {
public:
    Label(ControlOwner& window, std::string name, std::string caption)
        : Control(window, std::move(name), ControlKind::Label), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

class Frame : public Control {
public:
    Frame(ControlOwner& window, std::string name, std::string caption)
        : Control(window, std::move(name), ControlKind::Frame), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    /// The pointer moves over the frame's bare surface.
    bool userHovers();

    std::function<void()> onMouseMove;

private:
    std::string caption_;
};

}  // namespace mapfeed
