#pragma once

#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "posix/ChildReaper.h"
#include "posix/UniqueFd.h"

namespace mapfeed {

/// The window of one converter run: what the converter writes to its standard output and
/// error, as it comes, then one line of ours telling how it ended. It reads the unnamed file
/// the converter writes into, so the converter never waits for the window nor dies with it:
/// closing the window, or the program, leaves the converter running.
class ConsoleWindow : public QWidget {
public:
    /// Made hidden, before the converter starts, so that nothing is left to make after.
    ConsoleWindow();
    ~ConsoleWindow() override;

    /// Tells this window how the converter ended; for the reaper's thread.
    posix::ChildReaper::Listener endListener();

    /// Shows the window in front with the keyboard focus, titled with the task and the input
    /// file's name, and follows `output` from its start.
    void follow(posix::UniqueFd output, long taskId, std::uint64_t watch, const std::string& inputPath);

private:
    void readNew();
    void append(const QString& text, bool ours = false);
    void ended(const posix::ProcessEnd& end);
    void finish();

    QPlainTextEdit* text_;
    QTimer poll_;
    posix::UniqueFd output_;
    off_t readTo_ = 0;
    QStringDecoder decoder_;
    std::uint64_t watch_ = 0;
    bool endsWithLineBreak_ = true;
    std::optional<posix::ProcessEnd> end_;  // told, not shown until all output is read
    off_t endAt_ = 0;  // how much output there was when the end was told
};

}  // namespace mapfeed
