// The cell dialog's name offers: the library is read on a thread of its own (posix/), and a
// timer on the window's thread looks for the answer, so the window never waits for a file
// system; a library that does not answer within the file-system patience offers nothing.
#include <QTimer>

#include <chrono>
#include <memory>

#include "platform/QtServices.h"

namespace mapfeed {

void QtServices::readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) {
    auto started = posix_.startReadingCellNames(path);
    if (!started) {
        done({});
        return;
    }
    auto future = std::make_shared<std::future<std::vector<std::string>>>(std::move(*started));
    const auto deadline = std::chrono::steady_clock::now() + posix::kFileSystemPatience;
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, future, deadline, done = std::move(done)] {
        const bool ready = future->wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        if (!ready && std::chrono::steady_clock::now() < deadline) return;
        timer->stop();
        timer->deleteLater();
        std::vector<std::string> names;
        if (ready) {
            try {
                names = future->get();
            } catch (const std::exception&) {
            }
        }
        done(std::move(names));
    });
    timer->start();
}

}  // namespace mapfeed
