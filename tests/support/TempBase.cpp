#include "tests/support/TempBase.h"

#include "core/db/Raw.h"
#include "core/db/Schema.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <stdexcept>

namespace qm::test {

TempBase::TempBase() : paths_(dir_.path()) {
    AppPaths::Ensure(paths_.DatabaseDir());
    CreateEmptyDatabase(paths_.Database());
    db_.Open(paths_.Database());
}

namespace {
QString SourceFile(const QString& folder, const QString& name) {
    const QString root = qEnvironmentVariable("QM_SOURCE_DIR", QStringLiteral(QM_SOURCE_DIR_DEFAULT));
    QFile f(root + QStringLiteral("/tests/") + folder + QLatin1Char('/') + name);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(folder.toStdString() + " file not found: " + name.toStdString());
    return QString::fromUtf8(f.readAll());
}
}  // namespace

QString FixtureText(const QString& name) { return SourceFile(QStringLiteral("fixtures"), name); }

QString GoldenText(const QString& name) { return SourceFile(QStringLiteral("golden"), name); }

void TempBase::RunFixture(const QString& name) {
    const QByteArray sql = FixtureText(name).toUtf8();
    char* msg = nullptr;
    if (sqlite3_exec(db::Raw::Handle(db_), sql.constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string m = msg ? msg : "fixture failed";
        sqlite3_free(msg);
        throw std::runtime_error(m);
    }
}

QString TempBase::Scalar(const QString& sql, const db::Params& params) {
    db::Query q(db_);
    q.Open(sql, params);
    return q.Eof() ? QString() : q.Fields(0).AsString();
}

}  // namespace qm::test
