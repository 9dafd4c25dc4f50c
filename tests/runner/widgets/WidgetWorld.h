#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "platform/QtServices.h"
#include "tests/runner/ScenarioWorld.h"

class QFileDialog;
class QMessageBox;

namespace mapfeed::scenario {

/// The scenario's world with the program's real message boxes and open-file dialogs: each is
/// shown as the program shows it, and answered from the scenario's queues by a click or a
/// typed name in the real box, found on the screen as it opens.
class WidgetWorld : public ScenarioWorld, private QObject {
public:
    WidgetWorld(std::function<void(const std::string&)> print, QtHost& host);
    ~WidgetWorld() override;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) override;
    StartResult startProcess(const ConverterCommand& command) override;

    /// Told of every command line that is to be started, before its start.
    std::function<void(const std::string&)> onStart;

    /// What went wrong in answering a box; empty when nothing did.
    std::function<void(const std::string&)> onTrouble;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void answer(QMessageBox* box);
    void answer(QFileDialog* dialog);

    QtServices real_;
    OpenFileDialog lastDialog_;
};

}  // namespace mapfeed::scenario
