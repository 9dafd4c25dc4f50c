#include "sources/GenerateReader.h"

#include "sources/Tokens.h"

namespace sources {

GenerateReader::GenerateReader(const std::string& path) : path_(path), lines_(path) {}

void GenerateReader::malformed(long number, const std::string& what) const {
    throw InputError(path_ + " line " + std::to_string(number) + ": " + what);
}

bool GenerateReader::nextLine(std::string_view& line, long& number) {
    if (hasPushedBack_) {
        hasPushedBack_ = false;
        line = pushedBack_;
        number = pushedBackNumber_;
        return true;
    }
    if (!lines_.next(line)) return false;
    number = lines_.number();
    lastLine_ = number;
    return true;
}

bool GenerateReader::next(Feature& out) {
    std::string_view text;
    long n = 0;
    while (nextLine(text, n)) {
        splitFields(text, fields_);
        if (fields_.empty()) continue;
        if (ended_) malformed(n, "text after the final END (line " + std::to_string(ended_) + ")");
        if (inLine_) {
            if (isEnd(fields_)) {
                if (vertices_ < 2) malformed(n, "record " + current_.id + " has fewer than two vertices");
                inLine_ = false;
                out = std::move(current_);
                out.continues = false;
                return true;
            }
            const auto x = fields_.size() == 2 ? parseNumber(fields_[0]) : std::nullopt;
            const auto y = fields_.size() == 2 ? parseNumber(fields_[1]) : std::nullopt;
            if (!x || !y)
                malformed(n, "expected 'x y' or END in record " + current_.id + ", found '" + printable(text) + "'");
            if (current_.points.size() == kPieceVertices) {
                out = current_;
                out.continues = true;
                current_.points.clear();
                current_.continuation = true;
                current_.points.push_back({*x, *y});
                ++vertices_;
                return true;
            }
            current_.points.push_back({*x, *y});
            ++vertices_;
            continue;
        }
        if (isEnd(fields_)) {
            ended_ = n;
            continue;
        }
        const bool idLine = isId(fields_[0]) &&
                            (fields_.size() == 1 || (fields_.size() == 3 && parseNumber(fields_[1]) && parseNumber(fields_[2])));
        if (!idLine) malformed(n, "expected an id, 'id x y' or END, found '" + printable(text) + "'");
        Feature f;
        f.id = std::string(fields_[0]);
        f.line = n;
        if (fields_.size() == 1) {
            f.kind = Feature::Kind::Line;
        } else {
            const Vertex at{*parseNumber(fields_[1]), *parseNumber(fields_[2])};
            // "id x y" starts a polygon when a vertex line follows, else it is a point.
            std::string_view following;
            long followingNumber = 0;
            bool vertexFollows = false;
            std::vector<std::string_view> fields;
            while (nextLine(following, followingNumber)) {
                splitFields(following, fields);
                if (fields.empty()) continue;
                vertexFollows = fields.size() == 2 && parseNumber(fields[0]) && parseNumber(fields[1]);
                pushedBack_.assign(following);
                pushedBackNumber_ = followingNumber;
                hasPushedBack_ = true;
                break;
            }
            if (vertexFollows) {
                f.kind = Feature::Kind::Line;
                f.label = at;
            } else {
                f.kind = Feature::Kind::Point;
                f.points.push_back(at);
                out = std::move(f);
                return true;
            }
        }
        current_ = std::move(f);
        current_.points.clear();
        vertices_ = 0;
        inLine_ = true;
    }
    if (inLine_)
        malformed(lastLine_, "record " + current_.id + " (line " + std::to_string(current_.line) + ") is not ended by END");
    if (!ended_) throw InputError(path_ + " does not end with the final END line (cut short?)");
    return false;
}

bool looksLikeGenerate(const std::string& path, const std::function<void()>& beforeRead) {
    LineReader lines(path);
    lines.beforeRead = beforeRead;
    std::string_view line;
    std::vector<std::string_view> fields;
    while (lines.next(line)) {
        splitFields(line, fields);
        if (isEnd(fields)) return true;
    }
    return false;
}

}  // namespace sources
