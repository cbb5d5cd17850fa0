#include "core/base/TextCheck.h"

namespace qm {

bool IsControlChar(char16_t u) { return u < 0x20 || (u >= 0x7F && u <= 0x9F); }

bool IsLoneSurrogateAt(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate()) return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate()) return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

bool HasLoneSurrogate(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isSurrogate() && IsLoneSurrogateAt(text, i)) return true;
    return false;
}

qsizetype FirstUnsafeChar(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (IsControlChar(text[i].unicode()) || IsLoneSurrogateAt(text, i)) return i;
    return -1;
}

QString VisibleText(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\t')
            out += QStringLiteral("\\t");
        else if (u == '\n')
            out += QStringLiteral("\\n");
        else if (u == '\r')
            out += QStringLiteral("\\r");
        else if (IsControlChar(u))
            out += QStringLiteral("\\x") + QString::number(int(u), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else if (IsLoneSurrogateAt(text, i))
            out += QStringLiteral("\\u") + QString::number(int(u), 16).toUpper();
        else
            out += text[i];
    }
    return out;
}

QString QuotedText(QStringView text) {
    QString shown = VisibleText(text);
    if (shown.size() > kQuotedChars) {
        // Not between the two halves of a pair.
        const qsizetype cut = shown[kQuotedChars - 1].isHighSurrogate() ? kQuotedChars - 1 : kQuotedChars;
        shown = shown.left(cut) + QStringLiteral("…");
    }
    return QStringLiteral("“%1”").arg(shown);
}

}  // namespace qm
