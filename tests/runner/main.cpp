// mapfeed-scenario: plays a scenario against the window model and prints its transcript, or
// with --check compares the transcript with the .expected file beside the scenario (with
// --widgets, NAME.widgets.expected when there is one). With --widgets the same events are a
// user's mouse and key events on the real Qt window.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/runner/ScenarioPlayer.h"
#ifdef MAPFEED_SCENARIO_WIDGETS
#include "tests/runner/widgets/WidgetPlayer.h"
#endif

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return true;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The difference as `diff -u` shows it, which every reviewer reads at a glance.
void printDifference(const std::string& expectedPath, const std::string& actual) {
    char name[] = "/tmp/mapfeed-actual-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return;
    if (::write(fd, actual.data(), actual.size()) < 0) std::perror("write");
    ::close(fd);
    std::vector<std::string> words = {"diff", "-u", "--label", expectedPath, "--label", "actual", expectedPath, name};
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    pid_t pid;
    if (::posix_spawnp(&pid, "diff", nullptr, nullptr, argv.data(), environ) == 0) {
        int status;
        ::waitpid(pid, &status, 0);
    } else {
        std::cout << "--- " << expectedPath << " differs from the transcript\n";
    }
    ::unlink(name);
}

int usage() {
    std::cerr << "usage: mapfeed-scenario [--widgets] [--check] FILE.scenario\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool check = false;
    bool widgets = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) check = true;
        else if (std::strcmp(argv[i], "--widgets") == 0) widgets = true;
        else if (path.empty()) path = fs::absolute(argv[i]).string();
        else return usage();
    }
    if (path.empty()) return usage();
#ifndef MAPFEED_SCENARIO_WIDGETS
    if (widgets) {
        std::cerr << "mapfeed-scenario: error: --widgets needs the Qt build (this one was built without Qt)\n";
        return 2;
    }
#endif

    std::vector<std::string> lines;
    if (!readLines(path, lines)) {
        std::cerr << path << ": error: cannot read the scenario\n";
        return 2;
    }

    std::string transcript;
    // Where a play through the widgets found the window out of step with the model.
    std::vector<std::string> violations;
    try {
#ifdef MAPFEED_SCENARIO_WIDGETS
        if (widgets)
            transcript = mapfeed::scenario::playThroughWidgets(argc, argv, lines, &transcript, violations);
        else
#endif
            transcript = mapfeed::scenario::play(lines, &transcript);
    } catch (const mapfeed::scenario::MalformedLine& error) {
        if (!check) std::cout << transcript;
        std::cerr << path << ":" << error.lineNumber << ": error: " << error.what() << "\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << path << ": error: " << error.what() << "\n";
        return 2;
    }

    for (const std::string& violation : violations) std::cerr << path << ":" << violation << "\n";
    const int invariantStatus = violations.empty() ? 0 : 1;
    if (!check) {
        std::cout << transcript;
        return invariantStatus;
    }
    // A scenario whose transcript differs through the widgets by design (a picture is saved only
    // there) keeps that transcript beside the other, as NAME.widgets.expected.
    std::string expectedPath = fs::path(path).replace_extension(".expected").string();
    if (const std::string widgetsPath = fs::path(path).replace_extension(".widgets.expected").string();
        widgets && fs::exists(widgetsPath))
        expectedPath = widgetsPath;
    if (!fs::exists(expectedPath)) {
        std::cerr << expectedPath << ": error: no expected transcript beside the scenario\n";
        return 2;
    }
    if (readFile(expectedPath) == transcript) return invariantStatus;
    printDifference(expectedPath, transcript);
    return 1;
}
