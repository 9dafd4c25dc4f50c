#pragma once
// Arc/Info generate text. Points: "id x y" lines, then END. Lines and polygons: an id line
// ("id", or "id x y" with the polygon's label point), one "x y" or "x,y" line a vertex, END;
// after the last record a final END. Point records may stand between line records.
#include <memory>

#include "sources/Feature.h"
#include "sources/LineReader.h"

namespace sources {

class GenerateReader : public FeatureSource {
public:
    explicit GenerateReader(const std::string& path);
    bool next(Feature& feature) override;
    const std::vector<std::string>& notes() const override { return notes_; }
    LineReader& lines() { return lines_; }

private:
    bool nextLine(std::string_view& line, long& number);
    [[noreturn]] void malformed(long number, const std::string& what) const;

    std::string path_;
    LineReader lines_;
    std::vector<std::string> notes_;
    std::vector<std::string_view> fields_;
    std::string pushedBack_;
    long pushedBackNumber_ = 0;
    bool hasPushedBack_ = false;
    bool inLine_ = false;      ///< a line record is being read
    Feature current_;          ///< its id, label, line and vertices so far
    std::size_t vertices_ = 0; ///< vertices of the current record in all
    long ended_ = 0;           ///< the line of the final END
    long lastLine_ = 0;
};

/// True when the file reads as Arc/Info generate: it holds a line END.
bool looksLikeGenerate(const std::string& path, const std::function<void()>& beforeRead);

}  // namespace sources
