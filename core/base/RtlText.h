#pragma once
// String helpers that behave as the original runtime did, because what a check accepts
// depends on them.

#include <QString>

#include <optional>

namespace qm {

// Removes leading and trailing characters up to U+0020 (controls and the ASCII blank);
// a full-width blank U+3000 stays.
QString RtlTrim(const QString& s);
// Removes every U+0020; other blanks stay.
QString RtlRemoveBlanks(const QString& s);
// The name clean-up of every save (ClearSpace): trimmed, then every U+0020 removed.
inline QString CleanName(const QString& s) { return RtlRemoveBlanks(RtlTrim(s)); }
// A whole decimal number: optional leading blanks, an optional sign, ASCII digits, nothing
// after them (so "2500 " is not a number). Empty when the text is not one or overflows int.
std::optional<int> RtlStrToInt(const QString& s);

}  // namespace qm
