#pragma once

#include <initializer_list>

#include "ui/Controls.h"

namespace mapfeed {

/// The option dialogs' faces: 8.25-point bold buttons and 9.75-point regular labels.
inline void useDialogFonts(std::initializer_list<Control*> buttons, std::initializer_list<Control*> labels) {
    for (Control* button : buttons) button->bold = true;
    for (Control* label : labels) label->pointSize = 9.75;
}

}  // namespace mapfeed
