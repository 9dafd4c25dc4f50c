#include "platform/PreviewLines.h"

#include <QHash>
#include <QTextBoundaryFinder>
#include <vector>

namespace mapfeed {

namespace {

/// One character as drawn (a grapheme cluster): where it starts and how wide it is.
struct Glyph {
    qsizetype start;
    qreal width;
};

std::vector<Glyph> measured(const QString& text, const QFontMetricsF& metrics) {
    std::vector<Glyph> glyphs;
    glyphs.reserve(static_cast<std::size_t>(text.size()));
    QHash<char16_t, qreal> widths;  // most characters are one UTF-16 unit, and few distinct
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end > 0; start = end, end = clusters.toNextBoundary()) {
        qreal width;
        if (end - start == 1) {
            const char16_t unit = text.at(start).unicode();
            auto known = widths.constFind(unit);
            if (known == widths.constEnd()) known = widths.insert(unit, metrics.horizontalAdvance(text.at(start)));
            width = *known;
        } else {
            width = metrics.horizontalAdvance(text.mid(start, end - start));
        }
        glyphs.push_back({start, width});
    }
    return glyphs;
}

}  // namespace

QStringList linesAtBlanks(const QString& text, const QFontMetricsF& metrics, qreal width) {
    const std::vector<Glyph> glyphs = measured(text, metrics);
    const auto startOf = [&](std::size_t i) { return i < glyphs.size() ? glyphs[i].start : text.size(); };
    const auto isBlank = [&](std::size_t i) { return text.at(glyphs[i].start) == QLatin1Char(' '); };

    QStringList lines;
    std::size_t lineStart = 0;
    qreal used = 0;
    const auto breakBefore = [&](std::size_t i) {
        lines.append(text.mid(startOf(lineStart), startOf(i) - startOf(lineStart)));
        lineStart = i;
        used = 0;
    };
    std::size_t i = 0;
    while (i < glyphs.size()) {
        if (isBlank(i)) {
            // A run of blanks takes its room too, going on at the next line's start.
            if (used + glyphs[i].width > width && i > lineStart) breakBefore(i);
            used += glyphs[i].width;
            ++i;
            continue;
        }
        std::size_t wordEnd = i;
        qreal wordWidth = 0;
        while (wordEnd < glyphs.size() && !isBlank(wordEnd)) wordWidth += glyphs[wordEnd++].width;
        if (used + wordWidth > width && i > lineStart) breakBefore(i);
        if (wordWidth <= width) {
            used += wordWidth;
            i = wordEnd;
            continue;
        }
        // Longer than a line: as much of it as fits on each line.
        for (; i < wordEnd; ++i) {
            if (used + glyphs[i].width > width && i > lineStart) breakBefore(i);
            used += glyphs[i].width;
        }
    }
    breakBefore(glyphs.size());
    return lines;
}

}  // namespace mapfeed
