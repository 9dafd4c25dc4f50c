// Plays many thousands of random user events over every window of the model and checks,
// after each one, the invariants the rules promise. Seeded, bounded in count and time.
//
//   mapfeed-random-events [--seed N] [--events N] [--seconds S]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "browse/BrowseWindow.h"
#include "app/Application.h"
#include "tests/random/Invariants.h"
#include "tests/random/RandomWorld.h"

using namespace mapfeed;

namespace {

const std::vector<std::string> kTexts = {
    "", " ", "  ", "in.gen", "out.dgn", "in.gen -+", "out.dgn -+", " -+", "-+", "1", "12", "-i", "0", "100",
    "roads", "Point", "MOSS", "Linear", "Cells", "*.gen", "*.dgn", "*.*", "a?", "x\ny", "cr\r", std::string("n\0l", 3),
    "\"quoted\"", "back\\slash", "tab\there", "$(touch INJ)", "`id`", "a;b|c&d", "-rf", "\xff\xfe", "\xc3\xa9t\xc3\xa9",
    std::string(1000, 'L'), "*", "?", "dgn", "olddgn", "X.DGN"};

struct Options {
    unsigned seed = 20261207;
    long events = 200000;
    double seconds = 60;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--seed")) o.seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (!std::strcmp(argv[i], "--events")) o.events = std::strtol(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seconds")) o.seconds = std::strtod(argv[i + 1], nullptr);
        else throw std::runtime_error(std::string("unknown option ") + argv[i]);
    }
    return o;
}

class Player {
public:
    explicit Player(unsigned seed) : random_(seed), world_(random_) { restart(); }

    /// Plays one event; returns a description of it for the report of a broken invariant.
    std::string playOne() {
        if (world_.quitRequested) restart();
        // Every so often a job is pressed on, so that "Apply" gets past its checks often.
        if (chance(0.05)) return click(app_->mapfeed.ApplyCmd, "mapfeed.ApplyCmd");
        std::vector<Window*> windows;
        for (Window* w : app_->windows())
            if (w->visible() || chance(0.05)) windows.push_back(w);
        Window& window = *windows[pick(windows.size())];
        if (chance(0.01)) {
            const std::string name = window.name();
            if (window.visible()) app_->closeThroughFrame(window);
            return "close " + name;
        }
        if (!window.visible()) return "nothing (" + window.name() + " hidden)";
        const auto& controls = window.controls();
        Control& control = *controls[pick(controls.size())];
        const std::string where = window.name() + "." + control.name();
        switch (control.kind()) {
            case ControlKind::TextField: {
                const bool fileField = &control == &app_->mapfeed.InfileTxt || &control == &app_->mapfeed.DgnFileTxt;
                const std::string text = fileField && chance(0.7) ? existingFile() : randomText();
                static_cast<TextField&>(control).userTypes(text);
                return "type " + where;
            }
            case ControlKind::List: {
                auto& list = static_cast<ListBox&>(control);
                if (chance(0.3) || list.entries().empty()) {
                    list.userTypes(randomText());
                    return "type " + where;
                }
                list.userPicks(list.entry(pick(list.entries().size())));
                return "pick " + where;
            }
            case ControlKind::Button: {
                auto& button = static_cast<Button&>(control);
                if (chance(0.2)) {
                    button.userHovers();
                    return "hover " + where;
                }
                return click(button, where);
            }
            case ControlKind::CheckBox: static_cast<CheckBox&>(control).userClicks(); return "click " + where;
            case ControlKind::OptionButton: static_cast<OptionButton&>(control).userClicks(); return "click " + where;
            case ControlKind::Frame: static_cast<Frame&>(control).userHovers(); return "hover " + where;
            case ControlKind::Label: return "nothing (label)";
            case ControlKind::DriveList: {
                auto& drives = static_cast<DriveList&>(control);
                drives.userPicks(drives.entries()[pick(drives.entries().size())]);
                return "pick " + where;
            }
            case ControlKind::FolderList: {
                auto& folders = static_cast<FolderList&>(control);
                folders.userOpens(folders.entries()[pick(folders.entries().size())]);
                return "pick " + where;
            }
            case ControlKind::FileList: {
                auto& files = static_cast<FileList&>(control);
                if (files.entries().empty()) return "nothing (no files)";
                const std::string& name = files.entries()[pick(files.entries().size())];
                if (chance(0.5)) files.userDoubleClicks(name);
                else files.userPicks(name);
                return "pick " + where;
            }
        }
        return "nothing";
    }

    void check(const std::string& event) const { checkInvariants(*app_, world_, event); }
    std::size_t starts() const { return world_.started.size(); }

private:
    std::string click(Button& button, const std::string& where) {
        // "Apply" must start exactly the command line shown just before it.
        const bool mainApply = &button == &app_->mapfeed.ApplyCmd;
        const std::string preview = mainApply ? app_->mapfeed.previewCommandLine() : std::string();
        const std::size_t startsBefore = world_.started.size();
        button.userClicks();
        if (mainApply && world_.started.size() > startsBefore && world_.started.back() != preview)
            throw std::runtime_error("started command differs from the preview:\n  " + world_.started.back() +
                                     "\n  " + preview);
        return "click " + where;
    }

    void restart() {
        app_.reset();
        world_.quitRequested = false;
        app_ = std::make_unique<Application>(world_, world_);
        app_->start();
    }

    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    std::string randomText() {
        std::string text = kTexts[pick(kTexts.size())];
        if (chance(0.2)) text += kTexts[pick(kTexts.size())];
        return text;
    }

    std::string existingFile() {
        static const char* const kFiles[] = {"in.gen", "out.dgn", "/w/a.gen", "/w/b.dgn", "in.gen -+", "x\ny.gen"};
        return kFiles[pick(6)];
    }

    std::mt19937 random_;
    RandomWorld world_;
    std::unique_ptr<Application> app_;
};

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parse(argc, argv);
        Player player(options.seed);
        const auto start = std::chrono::steady_clock::now();
        long played = 0;
        double elapsed = 0;
        for (; played < options.events; ++played) {
            const std::string event = player.playOne();
            player.check(event);
            if (played % 1000 == 0) {
                elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                if (elapsed > options.seconds) break;
            }
        }
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("random events: played %ld events (%zu converter starts) in %.2f s (seed %u), every invariant held\n",
                    played, player.starts(), elapsed, options.seed);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "random events: %s\n", error.what());
        return 1;
    }
}
