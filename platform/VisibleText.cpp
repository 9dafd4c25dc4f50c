#include "platform/VisibleText.h"

#include <QChar>
#include <QList>
#include <algorithm>

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

void appendCharacter(QString& text, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        text += QChar(QChar::highSurrogate(c));
        text += QChar(QChar::lowSurrogate(c));
    } else {
        text += QChar(static_cast<char16_t>(c));
    }
}

bool needsShowing(char32_t c, bool keepTabs) {
    if (keepTabs && c == U'\t') return false;
    return visibleSymbol(c) != c || isInvisibleFormat(c);
}

QString shownWith(const QString& text, bool keepTabs) {
    // Most text needs nothing: it is given back as it is, without a copy.
    const bool plain = std::none_of(text.begin(), text.end(), [keepTabs](QChar c) {
        return c.isSurrogate() || needsShowing(c.unicode(), keepTabs);
    });
    if (plain) return text;
    QString shown;
    shown.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (!needsShowing(c, keepTabs)) {
            appendCharacter(shown, c);
            continue;
        }
        if (isInvisibleFormat(c)) {
            const QString code = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            shown += QStringLiteral("\u2039U+") + code + QStringLiteral("\u203A");
            continue;
        }
        appendCharacter(shown, visibleSymbol(c));
    }
    return shown;
}

}  // namespace

QString visibleText(const std::string& text) { return shownWith(QString::fromStdString(text), false); }

QString visibleOutputLine(const QString& line) { return shownWith(line, true); }

}  // namespace mapfeed
