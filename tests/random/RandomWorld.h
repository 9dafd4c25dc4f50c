#pragma once

#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/RecordingHost.h"
#include "tests/support/RecordingServices.h"

namespace mapfeed {

/// The recording services answering at random: message boxes, file dialogs, failing starts
/// and logs, over a few synthetic folders, some of them unreadable. Nothing is printed; it
/// records what was started and checks what reaches the converter and the log.
class RandomWorld : public testing::RecordingServices, public testing::RecordingHost {
public:
    explicit RandomWorld(std::mt19937& random) : random_(random) {
        print = [](const std::string&) {};
        here = "/w";
        driveScan = {{"/", "/m"}, {}};
        folders = {{"/", {{"w", "m"}, {}}},
                   {"/w", {{"sub", "locked"}, {"a.gen", "b.dgn", "X.DGN", "olddgn", "gn", "c.ulf"}}},
                   {"/w/sub", {{}, {"in.gen", "out.dgn"}}},
                   {"/m", {{"data"}, {"u.gen"}}}};
    }

    std::vector<std::string> started;

    MessageAnswer messageBox(const std::string&, MessageButtons) override {
        return chance(0.5) ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
    std::optional<std::string> showOpenFile(const OpenFileDialog&) override {
        static const char* const kChoices[] = {"/w/a.gen", "/w/b.dgn", "in.gen", "out.dgn", "x\ny.gen"};
        if (chance(0.3)) return std::nullopt;
        return std::string(kChoices[std::uniform_int_distribution<int>(0, 4)(random_)]);
    }
    StartResult startProcess(const ConverterCommand& command) override {
        // The converter gets the two paths tested just before, whole, "-+" kept apart.
        const std::vector<std::string>& a = command.arguments;
        const std::size_t d = a.size() > 5 && a[5] == "-+" ? 6 : 5;
        if (a.size() < d + 2 || a[4] != tested[0] || a[d] != "-D" || a[d + 1] != tested[1])
            wrongArguments = command.commandLine;
        if (chance(0.1)) return {false, 0, "no such program"};
        started.push_back(command.commandLine);
        return {true, static_cast<long>(started.size()), {}};
    }
    FileCheck checkFile(const std::string& path) override {
        tested[0] = std::move(tested[1]);
        tested[1] = path;
        const bool exists = path == "in.gen" || path == "out.dgn" || path == "/w/a.gen" || path == "/w/b.dgn" ||
                            path == "/w/sub/in.gen" || path == "/w/sub/out.dgn" || path == "x\ny.gen";
        return exists ? FileCheck::Exists : FileCheck::Missing;
    }
    std::string environment(const std::string&) override { return chance(0.5) ? "/w" : ""; }
    std::string dateTimeText() override { return "01/02/00 03:04:05"; }
    std::optional<std::string> appendRunLog(const std::string& record) override {
        if (chance(0.05)) return std::string("No space left on device");
        // Three lines, each ended by CR LF, and no other line break anywhere.
        std::size_t ends = 0;
        for (std::size_t at = record.find('\n'); at != std::string::npos; at = record.find('\n', at + 1)) {
            if (at == 0 || record[at - 1] != '\r') brokenRecord = record;
            ++ends;
        }
        if (ends != 3 || record.find('\r') != record.find("\r\n") || record.back() != '\n') brokenRecord = record;
        ++records;
        return std::nullopt;
    }

    std::size_t records = 0;
    std::string brokenRecord;  // the first record that was not three whole lines
    std::string tested[2];  // the last two paths given to the existence test
    std::string wrongArguments;  // a start whose files were not the tested ones

private:
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

    std::mt19937& random_;
};

}  // namespace mapfeed
