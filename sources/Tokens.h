#pragma once
// The words of an input line and the number forms the input formats allow.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sources {

/// The line's fields: trimmed, split at commas (with any blanks around them) or at blanks;
/// trailing empty fields dropped.
void splitFields(std::string_view line, std::vector<std::string_view>& fields);

/// A decimal number: optional sign, digits with an optional point (or a point and digits),
/// optional exponent. Values beyond a double become infinite, as they are out of every plane.
std::optional<double> parseNumber(std::string_view text);

/// An id: optional sign and digits.
bool isId(std::string_view text);

/// True for a line holding END alone (any case).
bool isEnd(const std::vector<std::string_view>& fields);

/// text with control characters shown as \xNN, for quoting input in a one-line message.
std::string printable(std::string_view text);

}  // namespace sources
