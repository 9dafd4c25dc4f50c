#include "sources/MossReader.h"

#include <cstdlib>

#include "sources/Tokens.h"

namespace sources {
namespace {

std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    std::string_view part = line.substr(first - 1, last - first + 1);
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == ' ' || part.back() == '\t' || part.back() == '\r')) part.remove_suffix(1);
    return part;
}

std::optional<long> wholeNumber(std::string_view text) {
    if (!isId(text) || text.size() > 9) return std::nullopt;
    return std::strtol(std::string(text).c_str(), nullptr, 10);
}

}  // namespace

MossReader::MossReader(const std::string& path, bool polygons) : path_(path), polygons_(polygons), lines_(path) {}

void MossReader::malformed(long number, const std::string& what) const {
    throw InputError(path_ + " line " + std::to_string(number) + ": " + what);
}

const std::vector<std::string>& MossReader::notes() const {
    if (subjects_ && notes_.empty())
        notes_.push_back(std::to_string(subjects_) + (subjects_ == 1 ? " feature has" : " features have") +
                         " a subject (the first: '" + printable(firstSubject_) +
                         "'); subjects are not stored, a design file element holds no text of its own");
    return notes_;
}

// The header of the next feature, skipping blank lines; false at the end of the file.
bool MossReader::readHeader() {
    std::string_view line;
    while (lines_.next(line)) {
        splitFields(line, fields_);
        if (fields_.empty()) continue;
        std::optional<long> id, count;
        std::string_view subject;
        if (columns(line, 51, 55).size() > 0 && columns(line, 56, 1000).empty()) {
            id = wholeNumber(columns(line, 1, 5));
            count = wholeNumber(columns(line, 51, 55));
            subject = columns(line, 16, 45);
            if (!columns(line, 6, 15).empty() || !columns(line, 46, 50).empty()) id.reset();
        } else if (fields_.size() >= 2) {
            // Blank-separated: the id first, the count last, the subject between.
            id = wholeNumber(fields_.front());
            count = wholeNumber(fields_.back());
            if (fields_.size() > 2)
                subject = std::string_view(fields_[1].data(), fields_[fields_.size() - 2].data() + fields_[fields_.size() - 2].size() - fields_[1].data());
        }
        if (!id || !count)
            malformed(lines_.number(), "expected a feature header (id in columns 1-5, subject in 16-45, number of pairs in 51-55), found '" +
                                           printable(line) + "'");
        if (*count < 1) malformed(lines_.number(), "feature " + std::to_string(std::labs(*id)) + " has no coordinate pairs");
        geographic_ = *id < 0;
        id_ = std::to_string(std::labs(*id));
        headerLine_ = lines_.number();
        remaining_ = *count;
        if (!subject.empty() && subjects_++ == 0) firstSubject_ = std::string(subject);
        return true;
    }
    return false;
}

// The next coordinate pair of the feature.
MossReader::Pair MossReader::readPair() {
    std::string_view line;
    while (lines_.next(line)) {
        splitFields(line, fields_);
        if (fields_.empty()) continue;
        Pair p;
        std::optional<double> x, y;
        long flag = 0;
        if (geographic_) {
            x = parseNumber(columns(line, 1, 10));
            y = parseNumber(columns(line, 11, 20));
            const std::string_view f = columns(line, 21, 22);
            if (!f.empty()) flag = wholeNumber(f).value_or(-1);
            if (!columns(line, 23, 1000).empty()) x.reset();
        } else {
            x = parseNumber(columns(line, 1, 11));
            y = parseNumber(columns(line, 12, 22));
            if (!columns(line, 23, 1000).empty()) x.reset();
        }
        if (!x || !y || flag < 0) {  // blank-separated numbers
            flag = 0;
            x = fields_.size() >= 2 ? parseNumber(fields_[0]) : std::nullopt;
            y = fields_.size() >= 2 ? parseNumber(fields_[1]) : std::nullopt;
            if (geographic_ && fields_.size() == 3) flag = wholeNumber(fields_[2]).value_or(-1);
            if (fields_.size() > (geographic_ ? 3u : 2u) || flag < 0) x.reset();
        }
        if (!x || !y)
            malformed(lines_.number(), "expected a coordinate pair of feature " + id_ + " (line " + std::to_string(headerLine_) +
                                           "), found '" + printable(line) + "'");
        p.islandStart = polygons_ && (geographic_ ? flag == 1 : *x < 0);
        p.at = {*x, *y};
        return p;
    }
    malformed(lines_.number(), "feature " + id_ + " (line " + std::to_string(headerLine_) + ") ends with " +
                                   std::to_string(remaining_) + " of its coordinate pairs missing");
}

bool MossReader::next(Feature& out) {
    for (;;) {
        if (!inFeature_) {
            if (!readHeader()) return false;
            inFeature_ = true;
            ring_ = Feature{};
            ring_.id = id_;
            ring_.line = headerLine_;
            if (remaining_ == 1) {
                --remaining_;
                ring_.points.push_back(readPair().at);
                inFeature_ = false;
                out = std::move(ring_);
                return true;
            }
            ring_.kind = Feature::Kind::Line;
        }
        while (remaining_ > 0 || pending_) {
            Pair p;
            if (pending_) {
                p = pendingPair_;
                pending_ = false;
            } else {
                p = readPair();
                --remaining_;
            }
            if (p.islandStart && !ring_.points.empty()) {
                // The ring so far ends here; the island is the next feature. A projected island
                // is marked by its first x negated.
                pending_ = true;
                pendingPair_ = p;
                pendingPair_.islandStart = false;
                if (!geographic_) pendingPair_.at.x = -pendingPair_.at.x;
                out = std::move(ring_);
                out.continues = false;
                ring_ = Feature{};
                ring_.kind = Feature::Kind::Line;
                ring_.id = kIslandId;
                ring_.line = lines_.number();
                return true;
            }
            if (ring_.points.size() == kPieceVertices) {
                out = ring_;
                out.continues = true;
                ring_.points.clear();
                ring_.continuation = true;
                ring_.points.push_back(p.at);
                return true;
            }
            ring_.points.push_back(p.at);
        }
        inFeature_ = false;
        if (ring_.points.size() < 2 && !ring_.continuation)
            malformed(ring_.line, "a ring of feature " + id_ + " has a single coordinate pair");
        out = std::move(ring_);
        out.continues = false;
        return true;
    }
}

}  // namespace sources
