#pragma once

#include "platform/posix/PosixServices.h"

namespace mapfeed {

class QtHost;

/// The real services: Qt's message boxes and file dialogs and the end of the program, on top
/// of the operating system's process start, files, log and clock.
class QtServices : public posix::PosixServices {
public:
    explicit QtServices(QtHost& host) : host_(host) {}

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    void quit() override;

protected:
    void keepAnswering() override;

private:
    QtHost& host_;
};

}  // namespace mapfeed
