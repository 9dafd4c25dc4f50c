#include "convert/LineworkWriter.h"

#include "convert/CurveGeometry.h"
#include "dgn/Elements.h"

namespace convert {

LineworkWriter::LineworkWriter(dgn::Bytes& out, bool curve, const dgn::ElementCore& style,
                               std::vector<std::uint8_t> linkage, std::function<void()> outsidePlane)
    : out_(out), curve_(curve), style_(style), linkage_(std::move(linkage)), outsidePlane_(std::move(outsidePlane)),
      limit_(curve ? dgn::kMaxVertices - 4 : dgn::kMaxVertices) {}

dgn::Point LineworkWriter::at(long i) const {
    if (i < 0) {
        const auto p = extrapolated(first_[0], first_[1], static_cast<int>(-i));
        if (!p) outsidePlane_();
        return *p;
    }
    if (i >= count_) {
        const auto p = extrapolated(last_[1], last_[0], static_cast<int>(i - count_ + 1));
        if (!p) outsidePlane_();
        return *p;
    }
    return window_[static_cast<std::size_t>(i - base_)];
}

void LineworkWriter::add(dgn::Point p) {
    if (count_ < 2) first_[count_] = p;
    last_[0] = count_ ? last_[1] : p;
    last_[1] = p;
    window_.push_back(p);
    ++count_;
    if (static_cast<std::size_t>(count_) <= limit_) return;
    // Too long for one element: hand on every piece whose neighbours are known.
    const long lookahead = curve_ ? 2 : 0;
    while (pieceStart_ + long(limit_) - 1 + lookahead < count_ - 1) {
        const long end = pieceStart_ + long(limit_) - 1;
        emitPiece(pieceStart_, end);
        pieceStart_ = end;
        const long keep = pieceStart_ - (curve_ ? 2 : 0);
        if (keep > base_) {
            window_.erase(window_.begin(), window_.begin() + (keep - base_));
            base_ = keep;
        }
    }
}

dgn::Range LineworkWriter::storeVertices(long first, long last) {
    stored_.clear();
    const long pad = curve_ ? 2 : 0;
    for (long i = first - pad; i <= last + pad; ++i) stored_.push_back(at(i));
    if (curve_) {
        const auto r = rangeOf(curveBounds(stored_));
        if (!r) outsidePlane_();
        return *r;
    }
    dgn::Range range = dgn::Range::at(stored_[0]);
    for (const dgn::Point& p : stored_) range.include(p);
    return range;
}

void LineworkWriter::emitPiece(long start, long end) {
    dgn::ElementCore core = style_;
    core.complex = true;
    core.range = storeVertices(start, end);
    const std::size_t words = (38 + 8 * stored_.size()) / 2;
    if (chainCount_ > 0 && dgn::complexTotalLength(chain_.size() / 2 + words, linkage_.size()) > 0xFFFF) closeChain();
    if (chainCount_ == 0) chainRange_ = core.range;
    chainRange_.include(core.range);
    dgn::encodeMultiPoint(chain_, elementType(), core, stored_);
    ++chainCount_;
}

void LineworkWriter::closeChain() {
    dgn::ElementCore header = style_;
    header.range = chainRange_;
    dgn::encodeComplexHeader(out_, dgn::ElementType::ComplexChain, header, chainCount_, chain_.size() / 2, linkage_);
    out_.insert(out_.end(), chain_.begin(), chain_.end());
    chain_.clear();
    chainCount_ = 0;
    ++chains_;
}

std::size_t LineworkWriter::finish() {
    if (static_cast<std::size_t>(count_) <= limit_) {
        dgn::ElementCore core = style_;
        core.range = storeVertices(0, count_ - 1);
        dgn::encodeMultiPoint(out_, elementType(), core, stored_, linkage_);
        return 0;
    }
    while (pieceStart_ < count_ - 1) {
        const long end = std::min(pieceStart_ + long(limit_) - 1, count_ - 1);
        emitPiece(pieceStart_, end);
        pieceStart_ = end;
    }
    closeChain();
    return chains_;
}

}  // namespace convert
