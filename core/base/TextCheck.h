#pragma once
// Characters no stored or uploaded text may carry: the C0 and C1 controls and DEL (tab, line
// break, escape, NUL ...), which break a record for every reader of the file, and a lone half
// of a UTF-16 surrogate pair (pasted from a broken source), which no encoding can hold and
// would silently become "?". Every check of a typed text and every writer uses these.

#include <QString>
#include <QStringView>

namespace qm {

bool IsControlChar(char16_t u);
// The position of the first such character, or -1.
qsizetype FirstUnsafeChar(QStringView text);
inline bool HasUnsafeChars(QStringView text) { return FirstUnsafeChar(text) >= 0; }
// True for a surrogate half without its partner at position i.
bool IsLoneSurrogateAt(QStringView text, qsizetype i);
bool HasLoneSurrogate(QStringView text);
// The text as a person can read it in a message: controls as \t, \n, \x1B, lone halves as \uD800.
QString VisibleText(QStringView text);
// A stored text as a message names it: between quotes, so that an empty or blank one shows as
// such, as VisibleText shows it, and cut after kQuotedChars characters ("…"): a message names a
// person or a value, it does not dump a cell.
inline constexpr qsizetype kQuotedChars = 24;
QString QuotedText(QStringView text);

}  // namespace qm
