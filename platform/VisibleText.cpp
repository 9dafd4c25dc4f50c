#include "platform/VisibleText.h"

#include <QChar>
#include <QList>

namespace mapfeed {

namespace {

/// The visible symbol of a character that would break a line or vanish from it, or the
/// character itself.
char32_t visibleSymbol(char32_t c) {
    if (c < 0x20) return 0x2400 + c;     // the control pictures, tab included
    if (c == 0x7F) return 0x2421;        // DELETE
    if (c == 0x85) return 0x2424;        // NEXT LINE as the newline symbol
    if (c >= 0x80 && c <= 0x9F) return 0xFFFD;  // no pictures for the other C1 controls
    if (c == 0x2028) return 0x21B5;      // a line separator: the return arrow
    if (c == 0x2029) return 0x00B6;      // a paragraph separator: the pilcrow
    return c;
}

/// Format characters draw nothing, or reorder what follows them: "a", a right-to-left override
/// (U+202E) and "gpj.exe" read as "aexe.jpg"; a zero-width space makes two names look alike.
bool isInvisibleFormat(char32_t c) {
    return QChar::category(c) == QChar::Other_Format;
}

}  // namespace

QString visibleText(const std::string& text) {
    QString shown;
    for (const char32_t c : QString::fromStdString(text).toUcs4()) {
        if (isInvisibleFormat(c)) {
            const QString code = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            shown += QStringLiteral("\u2039U+") + code + QStringLiteral("\u203A");
            continue;
        }
        const char32_t symbol = visibleSymbol(c);
        shown += QString::fromUcs4(&symbol, 1);
    }
    return shown;
}

}  // namespace mapfeed
