#include "platform/JobPicture.h"

#include <sys/stat.h>
#include <thread>

#include "app/Application.h"
#include "job/ConverterCommand.h"
#include "picture/InputReading.h"
#include "platform/PictureWindow.h"
#include "platform/VisibleText.h"
#include "runs/RunHistory.h"

namespace mapfeed {

namespace {

// Typing a name is not waited on for every key: the picture follows once the job stands still.
constexpr int kSettleMilliseconds = 300;
// A reading that takes longer is told, and the picture shown stays meanwhile.
constexpr int kSlowMilliseconds = 2000;
// The converter's own words before its arguments: "perl -S mapfeed.pl".
constexpr std::size_t kConverterHead = 3;

}  // namespace

struct JobPicture::Result {
    picture::DesignReading design;
    std::string inputProblem;
    std::shared_ptr<picture::Picture> picture;
    bool fit = false;
    Request request;
};

JobPicture::JobPicture(Application& app) : app_(app), window_(new PictureWindow) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, [this] { follow(); });
    slow_.setSingleShot(true);
    slow_.setInterval(kSlowMilliseconds);
    connect(&slow_, &QTimer::timeout, this, [this] {
        if (window_ && reading_)
            window_->setNote(QStringLiteral("Still reading the files (a folder on a network share that does not answer?); "
                                            "the picture shown is the last one read."));
    });
    const auto changed = [this] {
        if (window_ && window_->isVisible()) settle_.start();
    };
    subscriptions_ = {app_.options.changes.subscribe(changed), app_.mapfeed.controlChanges.subscribe(changed)};
}

JobPicture::~JobPicture() {
    if (stop_) stop_->store(true);
    app_.options.changes.unsubscribe(subscriptions_[0]);
    app_.mapfeed.controlChanges.unsubscribe(subscriptions_[1]);
    delete window_.data();
}

JobPicture::Request JobPicture::requestOfJob() const {
    const JobFields fields = app_.mapfeed.jobFields();
    const ConverterCommand command = composeConverterCommand(derivedOptions(app_.options, fields), fields);
    Request request;
    request.designPath = command.designPath;
    if (!command.inputPath.empty() && command.arguments.size() > kConverterHead)
        request.arguments.assign(command.arguments.begin() + kConverterHead, command.arguments.end());
    return request;
}

void JobPicture::show() {
    window_->show();
    window_->raise();
    window_->activateWindow();
    follow();
}

void JobPicture::follow() {
    // The same job keeps what a run appended highlighted; another job is drawn afresh.
    const Request request = requestOfJob();
    if (shown_ && shown_->sameJob(request)) return;
    read(request, true);
}

void JobPicture::showRun(const Run& run) {
    window_->show();
    window_->raise();
    window_->activateWindow();
    Request request;
    request.designPath = run.designPath;
    if (run.arguments.size() > kConverterHead)
        request.arguments.assign(run.arguments.begin() + kConverterHead, run.arguments.end());
    request.appendedFrom = run.designEndBefore.value_or(UINT64_MAX);
    read(request, true);
}

void JobPicture::runEnded(const Run& run) {
    if (!window_ || !window_->isVisible() || !shown_ || shown_->designPath != run.designPath) return;
    Request request = *shown_;
    request.appendedFrom = run.designEndBefore.value_or(UINT64_MAX);
    read(request, false);
}

void JobPicture::read(const Request& request, bool fit) {
    shown_ = request;
    if (stop_) stop_->store(true);
    stop_ = std::make_shared<std::atomic<bool>>(false);
    const std::uint64_t generation = ++generation_;
    reading_ = true;
    slow_.start();
    QPointer<JobPicture> self(this);
    std::thread([self, request, fit, generation, stop = stop_] {
        auto result = std::make_shared<Result>();
        result->request = request;
        result->fit = fit;
        if (!request.designPath.empty()) result->design = picture::readDesign(request.designPath, request.appendedFrom, stop.get());
        else result->design.empty = true;
        // The input is added to the design file's own picture, which is not kept apart.
        result->picture = result->design.picture;
        if (!request.arguments.empty() && result->design.problem.empty()) {
            const picture::InputReading input = picture::readInput(request.arguments, result->design, stop.get());
            result->inputProblem = input.problem;
            result->picture->append(*input.picture);
        }
        QMetaObject::invokeMethod(self, [self, generation, result] {
            if (self) self->received(generation, result);
        }, Qt::QueuedConnection);
    }).detach();
}

void JobPicture::received(std::uint64_t generation, std::shared_ptr<Result> result) {
    if (generation != generation_) return;  // a newer reading is on its way
    reading_ = false;
    slow_.stop();
    lastDesign_ = result->design;
    lastDesign_->picture.reset();
    lastDesignPath_ = result->request.designPath;
    if (!window_) return;
    QStringList notes;
    if (result->request.designPath.empty()) notes << QStringLiteral("No design file is named: the input is drawn alone.");
    else if (!result->design.problem.empty()) notes << visibleText(result->design.problem);
    else if (result->design.empty) notes << QStringLiteral("The design file is empty: the converter gives it a new header.");
    if (result->request.arguments.empty()) notes << QStringLiteral("No input file is named.");
    else if (!result->inputProblem.empty()) notes << QStringLiteral("The input cannot be drawn: ") + visibleText(result->inputProblem);
    window_->setNote(notes.join(QLatin1Char(' ')));
    window_->setPicture(result->picture, result->fit);
}

bool JobPicture::current() const {
    return window_ && !reading_ && !settle_.isActive() && shown_ && shown_->sameJob(requestOfJob());
}

std::optional<std::uint64_t> JobPicture::knownEnd(const std::string& path) const {
    if (!lastDesign_ || lastDesignPath_ != path || !lastDesign_->problem.empty() || lastDesign_->empty) return std::nullopt;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    const std::int64_t changed = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (static_cast<std::uint64_t>(info.st_size) != lastDesign_->size || changed != lastDesign_->changed) return std::nullopt;
    return lastDesign_->endOffset;
}

}  // namespace mapfeed
