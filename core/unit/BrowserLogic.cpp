#include "core/unit/BrowserLogic.h"

namespace qm {

QString LikeContains(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

namespace browser {

const QStringList& MonthCaptions() {
    static const QStringList captions = {
        QStringLiteral("期初"), QStringLiteral("一月"), QStringLiteral("二月"), QStringLiteral("三月"),
        QStringLiteral("四月"), QStringLiteral("五月"), QStringLiteral("六月"), QStringLiteral("七月"),
        QStringLiteral("八月"), QStringLiteral("九月"), QStringLiteral("十月"), QStringLiteral("十一月"),
        QStringLiteral("十二月")};
    return captions;
}

QString CaptionOfMonth(int month) {
    return month >= 0 && month <= 12 ? MonthCaptions().at(month) : QString();
}

std::optional<int> MonthOfCaption(const QString& caption) {
    const qsizetype i = MonthCaptions().indexOf(caption);
    if (i < 0) return std::nullopt;
    return int(i);
}

QStringList PresentMonthCaptions(db::Connection& db) {
    db::Query q(db);
    q.Open(QStringLiteral("select sMon from Staff_moninfo group by sMon order by sMon"));
    QStringList out;
    for (q.First(); !q.Eof(); q.Next()) {
        // A month outside 0..12 has no caption and is not offered.
        const QString caption = CaptionOfMonth(q.Fields(0).IsNull() ? -1 : int(q.Fields(0).AsInteger()));
        if (!caption.isEmpty()) out << caption;
    }
    return out;
}

// Rows in the order they were entered.
std::optional<ListQuery> MonthRows(const QString& caption) {
    const std::optional<int> month = MonthOfCaption(caption.trimmed());
    if (!month) return std::nullopt;
    return ListQuery{QStringLiteral("select * from Staff_moninfo where sMon=? order by id"), {*month}};
}

std::optional<ListQuery> NameSearch(const QString& monthText, const QString& name) {
    const std::optional<int> month = MonthOfCaption(monthText);
    if (!month) return std::nullopt;
    return ListQuery{
        QStringLiteral("select * from Staff_moninfo where sMon=? and sName like ? escape '\\' order by id"),
        {*month, LikeContains(name)}};
}

QString StatusText(const QString& caption, int count) {
    return QStringLiteral("  ") + caption + QStringLiteral(", 共有") + QString::number(count) +
           QStringLiteral("条记录。");
}

QString EmptyStatusText() { return QStringLiteral("  共有0条记录。"); }

}  // namespace browser
}  // namespace qm
