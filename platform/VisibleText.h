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

}  // namespace mapfeed
