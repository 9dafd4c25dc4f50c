#pragma once

#include <string>
#include <vector>

namespace mapfeed {

/// Splits a command line into arguments the way the classic C runtime of the converter's home
/// platform did, so that a job starts with the same arguments there and here, without a shell:
/// - blanks and tabs separate arguments, a run of them counts once;
/// - double quotes group and are removed, and may open and close in the middle of a word;
/// - 2n backslashes before a quote give n backslashes and the quote groups; 2n+1 give n
///   backslashes and a literal quote; backslashes elsewhere are literal;
/// - inside quotes, two quotes give one literal quote and end the quoted part;
/// - the first word (the program) ends at the first blank outside quotes, backslashes literal.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

/// The same rules for text that holds arguments only (no program name first); the arguments
/// are appended to `into`.
void appendSplitArguments(const std::string& text, std::vector<std::string>& into);

}  // namespace mapfeed
