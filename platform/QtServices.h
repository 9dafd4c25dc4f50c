#pragma once

#include <QPointer>
#include <vector>

#include "platform/posix/PosixServices.h"

namespace mapfeed {

class ConsoleWindow;
class QtHost;

/// The real services: Qt's message boxes and file dialogs and the end of the program, on top
/// of the operating system's process start, files, log and clock.
class QtServices : public posix::PosixServices {
public:
    explicit QtServices(QtHost& host) : host_(host) {}
    /// Closes the converters' windows still open; the converters run on.
    ~QtServices() override;

    /// Starts the converter with a window of its own that shows its output and its end.
    StartResult startProcess(const ConverterCommand& command) override;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    void quit() override;

protected:
    void keepAnswering() override;

private:
    QtHost& host_;
    std::vector<QPointer<ConsoleWindow>> consoles_;
};

}  // namespace mapfeed
