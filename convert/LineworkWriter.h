#pragma once
// One line or curve written as its vertices arrive: a single line string or curve while it
// fits one element, otherwise complex chains of pieces that share their end points; a line
// too long for one complex chain continues in the next. It holds one piece and one chain at
// most, whatever the length of the line.
#include <functional>
#include <string>
#include <vector>

#include "dgn/Bytes.h"
#include "dgn/Element.h"

namespace convert {

class LineworkWriter {
public:
    /// Elements go to out; style is the level and symbology; linkage is given to the single
    /// element or to every chain header. outsidePlane is called (and must throw) when a
    /// steering point or range would leave the design plane.
    LineworkWriter(dgn::Bytes& out, bool curve, const dgn::ElementCore& style, std::vector<std::uint8_t> linkage,
                   std::function<void()> outsidePlane);

    void add(dgn::Point p);
    /// Writes what is left. Returns the number of complex chains written (0 for one element).
    std::size_t finish();

private:
    dgn::Point at(long index) const;  ///< a vertex, or a steering point beyond an end
    /// Keeps the vertices first..last in stored_, with a curve's steering points beyond them,
    /// and returns the range they take.
    dgn::Range storeVertices(long first, long last);
    dgn::ElementType elementType() const { return curve_ ? dgn::ElementType::Curve : dgn::ElementType::LineString; }
    void emitPiece(long start, long end);
    void closeChain();

    dgn::Bytes& out_;
    bool curve_;
    dgn::ElementCore style_;
    std::vector<std::uint8_t> linkage_;
    std::function<void()> outsidePlane_;
    std::size_t limit_;                 ///< drawn vertices an element holds
    std::vector<dgn::Point> window_;    ///< the vertices from index base_ on
    long base_ = 0;
    long count_ = 0;
    dgn::Point first_[2]{}, last_[2]{};
    long pieceStart_ = 0;
    dgn::Bytes chain_;                  ///< the components of the chain being built
    dgn::Range chainRange_{};
    std::size_t chainCount_ = 0;
    std::size_t chains_ = 0;
    std::vector<dgn::Point> stored_;
};

}  // namespace convert
