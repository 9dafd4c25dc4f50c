#include "runs/ShellQuote.h"

#include <stdio.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace mapfeed;

namespace {

/// The words a real shell reads from the line: each printed and ended by a NUL.
std::vector<std::string> asTheShellReadsIt(const std::string& line) {
    FILE* shell = ::popen(("set -- " + line + "; for w; do printf '%s\\0' \"$w\"; done").c_str(), "r");
    std::vector<std::string> words(1);
    for (int c; (c = std::fgetc(shell)) != EOF;) {
        if (c == '\0') words.emplace_back();
        else words.back() += static_cast<char>(c);
    }
    ::pclose(shell);
    words.pop_back();
    return words;
}

}  // namespace

TEST(ShellQuote, EveryWordComesBackWholeThroughARealShell) {
    const std::vector<std::string> words{
        "perl", "-S", "mapfeed.pl", "-I", "/data/my maps/in.gen", "-D", "it's \"here\".dgn", "-T", "$HOME;rm *",
        "a\tb\nc", "`x`", "", "-+", "back\\slash", "-sp", "0,1,2"};
    EXPECT_EQ(words, asTheShellReadsIt(shellQuoted(words)));
}

TEST(ShellQuote, PlainWordsStayReadable) {
    EXPECT_EQ("perl -S mapfeed.pl -I /data/in.gen -sp 0,1,2", shellQuoted({"perl", "-S", "mapfeed.pl", "-I", "/data/in.gen", "-sp", "0,1,2"}));
    EXPECT_EQ("'' 'a b'", shellQuoted({"", "a b"}));
}
