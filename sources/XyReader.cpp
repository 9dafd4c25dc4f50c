#include "sources/XyReader.h"

#include "sources/Tokens.h"

namespace sources {

namespace {
constexpr std::size_t kMaxNotes = 100;  // heading lines reported; more are skipped unreported
}

XyReader::XyReader(const std::string& path, bool joined) : path_(path), joined_(joined), lines_(path) {}

bool XyReader::nextPoint(Feature& point) {
    std::string_view text;
    while (lines_.next(text)) {
        const long n = lines_.number();
        splitFields(text, fields_);
        if (fields_.empty()) continue;
        if (ended_)
            throw InputError(path_ + " line " + std::to_string(n) + ": text after END (line " + std::to_string(ended_) +
                             "), which ends the data; remove the END line or what follows it");
        if (isEnd(fields_)) {
            ended_ = n;
            continue;
        }
        if (!anyPoint_) {
            bool allNumbers = true, anyDigit = false;
            for (auto f : fields_) {
                allNumbers = allNumbers && parseNumber(f);
                anyDigit = anyDigit || f.find_first_of("0123456789") != std::string_view::npos;
            }
            if (!allNumbers && !anyDigit) {
                if (notes_.size() < kMaxNotes)
                    notes_.push_back(path_ + " line " + std::to_string(n) + ": '" + printable(text) +
                                 "' read as column names and skipped");
                continue;
            }
        }
        ++sequence_;
        point = Feature{};
        point.kind = Feature::Kind::Point;
        point.line = n;
        if (fields_.size() == 2 && parseNumber(fields_[0]) && parseNumber(fields_[1])) {
            point.id = std::to_string(sequence_);
            point.numbered = true;
            point.points.push_back({*parseNumber(fields_[0]), *parseNumber(fields_[1])});
        } else if (fields_.size() == 3 && isId(fields_[0]) && parseNumber(fields_[1]) && parseNumber(fields_[2])) {
            point.id = std::string(fields_[0]);
            point.points.push_back({*parseNumber(fields_[1]), *parseNumber(fields_[2])});
        } else {
            throw InputError(path_ + " line " + std::to_string(n) + ": expected 'x y' or 'id x y', found '" +
                             printable(text) + "'");
        }
        anyPoint_ = true;
        return true;
    }
    return false;
}

bool XyReader::nextLine(Feature& line) {
    if (!started_) {
        hasAhead_ = nextPoint(ahead_);
        started_ = true;
    }
    if (!hasAhead_) return false;
    const std::string key = ahead_.numbered ? std::string() : ahead_.id;
    if (continuing_) {
        piece_.continuation = true;
    } else {
        piece_ = Feature{};
        piece_.kind = Feature::Kind::Line;
        piece_.id = ahead_.numbered ? "1" : ahead_.id;
        piece_.line = ahead_.line;
    }
    piece_.points.clear();
    piece_.continues = false;
    std::size_t taken = 0;
    for (;;) {
        if (piece_.points.size() == kPieceVertices) {
            piece_.continues = true;
            break;
        }
        piece_.points.push_back(ahead_.points[0]);
        ++taken;
        hasAhead_ = nextPoint(ahead_);
        if (!hasAhead_ || (ahead_.numbered ? std::string() : ahead_.id) != key) break;
    }
    if (!continuing_ && !piece_.continues && taken < 2)
        throw InputError("id " + piece_.id + " (input line " + std::to_string(piece_.line) +
                         "): a line needs at least two points");
    continuing_ = piece_.continues;
    line = piece_;
    return true;
}

bool XyReader::next(Feature& feature) {
    if (!joined_) return nextPoint(feature);
    return nextLine(feature);
}

}  // namespace sources
