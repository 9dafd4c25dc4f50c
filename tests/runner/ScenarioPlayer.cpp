#include "tests/runner/ScenarioPlayer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Application.h"
#include "browse/BrowseLists.h"
#include "dgn/SampleLibrary.h"
#include "job/RunRecord.h"
#include "tests/runner/EventDriver.h"
#include "tests/runner/ScenarioWorld.h"
#include "tests/runner/Transcript.h"
#include "tests/support/WindowLookup.h"

namespace mapfeed::scenario {

namespace fs = std::filesystem;

namespace {

bool holds(const std::vector<std::string>& entries, const std::string& entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

/// The words of one line after its command.
class Arguments {
public:
    Arguments(std::string rest, int lineNumber, std::string work)
        : rest_(std::move(rest)), line_(lineNumber), work_(std::move(work)) {}

    std::string word(const char* what) {
        if (rest_.empty()) throw MalformedLine(line_, std::string("missing ") + what);
        const std::size_t blank = rest_.find(' ');
        std::string word = rest_.substr(0, blank);
        rest_ = blank == std::string::npos ? "" : rest_.substr(blank + 1);
        return expand(word);
    }

    std::string text(const char* what) {
        if (rest_.empty()) throw MalformedLine(line_, std::string("missing ") + what);
        std::string text = rest_.front() == '"' ? unquote() : rest_;
        rest_.clear();
        return expand(text);
    }

    void end() {
        if (!rest_.empty()) throw MalformedLine(line_, "unexpected text: " + rest_);
    }

private:
    std::string expand(std::string text) const {
        replaceAll(text, "$WORK", work_);
        return text;
    }

    std::string unquote() {
        std::string out;
        std::size_t i = 1;
        for (; i < rest_.size() && rest_[i] != '"'; ++i) {
            if (rest_[i] != '\\') {
                out += rest_[i];
                continue;
            }
            if (++i == rest_.size()) break;
            switch (rest_[i]) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'n': out += '\n'; break;
                case 'x':
                    if (i + 2 < rest_.size() && std::isxdigit(static_cast<unsigned char>(rest_[i + 1])) &&
                        std::isxdigit(static_cast<unsigned char>(rest_[i + 2]))) {
                        out += static_cast<char>(std::stoi(rest_.substr(i + 1, 2), nullptr, 16));
                        i += 2;
                        break;
                    }
                    [[fallthrough]];
                default: throw MalformedLine(line_, std::string("unknown escape \\") + rest_[i]);
            }
        }
        if (i >= rest_.size()) throw MalformedLine(line_, "unterminated quoted text");
        if (i + 1 != rest_.size()) throw MalformedLine(line_, "text after the closing quote");
        return out;
    }

    std::string rest_;
    int line_;
    std::string work_;
};

/// Splits text into its UTF-8 characters, so that `keys` types one character per edit.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC0) length = 2;
        length = std::min(length, text.size() - i);
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

class Player {
public:
    Player(std::string work, const DriverFactory& makeDriver)
        : work_(std::move(work)),
          driver_(makeDriver([this](const std::string& line) { print(line); })),
          world_(driver_->world()),
          app_(world_, driver_->host()) {
        driver_->attach(app_);
        app_.start();
    }

    ~Player() {
        // What happens as the program ends (windows let go) is no part of the transcript.
        printing_ = false;
        world_.endTranscript();
    }

    std::string transcript() const { return transcript_; }
    bool ended() const { return world_.quitRequested; }

    void playLine(const std::string& line, int number) {
        line_ = number;
        print("> " + line);
        driver_->lineStarts(number);
        playCommand(line, number);
        if (!ended()) driver_->lineEnded(number);
    }

private:
    void playCommand(const std::string& line, int number) {
        const std::size_t blank = line.find(' ');
        const std::string command = line.substr(0, blank);
        Arguments args(blank == std::string::npos ? "" : line.substr(blank + 1), number, work_);

        if (command == "file") makeFile(args.text("PATH"));
        else if (command == "folder") makeFolder(args.text("PATH"));
        else if (command == "fifo") makeFifo(args.text("PATH"));
        else if (command == "cell-library") makeCellLibrary(args.text("PATH"));
        else if (command == "env") {
            const std::string name = args.word("NAME");
            ::setenv(name.c_str(), args.text("TEXT").c_str(), 1);
        } else if (command == "unset") {
            const std::string name = args.word("NAME");
            args.end();
            ::unsetenv(name.c_str());
        } else if (command == "type") type(args);
        else if (command == "keys") keys(args);
        else if (command == "pick") pick(args);
        else if (command == "dblclick") doubleClick(args);
        else if (command == "click") click(args);
        else if (command == "hover") hover(args);
        else if (command == "close") close(args);
        else if (command == "answer") answer(args);
        else if (command == "choose") world_.dialogAnswers.emplace_back(args.text("PATH"));
        else if (command == "cancel") {
            args.end();
            world_.dialogAnswers.emplace_back(std::nullopt);
        } else if (command == "fail-start") {
            args.end();
            world_.startFailures.push_back(true);
        } else if (command == "dump") dump(args);
        else if (command == "save-picture") {
            const std::string path = args.text("PATH");
            print(driver_->savePicture(fs::path(path).is_absolute() ? path : local(path).string(), path));
        }
        else throw MalformedLine(number, "unknown command " + command);
    }

    void print(std::string line) {
        if (!printing_) return;
        replaceAll(line, work_, "$WORK");
        transcript_ += line + "\n";
    }

    [[noreturn]] void malformed(const std::string& why) const { throw MalformedLine(line_, why); }

    fs::path local(const std::string& path) const { return fs::path(work_) / path; }

    void makeFile(const std::string& path) {
        const fs::path target = local(path);
        std::error_code error;
        if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
        // A pipe or a folder already there is left as it is: opening a pipe waits for a reader.
        struct stat info {};
        if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return;
        std::ofstream(target, std::ios::binary | std::ios::trunc);
    }

    /// Our sample cell library (CIRCLE, CROSS, LABEL).
    void makeCellLibrary(const std::string& path) {
        const fs::path target = local(path);
        std::error_code error;
        if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
        const dgn::Bytes library = dgn::sampleCellLibrary();
        std::ofstream(target, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(library.data()), static_cast<std::streamsize>(library.size()));
    }

    void makeFolder(const std::string& path) {
        std::error_code error;
        fs::create_directories(local(path), error);
    }

    void makeFifo(const std::string& path) {
        const fs::path target = local(path);
        std::error_code error;
        if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
        ::mkfifo(target.c_str(), 0600);
    }

    /// The window of a name the scenario language knows; nullptr when it does not exist now.
    Window* windowNamed(const std::string& name) {
        Window* window = testing::findWindow(app_, name);
        if (!window && !testing::isWindowName(app_, name)) malformed("unknown window " + name);
        return window;
    }

    struct Target {
        std::string windowName;
        Window* window;  // nullptr: not created yet
        std::string controlName;
    };

    Target target(const std::string& qualified) {
        const std::size_t dot = qualified.find('.');
        Target t{"mapfeed", nullptr, qualified};
        if (dot != std::string::npos) {
            t.windowName = qualified.substr(0, dot);
            t.controlName = qualified.substr(dot + 1);
        }
        t.window = windowNamed(t.windowName);
        return t;
    }

    /// The control an event goes to, or nullptr when the event is ignored (and said so).
    Control* eventControl(const Target& t, Control* control) {
        if (!t.window || !driver_->isShown(*t.window)) {
            print("ignored: " + t.windowName + " is not shown");
            return nullptr;
        }
        if (!driver_->isEnabled(*control)) {
            print("ignored: " + t.windowName + "." + t.controlName + " is disabled");
            return nullptr;
        }
        return control;
    }

    Control& resolve(const Target& t) {
        Control* control = t.window ? testing::findControl(*t.window, t.controlName) : prototypes_.control(t.windowName, t.controlName);
        if (!control) malformed("unknown control " + t.windowName + "." + t.controlName);
        return *control;
    }

    void type(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        Control& control = resolve(t);
        const std::string text = args.text("TEXT");
        if (control.kind() != ControlKind::TextField && control.kind() != ControlKind::List)
            malformed(t.controlName + " takes no typing");
        if (!eventControl(t, &control)) return;
        driver_->type(control, text);
    }

    void keys(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        Control& control = resolve(t);
        const std::string text = args.text("TEXT");
        if (control.kind() != ControlKind::TextField && control.kind() != ControlKind::List)
            malformed(t.controlName + " takes no typing");
        if (!eventControl(t, &control)) return;
        driver_->startKeys(control);
        for (const std::string& character : characters(text)) {
            // A rule set off by one keystroke may disable the field or hide its window.
            if (ended() || !driver_->isShown(*t.window) || !driver_->isEnabled(control)) break;
            driver_->typeCharacter(control, character);
        }
    }

    void pick(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        Control& control = resolve(t);
        const std::string entry = args.text("ENTRY");
        // The same steps for every kind of list: the entry must be listed, then it is picked.
        auto listed = [&](const auto& list) {
            if (!holds(list.entries(), entry)) malformed(t.controlName + " holds no entry " + quoted(entry));
        };
        switch (control.kind()) {
            case ControlKind::List: listed(static_cast<ListBox&>(control)); break;
            case ControlKind::DriveList: listed(static_cast<DriveList&>(control)); break;
            case ControlKind::FolderList: listed(static_cast<FolderList&>(control)); break;
            case ControlKind::FileList: listed(static_cast<FileList&>(control)); break;
            default: malformed(t.controlName + " is not a list");
        }
        if (eventControl(t, &control)) driver_->pick(control, entry);
    }

    void doubleClick(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        Control& control = resolve(t);
        const std::string name = args.text("NAME");
        if (control.kind() != ControlKind::FileList) malformed(t.controlName + " takes no double click");
        auto& files = static_cast<FileList&>(control);
        if (!holds(files.entries(), name)) malformed(t.controlName + " holds no entry " + quoted(name));
        if (eventControl(t, &control)) driver_->doubleClick(files, name);
    }

    void click(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        args.end();
        Control& control = resolve(t);
        const ControlKind kind = control.kind();
        if (kind != ControlKind::Button && kind != ControlKind::CheckBox && kind != ControlKind::OptionButton)
            malformed(t.controlName + " cannot be clicked");
        if (eventControl(t, &control)) driver_->click(control);
    }

    void hover(Arguments& args) {
        const Target t = target(args.word("CONTROL"));
        args.end();
        Control& control = resolve(t);
        if (control.kind() != ControlKind::Button && control.kind() != ControlKind::Frame)
            malformed(t.controlName + " is neither a button nor a frame");
        if (eventControl(t, &control)) driver_->hover(control);
    }

    void close(Arguments& args) {
        const std::string name = args.word("WINDOW");
        args.end();
        Window* window = windowNamed(name);
        if (!window || !driver_->isShown(*window)) {
            print("ignored: " + name + " is not shown");
            return;
        }
        driver_->close(*window);
    }

    void answer(Arguments& args) {
        const std::string what = args.word("OK or Cancel");
        args.end();
        if (what == "OK") world_.messageAnswers.push_back(MessageAnswer::Ok);
        else if (what == "Cancel") world_.messageAnswers.push_back(MessageAnswer::Cancel);
        else malformed("answer takes OK or Cancel, not " + what);
    }

    void dump(Arguments& args) {
        const std::string what = args.word("what to dump");
        args.end();
        if (what == "options") {
            for (int slot = 0; slot < OptionTable::kSlots; ++slot)
                print("slot " + std::to_string(slot) + " flag=" + quoted(app_.options.flag(slot)) +
                      " value=" + quoted(app_.options.value(slot)));
            return;
        }
        if (what == "log") {
            dumpLog();
            return;
        }
        const Target t = target(what);
        const Control& control = resolve(t);
        // A window not made yet has no widgets: it is described as its first opening shows it.
        print(t.window ? driver_->describe(control) : describe(control));
    }

    void dumpLog() {
        // Looked at before it is opened: opening a pipe would wait for a writer.
        if (!fs::is_regular_file(kRunLogName)) {
            print("log missing");
            return;
        }
        std::ifstream log(kRunLogName, std::ios::binary);
        if (!log) {
            print("log missing");
            return;
        }
        std::stringstream content;
        content << log.rdbuf();
        const std::string text = content.str();
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\n', start);
            const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
            print("log " + quoted(text.substr(start, stop - start)));
            start = stop;
        }
    }

    std::string work_;
    std::string transcript_;
    bool printing_ = true;
    std::unique_ptr<EventDriver> driver_;
    ScenarioWorld& world_;
    Application app_;
    testing::Prototypes prototypes_{app_};
    int line_ = 0;
};

/// The temporary folder a play runs in; the process stands in it while it lives.
class WorkFolder {
public:
    WorkFolder() {
        char pattern[] = "/tmp/mapfeed-scenario-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error(std::string("cannot make a work folder: ") + std::strerror(errno));
        path_ = fs::canonical(pattern).string();
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
    ~WorkFolder() {
        std::error_code error;
        fs::current_path(previous_, error);
        fs::remove_all(path_, error);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    fs::path previous_;
};

bool skipped(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

std::string play(const std::vector<std::string>& lines, std::string* partial, const DriverFactory& makeDriver) {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("ACTIVEPROJECT");
    WorkFolder work;
    Player player(work.path(), makeDriver ? makeDriver : DriverFactory(makeModelDriver));
    try {
        for (std::size_t i = 0; i < lines.size() && !player.ended(); ++i)
            if (!skipped(lines[i])) player.playLine(lines[i], static_cast<int>(i + 1));
    } catch (const MalformedLine&) {
        if (partial) *partial = player.transcript();
        throw;
    }
    return player.transcript();
}

}  // namespace mapfeed::scenario
