#pragma once

#include <QString>
#include <string>

namespace mapfeed {

/// A text the user must read as it will be used (a command line, a file name), made so that
/// nothing in it hides or misleads. A control character is shown as its visible symbol, "\r" as
/// U+240D and so on, so that it can neither break the line it stands in nor vanish from it; a
/// format character (a bidi override, a zero-width space) as its code, ‹U+202E›, so that
/// nothing reorders what follows or makes two names look alike.
QString visibleText(const std::string& text);

/// A line of a program's output as `visibleText` shows text, but with its tabs kept: output
/// lays out columns with them, and a tab can neither hide nor reorder anything.
QString visibleOutputLine(const QString& line);

}  // namespace mapfeed
