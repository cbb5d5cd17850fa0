#include "core/report/ReportQuery.h"

#include "core/report/Fmt.h"

namespace qm::report {

db::Value FirstValue(db::Connection& c, const QString& sql, const db::Params& params) {
    db::Query q(c);
    q.Open(sql, params);
    if (q.Eof() || q.FieldCount() == 0) return {};
    const db::Field* num = q.FindField(QStringLiteral("num"));
    return num ? num->AsValue() : q.Fields(0).AsValue();
}

long long CountInt(db::Connection& c, const QString& sql, const db::Params& params) {
    return FirstValue(c, sql, params).AsInteger();
}

long long SumRoundedInt(db::Connection& c, const QString& sql, const db::Params& params) {
    const db::Value v = FirstValue(c, sql, params);
    if (v.kind() == db::Value::Kind::Integer) return v.rawInteger();
    return HalfEven(v.AsFloat());
}

double SumDouble(db::Connection& c, const QString& sql, const db::Params& params) {
    return FirstValue(c, sql, params).AsFloat();
}

}  // namespace qm::report
