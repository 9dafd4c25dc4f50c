#include "convert/Converter.h"

#include <cmath>
#include <cstdio>

#include "convert/Failure.h"
#include "convert/LineworkWriter.h"
#include "dgn/CellPlacement.h"
#include "dgn/Elements.h"
#include "dgn/Linkage.h"

namespace convert {
namespace {

// More than any complex shape holds: a ring is refused once it has this many vertices.
constexpr std::size_t kMaxRingVertices = 16500;
constexpr std::size_t kDeliverBytes = 256 << 10;
constexpr std::size_t kMaxListedSubstitutions = 1000;
const std::string kIslandId = "-99999";

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v == 0 ? 0.0 : v);
    return text;
}

std::string plainWhat(const std::string& id, long line) {
    return "record " + id + " (input line " + std::to_string(line) + ")";
}

// Texts know no margins: a margin justification places the text as left or right.
int textJustification(int asked) {
    switch (asked) {
    case 3: return 0;
    case 4: return 1;
    case 5: return 2;
    case 9: return 12;
    case 10: return 13;
    case 11: return 14;
    default: return asked;
    }
}

bool inside(const std::vector<dgn::Point>& ring, dgn::Point p) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const dgn::Point a = ring[i], b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) &&
            p.x < (double(b.x) - a.x) * (double(p.y) - a.y) / (double(b.y) - a.y) + a.x)
            in = !in;
    }
    return in;
}

}  // namespace

struct Converter::LineState {
    std::optional<LineworkWriter> writer;
};

struct Converter::TextPlacement {
    dgn::Text text;
    dgn::Range range;
    int asked = 2;
    double height = 0;
};

Converter::Converter(const Job& job, const DesignPlane& plane, char theme, std::uint16_t lastNodeNumber,
                     std::uint16_t lastGraphicGroup, std::function<void(std::span<const std::uint8_t>)> sink,
                     const dgn::LibraryCell* cell)
    : job_(job), plane_(plane), cell_(cell), theme_(theme), nodeNumber_(lastNodeNumber), graphicGroup_(lastGraphicGroup),
      sink_(std::move(sink)), line_(std::make_unique<LineState>()) {}

Converter::~Converter() = default;

void Converter::substitute(const std::string& text) {
    if (substitutions_.size() < kMaxListedSubstitutions) substitutions_.push_back(text);
    else ++unlisted_;
}

// The mslink of the next record, counting up from the first, or the record's own id.
std::vector<std::uint8_t> Converter::nextLinkage(const std::string& id, long line) {
    if (!job_.hasMslinks()) return {};
    long mslink = 0;
    if (job_.mslinkFromIds) {
        std::size_t at = !id.empty() && id[0] == '+' ? 1 : 0;
        bool ok = at < id.size();
        for (; ok && at < id.size(); ++at) {
            ok = id[at] >= '0' && id[at] <= '9';
            if (ok) mslink = mslink * 10 + (id[at] - '0');
            if (mslink > long(dgn::kMaxMslink)) ok = false;
        }
        if (!ok || mslink < 1)
            throw Failure(kInput, "record at input line " + std::to_string(line) + ": its id '" + id +
                                      "' cannot be an mslink (1 to " + std::to_string(dgn::kMaxMslink) + ")");
    } else {
        mslink = *job_.firstMslink + sequence_++;
        if (mslink > long(dgn::kMaxMslink))
            throw Failure(kUsage, "-M " + std::to_string(*job_.firstMslink) + ": record at input line " + std::to_string(line) +
                                      " would get mslink " + std::to_string(mslink) + ", more than " +
                                      std::to_string(dgn::kMaxMslink));
    }
    const auto bytes = dgn::encodeDmrs({kEntityNumber, static_cast<std::uint32_t>(mslink)});
    return {bytes.begin(), bytes.end()};
}

void Converter::outsidePlane(const Record& r, const std::string& what) const {
    throw Failure(kDesign, plainWhat(r.id, r.line) + ": " + what + " lies outside the design plane");
}

dgn::Point Converter::toUor(const Record& r, double x, double y) const {
    const auto p = plane_.toUor(x, y);
    if (!p) outsidePlane(r, "the coordinate (" + number(x) + ", " + number(y) + ")");
    return *p;
}

void Converter::deliver(bool force) {
    if (pending_) {
        // What stands before the polygon held back is final.
        if (pendingStart_ >= kDeliverBytes) {
            sink_(std::span<const std::uint8_t>(out_.data(), pendingStart_));
            out_.erase(out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
            pendingStart_ = 0;
        }
        return;
    }
    if (!out_.empty() && (force || out_.size() >= kDeliverBytes)) {
        sink_(out_);
        out_.clear();
    }
}

void Converter::feature(const sources::Feature& f) {
    if (f.kind == sources::Feature::Kind::Point) {
        flushPending();
        Record r{f.id, f.line, std::nullopt};
        if (theme_ != 'P' && !job_.pointLevel) {
            ++leftOut_;
            return;
        }
        location(r, f.points[0], nextLinkage(f.id, f.line));
        deliver(false);
        return;
    }
    if (theme_ == 'P')
        throw Failure(kInput, job_.input + " line " + std::to_string(f.line) + ": record " + f.id +
                                  " is a line, but -P P asks for points only");
    if (!f.continuation) startRecord(f);
    for (const sources::Vertex& v : f.points) {
        ++vertices_;
        if (closed_) {
            if (ring_.size() == kMaxRingVertices)
                throw Failure(kInput, plainWhat(record_.id, record_.line) + " has too many vertices (more than " +
                                          std::to_string(kMaxRingVertices) + ") for one complex element");
            ring_.push_back(v);
        } else {
            line_->writer->add(toUor(record_, v.x, v.y));
        }
    }
    if (!f.continues) endRecord();
    deliver(false);
}

void Converter::startRecord(const sources::Feature& f) {
    record_ = Record{f.id, f.line, f.label};
    closed_ = theme_ == 'A';
    vertices_ = 0;
    ring_.clear();
    if (closed_) {
        if (f.id == kIslandId && !pending_)
            throw Failure(kInput, plainWhat(f.id, f.line) + ": an island (id " + kIslandId + ") with no polygon before it");
        return;
    }
    flushPending();
    linkage_ = nextLinkage(f.id, f.line);
    dgn::ElementCore style;
    style.level = job_.lineLevel.value_or(1);
    if (job_.lineSymbology)
        style.symbology = {std::uint8_t(job_.lineSymbology->style), std::uint8_t(job_.lineSymbology->weight),
                           std::uint8_t(job_.lineSymbology->color)};
    const Record r = record_;
    line_->writer.emplace(out_, job_.curves, style, linkage_,
                          [this, r] { outsidePlane(r, "a steering point or the range of its curve"); });
}

void Converter::endRecord() {
    if (closed_) {
        endPolygon();
        return;
    }
    const std::size_t chains = line_->writer->finish();
    line_->writer.reset();
    if (chains == 0) {
        ++counts_[job_.curves ? "curve" : "line string"];
    } else {
        counts_["complex chain"] += static_cast<long>(chains);
        if (chains > 1)
            substitute(plainWhat(record_.id, record_.line) + ": its " + std::to_string(vertices_) +
                       " vertices are more than one complex chain holds; written as " + std::to_string(chains) +
                       " complex chains, one after the other" + (linkage_.empty() ? "" : ", sharing its mslink"));
    }
    if (record_.label) {
        if (job_.pointLevel) location(record_, *record_.label, linkage_);
        else ++leftOut_;
    }
}

void Converter::endPolygon() {
    const Record r = record_;
    if (ring_.front() != ring_.back()) {
        ring_.push_back(ring_.front());
        substitute(plainWhat(r.id, r.line) + ": the polygon was not closed; its first vertex was repeated at its end");
    }
    if (ring_.size() < 4) throw Failure(kInput, plainWhat(r.id, r.line) + ": a polygon needs at least three vertices");
    std::vector<dgn::Point> ring;
    ring.reserve(ring_.size());
    for (const sources::Vertex& v : ring_) ring.push_back(toUor(r, v.x, v.y));

    const bool island = pending_ && (r.id == kIslandId || (r.id == pendingRecord_.id && !r.label && inside(pendingRing_, ring[0])));
    if (island) {
        if (pendingGroup_ == 0) {
            pendingGroup_ = ++graphicGroup_;
            if (pendingGroup_ == 0) pendingGroup_ = graphicGroup_ = 1;  // the numbers start over
            for (std::size_t at = pendingStart_; at < out_.size(); at += 4 + 2 * std::size_t{dgn::getWord(&out_[at + 2])})
                dgn::setWord(&out_[at + 28], pendingGroup_);
        }
        writePolygon(ring, dgn::kPropertyHole, pendingGroup_, pendingLinkage_, r);
        ++counts_["hole"];
        return;
    }
    flushPending();
    const auto linkage = nextLinkage(r.id, r.line);
    pendingStart_ = out_.size();
    writePolygon(ring, 0, 0, linkage, r);
    ++counts_[ring.size() <= dgn::kMaxVertices ? "shape" : "complex shape"];
    pending_ = true;
    pendingRecord_ = r;
    pendingRing_ = std::move(ring);
    pendingLinkage_ = linkage;
    pendingGroup_ = 0;
}

void Converter::writePolygon(const std::vector<dgn::Point>& ring, std::uint16_t properties, std::uint16_t group,
                             const std::vector<std::uint8_t>& linkage, const Record& r) {
    dgn::ElementCore core;
    core.level = job_.lineLevel.value_or(1);
    if (job_.lineSymbology)
        core.symbology = {std::uint8_t(job_.lineSymbology->style), std::uint8_t(job_.lineSymbology->weight),
                          std::uint8_t(job_.lineSymbology->color)};
    core.properties = properties;
    core.graphicGroup = group;
    core.range = dgn::Range::at(ring[0]);
    for (const dgn::Point& p : ring) core.range.include(p);
    if (ring.size() <= dgn::kMaxVertices) {
        dgn::encodeMultiPoint(out_, dgn::ElementType::Shape, core, ring, linkage);
        return;
    }
    dgn::Bytes components;
    std::size_t count = 0;
    for (std::size_t start = 0; start + 1 < ring.size(); start += dgn::kMaxVertices - 1) {
        const std::size_t end = std::min(start + dgn::kMaxVertices - 1, ring.size() - 1);
        const std::span<const dgn::Point> piece(ring.data() + start, end - start + 1);
        dgn::ElementCore component = core;
        component.complex = true;
        component.properties = 0;
        component.range = dgn::Range::at(piece[0]);
        for (const dgn::Point& p : piece) component.range.include(p);
        dgn::encodeMultiPoint(components, dgn::ElementType::LineString, component, piece);
        ++count;
    }
    if (!dgn::encodeComplexHeader(out_, dgn::ElementType::ComplexShape, core, count, components.size() / 2, linkage))
        throw Failure(kInput, plainWhat(r.id, r.line) + " has too many vertices (" + std::to_string(ring.size()) +
                                  ") for one complex element");
    out_.insert(out_.end(), components.begin(), components.end());
}

void Converter::flushPending() {
    if (!pending_) return;
    pending_ = false;
    if (pendingRecord_.label) {
        if (job_.pointLevel) location(pendingRecord_, *pendingRecord_.label, pendingLinkage_);
        else ++leftOut_;
    }
}

void Converter::finish() {
    flushPending();
    deliver(true);
}

// The grid cell's centre when the job gives a grid.
static sources::Vertex snapped(const Job& job, sources::Vertex v) {
    if (!job.raster) return v;
    const RasterGrid& g = *job.raster;
    const double column = std::floor((v.x - g.ulhx) / g.pixel);
    const double row = std::floor((g.ulhy - v.y) / g.pixel);
    return {g.ulhx + (column + 0.5) * g.pixel, g.ulhy - (row + 0.5) * g.pixel};
}

// A text stores its lower left corner; the justification names where the location lies on
// the text's box (0-2 left, 6-8 centre, 12-14 right; each top, centre, bottom). Characters are
// as wide as they are high.
Converter::TextPlacement Converter::textAt(const Record& r, dgn::Point at) const {
    TextPlacement t;
    t.height = job_.textSize.value_or(1.0) * plane_.uorsPerMaster;
    t.asked = job_.justification.value_or(2);
    const int just = textJustification(t.asked);
    t.text.characters = r.id.substr(0, 255);
    const double length = t.height * double(t.text.characters.size());
    const double dx = just >= 12 ? length : just >= 6 ? length / 2 : 0;
    const double dy = just % 3 == 0 ? t.height : just % 3 == 1 ? t.height / 2 : 0;
    const double x = std::floor(at.x - dx + 0.5), y = std::floor(at.y - dy + 0.5);
    const double xh = x + std::floor(length + 0.5), yh = y + std::floor(t.height + 0.5);
    if (!inPlane(x) || !inPlane(y) || !inPlane(xh) || !inPlane(yh)) outsidePlane(r, "the text '" + t.text.characters + "'");
    t.text.origin = {std::int32_t(x), std::int32_t(y)};
    t.range = {std::int32_t(x), std::int32_t(y), std::int32_t(xh), std::int32_t(yh)};
    t.text.font = static_cast<std::uint8_t>(job_.font.value_or(0));
    t.text.justification = static_cast<std::uint8_t>(just);
    t.text.lengthMultiplier = t.text.heightMultiplier = static_cast<std::int32_t>(std::floor(t.height * 1000 / 6 + 0.5));
    return t;
}

// A point or centroid as the job's point type asks.
void Converter::location(const Record& r, sources::Vertex v, const std::vector<std::uint8_t>& linkage) {
    dgn::ElementCore core;
    core.level = job_.pointLevel.value_or(1);
    if (job_.pointSymbology)
        core.symbology = {std::uint8_t(job_.pointSymbology->style), std::uint8_t(job_.pointSymbology->weight),
                          std::uint8_t(job_.pointSymbology->color)};
    const sources::Vertex at = snapped(job_, v);
    const dgn::Point uor = toUor(r, at.x, at.y);
    if (job_.pointType == 'A' || job_.pointType == 'T') {
        const TextPlacement t = textAt(r, uor);
        core.range = t.range;
        if (job_.pointType == 'A') {
            dgn::encodeText(out_, core, t.text, linkage);
            ++counts_["text"];
            return;
        }
        // The node keeps the location itself and the justification as asked; the mslink goes on
        // the node and on its text, which is what readers of texts show.
        dgn::Bytes text;
        dgn::ElementCore component = core;
        component.complex = true;
        dgn::encodeText(text, component, t.text, linkage);
        dgn::TextNode node;
        node.count = 1;
        node.number = ++nodeNumber_;
        node.maxUsed = static_cast<std::uint8_t>(t.text.characters.size());
        node.font = t.text.font;
        node.justification = static_cast<std::uint8_t>(t.asked);
        node.lineSpacing = static_cast<std::int32_t>(std::floor(t.height * 1.5 + 0.5));
        node.lengthMultiplier = node.heightMultiplier = t.text.heightMultiplier;
        node.origin = uor;
        dgn::encodeTextNode(out_, core, node, text.size() / 2, linkage);
        out_.insert(out_.end(), text.begin(), text.end());
        ++counts_["text node"];
        return;
    }
    if (job_.pointType == 'C' && cell_) {
        dgn::CellPlacement placement;
        placement.origin = uor;
        placement.level = job_.pointLevel;
        if (job_.pointSymbology) placement.symbology = core.symbology;
        if (!dgn::placeCell(out_, *cell_, placement, linkage)) outsidePlane(r, "the cell " + cell_->header.name);
        ++counts_["cell"];
        return;
    }
    core.range = dgn::Range::at(uor);
    dgn::encodeLine(out_, core, uor, uor, linkage);
    ++counts_["point"];
}

}  // namespace convert
