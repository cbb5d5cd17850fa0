#include "core/db/Db.h"

#include "core/db/Raw.h"

#include <sqlite3.h>

namespace qm::db {

const Value& Field::AsValue() const { return q_->Current(index_); }

const Value& Query::Current(int col) const {
    static const Value null;
    if (Eof()) return null;
    return values_[size_t(cur_) * cols_ + size_t(col)];
}

void Query::Close() {
    active_ = false;
    fields_.clear();
    byName_.clear();
    values_.clear();
    cols_ = 0;
    cur_ = 0;
    bof_ = true;
}

void Query::Open(const QString& sql, const Params& params) {
    Close();
    sqlite3_stmt* st = Raw::Prepare(*c_, sql);
    Raw::Bind(*c_, st, params);
    const int n = sqlite3_column_count(st);
    cols_ = size_t(n);
    fields_.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        QString name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        fields_.emplace_back(this, i, name, decl ? QString::fromUtf8(decl).toUpper() : QString());
        byName_.emplace(name.toLower(), i);  // the first column of a name wins, as in a data set
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: values_.emplace_back(static_cast<long long>(sqlite3_column_int64(st, i))); break;
            case SQLITE_FLOAT: values_.emplace_back(sqlite3_column_double(st, i)); break;
            case SQLITE_NULL: values_.emplace_back(); break;
            default: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                values_.emplace_back(QString::fromUtf8(t, sqlite3_column_bytes(st, i)));
            }
            }
        }
    }
    if (rc != SQLITE_DONE) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(Raw::Handle(*c_))) + QStringLiteral("\n") + sql;
        const int code = sqlite3_extended_errcode(Raw::Handle(*c_));
        sqlite3_reset(st);
        Close();
        throw Error::FromEngine(code ? code : rc, msg);
    }
    sqlite3_reset(st);
    active_ = true;
    cur_ = 0;
    bof_ = true;
}

int Query::Exec(const QString& sql, const Params& params) {
    Close();
    return c_->Exec(sql, params);
}

void Query::First() {
    cur_ = 0;
    bof_ = true;
}
void Query::Last() {
    cur_ = RecordCount() > 0 ? RecordCount() - 1 : 0;
    bof_ = RecordCount() == 0;
}
void Query::Next() {
    if (cur_ < RecordCount()) ++cur_;
    bof_ = false;
}
void Query::Prior() {
    if (cur_ > 0) {
        --cur_;
        bof_ = false;
    } else {
        bof_ = true;
    }
}
void Query::SetRecNo(int recNo) {
    if (recNo < 1 || recNo > RecordCount()) return;
    cur_ = recNo - 1;
    bof_ = false;
}

const Field* Query::FindField(const QString& name) const {
    auto it = byName_.find(name.toLower());
    return it == byName_.end() ? nullptr : &fields_[size_t(it->second)];
}

const Field& Query::FieldByName(const QString& name) const {
    const Field* f = FindField(name);
    if (!f) throw Error(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

}  // namespace qm::db
