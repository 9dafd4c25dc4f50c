#pragma once

#include <QFontMetricsF>
#include <QString>
#include <QStringList>

namespace mapfeed {

/// The lines of the command preview at `width` pixels in the font of `metrics`: a line breaks
/// only after a blank, so flags, values and paths stay whole; a word wider than a whole line
/// breaks between two of its characters (never inside a character that is drawn as one). The
/// lines joined again give `text`. Takes time in proportion to the text's length: each
/// character's width is measured once and summed, which in a font of fixed pitch is what the
/// line is drawn as.
QStringList linesAtBlanks(const QString& text, const QFontMetricsF& metrics, qreal width);

}  // namespace mapfeed
