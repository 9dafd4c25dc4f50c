#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture/DesignReading.h"
#include "platform/PictureWindow.h"

namespace mapfeed {

class Application;
struct Run;

/// The picture of the job and its window: made when first asked for, it follows the main window's
/// fields and options (a change is waited out briefly, then read again) and the runs that end.
/// Files are read off the window's thread; what cannot be read is told in the picture window.
class JobPicture : public QObject {
public:
    explicit JobPicture(Application& app);
    ~JobPicture() override;

    /// Shows the picture window in front, with the job as it stands.
    void show();
    /// Shows what a run wrote: its files, and the elements it appended highlighted.
    void showRun(const Run& run);
    /// A run has ended: a picture of its design file is read again with what it appended.
    void runEnded(const Run& run);

    /// Whether the picture shows the job as it stands now, with nothing left to read.
    bool current() const;
    PictureWindow* window() const { return window_; }
    /// Where the end marker of the design file stood when last read, while the file is as read.
    std::optional<std::uint64_t> knownEnd(const std::string& path) const;

private:
    /// What one picture is made of.
    struct Request {
        std::string designPath;
        std::vector<std::string> arguments;  // the converter's, after its name; empty: no input
        std::uint64_t appendedFrom = UINT64_MAX;
        bool sameJob(const Request& other) const {
            return designPath == other.designPath && arguments == other.arguments;
        }
    };
    struct Result;

    Request requestOfJob() const;
    void follow();
    void read(const Request& request, bool fit);
    void received(std::uint64_t generation, std::shared_ptr<Result> result);

    Application& app_;
    QPointer<PictureWindow> window_;
    QTimer settle_;
    QTimer slow_;
    std::optional<Request> shown_;    // what the window shows, or is being read for it
    std::uint64_t generation_ = 0;    // of the newest reading
    bool reading_ = false;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::optional<picture::DesignReading> lastDesign_;  // its end, size and time, for knownEnd
    std::string lastDesignPath_;
    std::vector<std::size_t> subscriptions_;
};

}  // namespace mapfeed
