#include "convert/InputScan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "sources/Feature.h"
#include "sources/GenerateReader.h"
#include "sources/Tokens.h"

namespace convert {

InputScan scanInput(sources::FeatureSource& source) {
    InputScan scan;
    sources::Feature f;
    sources::Vertex first{}, last{};
    std::size_t count = 0;
    const auto include = [&scan](sources::Vertex v) {
        if (!scan.hasExtent) {
            scan.xLow = scan.xHigh = v.x;
            scan.yLow = scan.yHigh = v.y;
            scan.hasExtent = true;
        }
        scan.xLow = std::min(scan.xLow, v.x);
        scan.xHigh = std::max(scan.xHigh, v.x);
        scan.yLow = std::min(scan.yLow, v.y);
        scan.yHigh = std::max(scan.yHigh, v.y);
    };
    while (source.next(f)) {
        scan.anyFeature = true;
        for (const sources::Vertex& v : f.points) include(v);
        if (f.label) include(*f.label);
        if (f.kind != sources::Feature::Kind::Line) continue;
        scan.anyLine = true;
        if (!f.continuation) {
            first = f.points.empty() ? sources::Vertex{} : f.points.front();
            count = 0;
        }
        count += f.points.size();
        if (!f.points.empty()) last = f.points.back();
        if (!f.continues && !(count >= 4 && first == last)) scan.allLinesClosed = false;
    }
    return scan;
}

bool holdsEndLine(const std::string& path, const std::function<void()>& beforeRead) {
    // A generate file ends with END: reading its tail settles most files at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        char tail[256];
        ssize_t n = 0;
        if (::fstat(fd, &st) == 0) {
            const off_t from = std::max<off_t>(0, st.st_size - off_t(sizeof tail));
            n = ::pread(fd, tail, sizeof tail, from);
        }
        ::close(fd);
        std::string_view text(tail, n > 0 ? std::size_t(n) : 0);
        while (!text.empty() && std::string_view(" \t\r\n\f\v").find(text.back()) != std::string_view::npos) text.remove_suffix(1);
        const std::size_t lineStart = text.find_last_of('\n');
        std::vector<std::string_view> fields;
        sources::splitFields(text.substr(lineStart == std::string_view::npos ? 0 : lineStart + 1), fields);
        if (sources::isEnd(fields) && (lineStart != std::string_view::npos || n < off_t(sizeof tail))) return true;
    }
    return sources::looksLikeGenerate(path, beforeRead);
}

}  // namespace convert
