#pragma once
// X,Y text: one point a line, "x y", "x,y", "id x y" or "id,x,y"; blank lines skipped, a
// first line of column names skipped (noted), a line END ends the data (anything after it is
// refused rather than dropped unseen). Joined, each run of points with equal ids is one line
// (all points make one line when the file has no ids).
#include "sources/Feature.h"
#include "sources/LineReader.h"

namespace sources {

class XyReader : public FeatureSource {
public:
    XyReader(const std::string& path, bool joined);
    bool next(Feature& feature) override;
    const std::vector<std::string>& notes() const override { return notes_; }
    LineReader& lines() { return lines_; }

private:
    bool nextPoint(Feature& point);
    bool nextLine(Feature& line);

    std::string path_;
    bool joined_;
    LineReader lines_;
    std::vector<std::string> notes_;
    std::vector<std::string_view> fields_;
    long sequence_ = 0;
    bool anyPoint_ = false;
    long ended_ = 0;
    // Joining: the point read ahead of the line being built.
    Feature ahead_;
    bool hasAhead_ = false;
    bool started_ = false;
    Feature piece_;          ///< the line being handed on in pieces
    bool continuing_ = false;
};

}  // namespace sources
