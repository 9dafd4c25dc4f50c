#pragma once
// The conversion rules: input features become design file elements as the job asks. Lines,
// curves and polygons go on the linework level with the line symbology; points, centroids and
// label points on the point level with the point symbology, as points, texts or text nodes
// or cells; each record gets its mslink when the job gives one. A polygon's
// islands become holes of it: the hole bit, its graphic group and its mslink.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "convert/Job.h"
#include "convert/Plane.h"
#include "dgn/Bytes.h"
#include "dgn/CellLibrary.h"
#include "sources/Feature.h"

namespace convert {

/// The entity number every mslink carries: the table's number in the database's catalogue.
inline constexpr std::uint16_t kEntityNumber = 1;

class Converter {
public:
    /// Elements are handed to sink in order, in batches. theme is 'P', 'L' or 'A'. cell is the
    /// library cell placed at points (point type 'C'), placeable, outliving the converter.
    Converter(const Job& job, const DesignPlane& plane, char theme, std::uint16_t lastNodeNumber,
              std::uint16_t lastGraphicGroup, std::function<void(std::span<const std::uint8_t>)> sink,
              const dgn::LibraryCell* cell = nullptr);
    ~Converter();

    /// One feature of the input. Throws Failure.
    void feature(const sources::Feature& f);
    /// Writes whatever is still held back.
    void finish();

    /// Elements written, by kind ("point", "line string", ...).
    const std::map<std::string, long>& counts() const { return counts_; }
    long leftOut() const { return leftOut_; }
    /// Substitutions made on the way, each reported by the caller.
    const std::vector<std::string>& substitutions() const { return substitutions_; }
    long unlistedSubstitutions() const { return unlisted_; }
    /// The last text node number and graphic group given out (or found in the file).
    std::uint16_t lastNodeNumber() const { return nodeNumber_; }
    std::uint16_t lastGraphicGroup() const { return graphicGroup_; }

private:
    struct Record {
        std::string id;
        long line = 0;
        std::optional<sources::Vertex> label;
    };
    struct TextPlacement;

    std::vector<std::uint8_t> nextLinkage(const std::string& id, long line);
    dgn::Point toUor(const Record& r, double x, double y) const;
    [[noreturn]] void outsidePlane(const Record& r, const std::string& what) const;
    void substitute(const std::string& text);
    void startRecord(const sources::Feature& f);
    void endRecord();
    void endPolygon();
    void writePolygon(const std::vector<dgn::Point>& ring, std::uint16_t properties, std::uint16_t group,
                      const std::vector<std::uint8_t>& linkage, const Record& r);
    void flushPending();
    void location(const Record& r, sources::Vertex at, const std::vector<std::uint8_t>& linkage);
    TextPlacement textAt(const Record& r, dgn::Point at) const;
    void deliver(bool force);

    const Job& job_;
    DesignPlane plane_;
    const dgn::LibraryCell* cell_;
    char theme_;
    std::uint16_t nodeNumber_;
    std::uint16_t graphicGroup_;
    std::function<void(std::span<const std::uint8_t>)> sink_;
    dgn::Bytes out_;
    std::map<std::string, long> counts_;
    long leftOut_ = 0;
    long sequence_ = 0;
    std::vector<std::string> substitutions_;
    long unlisted_ = 0;

    // The record whose vertices are arriving.
    Record record_;
    bool closed_ = false;
    std::vector<std::uint8_t> linkage_;
    std::vector<sources::Vertex> ring_;
    long vertices_ = 0;
    struct LineState;
    std::unique_ptr<LineState> line_;

    // A polygon held back until the next record shows whether islands follow it.
    bool pending_ = false;
    std::size_t pendingStart_ = 0;
    Record pendingRecord_;
    std::vector<dgn::Point> pendingRing_;
    std::vector<std::uint8_t> pendingLinkage_;
    std::uint16_t pendingGroup_ = 0;
};

}  // namespace convert
