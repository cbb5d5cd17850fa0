#include "core/unit/BrowserLogic.h"

namespace qm {

namespace browser {

const QStringList& MonthCaptions() {
    static const QStringList captions = [] {
        QStringList c;
        for (int m = Month::kFirst; m <= Month::kLast; ++m) c << Month(m).Caption();
        return c;
    }();
    return captions;
}

QString CaptionOfMonth(int month) {
    const std::optional<Month> m = Month::Of(month);
    return m ? m->Caption() : QString();
}

std::optional<int> MonthOfCaption(const QString& caption) {
    const std::optional<Month> m = Month::OfCaption(caption);
    if (!m) return std::nullopt;
    return m->Number();
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
