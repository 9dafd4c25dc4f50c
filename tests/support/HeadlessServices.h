#pragma once

#include <string>

#include "platform/posix/PosixServices.h"

namespace mapfeed::testing {

/// The operating system's real services without a screen: a message box is counted and
/// answered OK (for a test run by "Apply", any box means it refused or failed), and an
/// open-file dialog is cancelled.
class HeadlessServices : public posix::PosixServices {
public:
    int messages = 0;
    std::string lastMessage;

    MessageAnswer messageBox(const std::string& text, MessageButtons) override {
        lastMessage = text;
        ++messages;
        return MessageAnswer::Ok;
    }
    std::optional<std::string> showOpenFile(const OpenFileDialog&) override { return std::nullopt; }
    void quit() override {}
};

}  // namespace mapfeed::testing
