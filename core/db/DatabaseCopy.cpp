#include "core/db/DatabaseCopy.h"

#include "core/base/FolderTemporary.h"
#include "core/base/SystemError.h"
#include "core/db/Db.h"
#include "core/db/Raw.h"
#include "core/db/Schema.h"
#include "core/db/SchemaVersion.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <map>
#include <optional>
#include <thread>
#include <vector>

namespace qm {

namespace {

QByteArray Head(const QString& path, int bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(bytes);
}

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// Opens `path` read-only without creating it; null when SQLite cannot read it.
sqlite3* OpenReadOnly(const QString& path) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(Native(path).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        return nullptr;
    }
    return h;
}

// Tables and views by lower-case name ("table:x", "view:y"), each with its columns in order,
// "name type" in lower case (the declared type with its blanks folded; "pk" after a primary
// key), and a view with its definition after its columns: two databases of the same shape
// compare equal whatever the case of their names. The engine and the uploads rely on the
// columns' order and types, and the reports on the views' definitions.
using Shape = std::map<QString, QStringList>;

std::optional<Shape> ReadShape(sqlite3* h) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h,
                           "select type, name, coalesce(sql, '') from sqlite_master where type in ('table','view') "
                           "and name not like 'sqlite_%'",
                           -1, &st, nullptr) != SQLITE_OK)
        return std::nullopt;
    struct Object {
        QString type, name, sql;
    };
    auto text = [&](int col) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col))); };
    std::vector<Object> objects;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) objects.push_back({text(0), text(1), text(2)});
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return std::nullopt;
    Shape shape;
    for (const Object& o : objects) {
        // A view that no longer compiles fails here, and so does the whole comparison.
        if (sqlite3_prepare_v2(h, "select name, type, pk from pragma_table_info(?) order by cid", -1, &st, nullptr) !=
            SQLITE_OK)
            return std::nullopt;
        const QByteArray n = o.name.toUtf8();
        sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        QStringList cols;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            cols << (text(0) + QLatin1Char(' ') + text(1).simplified() +
                     (sqlite3_column_int(st, 2) ? QStringLiteral(" pk") : QString()))
                        .toLower();
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE || cols.isEmpty()) return std::nullopt;
        if (o.type == QLatin1String("view")) cols << o.sql.simplified().toLower();
        shape[o.type + QLatin1Char(':') + o.name.toLower()] = cols;
    }
    return shape;
}

// The wage summaries and the period labour report keep their range results in tables the
// program creates as it runs ("Total_1_3", "JLabor_4_6"); a backup holding them is still a
// database of this system.
void DropSavedPeriodCopies(Shape& shape) {
    static const QRegularExpression copy(QStringLiteral("^table:(total|jlabor)_([1-9]|1[0-2])_([1-9]|1[0-2])$"));
    for (auto it = shape.begin(); it != shape.end();)
        it = copy.match(it->first).hasMatch() ? shape.erase(it) : std::next(it);
}

// SQLite's own check of every page and index.
bool PassesIntegrityCheck(sqlite3* h) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, "pragma integrity_check", -1, &st, nullptr) != SQLITE_OK) return false;
    bool ok = sqlite3_step(st) == SQLITE_ROW &&
              QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == QLatin1String("ok");
    if (ok) ok = sqlite3_step(st) == SQLITE_DONE;  // one line, "ok", and nothing else
    sqlite3_finalize(st);
    return ok;
}

// The shape every database of this system has: that of the empty database when it can be
// read, else that of the schema the empty database is built from.
std::optional<Shape> ReferenceShape(const QString& emptyDatabase) {
    if (!emptyDatabase.isEmpty() && HasSqliteHeader(emptyDatabase)) {
        sqlite3* h = nullptr;
        if (sqlite3_open_v2(Native(emptyDatabase).constData(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            std::optional<Shape> s = ReadShape(h);
            sqlite3_close(h);
            if (s) return s;
        } else {
            sqlite3_close(h);
        }
    }
    sqlite3* h = nullptr;
    std::optional<Shape> s;
    if (sqlite3_open(":memory:", &h) == SQLITE_OK &&
        sqlite3_exec(h, SchemaSql(), nullptr, nullptr, nullptr) == SQLITE_OK)
        s = ReadShape(h);
    sqlite3_close(h);
    return s;
}

bool HasSystemTables(sqlite3* h) {
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "select count(distinct lower(name)) from sqlite_master where type='table' and "
        "lower(name) in ('staff_moninfo','wage_info','dep_info')";
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK) return false;
    const bool ok = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 3;
    sqlite3_finalize(st);
    return ok;
}

// Copies the main database of `src` into a new file beside `target`, then renames it over
// `target`. `dropCompanions` removes the journal files of the old target first: they belong
// to the content being replaced and would be replayed into the new one. The new file is a
// temporary file of the folder (FolderTemporary): a copy that fails or is killed leaves
// nothing that the next copy or file written into the folder does not remove.
void CopyInto(sqlite3* src, const QString& target, bool dropCompanions) {
    const QFileInfo ti(target);
    const QString folder = ti.absolutePath();
    const int dir = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        const int err = errno;
        throw CopyError(CopyFailedText(
            QStringLiteral("文件夹“%1”：%2").arg(QDir::toNativeSeparators(folder), SystemErrorText(err))));
    }
    struct Folder {
        int fd;
        ~Folder() { ::close(fd); }
    } holder{dir};
    std::optional<FolderTemporary> part;
    try {
        part.emplace(dir, Native(ti.fileName()));
    } catch (const SystemError& e) {
        throw CopyError(CopyFailedText(
            QStringLiteral("不能在文件夹“%1”中写文件：%2").arg(QDir::toNativeSeparators(folder), e.Text())));
    }
    const QByteArray partN = Native(folder) + '/' + part->Name(), targetN = Native(target);

    // The engine's failures as a person reads them.
    auto reason = [](int code, const char* engineText) {
        return db::Error::Describe(code, QString::fromUtf8(engineText));
    };
    QString error;
    sqlite3* dest = nullptr;
    // The new file is opened by its name once more: a link put in its place meanwhile is refused.
    if (const int rc = sqlite3_open_v2(partN.constData(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
        rc != SQLITE_OK) {
        error = reason(dest ? sqlite3_errcode(dest) : rc, dest ? sqlite3_errmsg(dest) : "");
    } else if (sqlite3_backup* b = sqlite3_backup_init(dest, "main", src, "main")) {
        int rc;
        int waits = 0;
        while ((rc = sqlite3_backup_step(b, -1)) != SQLITE_DONE) {
            if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++waits < 100) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            if (rc != SQLITE_OK) break;
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            error = reason(rc, sqlite3_errstr(rc));
        else if (sqlite3_errcode(dest) != SQLITE_OK)
            error = reason(sqlite3_errcode(dest), sqlite3_errmsg(dest));
    } else {
        error = reason(sqlite3_errcode(dest), sqlite3_errmsg(dest));
    }
    if (const int rc = sqlite3_close(dest); rc != SQLITE_OK && error.isEmpty()) error = reason(rc, "");
    if (!error.isEmpty()) throw CopyError(CopyFailedText(error));  // the temporary file goes with `part`

    // The copy takes the target's permissions, or those of a new file when there is none.
    struct stat old {};
    const mode_t mode = ::stat(targetN.constData(), &old) == 0 ? old.st_mode & 07777 : 0644;
    ::fchmod(part->Descriptor(), mode);
    int err = ::fsync(part->Descriptor()) == 0 ? 0 : errno;
    if (!err && !part->StillNamed()) err = ENOENT;
    if (!err) {
        if (dropCompanions)
            for (const char* suffix : {"-journal", "-wal", "-shm"}) QFile::remove(target + QLatin1String(suffix));
        if (::renameat(dir, part->Name().constData(), dir, Native(ti.fileName()).constData()) != 0)
            err = errno;
        else
            part->Placed();
    }
    if (err) throw CopyError(CopyFailedText(SystemErrorText(err)));
    ::fsync(dir);
}

}  // namespace

bool HasSqliteHeader(const QString& path) { return Head(path, 16) == QByteArray("SQLite format 3", 16); }

bool HasJetHeader(const QString& path) {
    const QByteArray h = Head(path, 19);
    return h.size() == 19 && (h.mid(4) == "Standard Jet DB" || h.mid(4) == "Standard ACE DB");
}

DatabaseFileKind ClassifyDatabaseFile(const QString& path, const QString& emptyDatabase) {
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) return DatabaseFileKind::Missing;
    if (HasJetHeader(path)) return DatabaseFileKind::Jet;
    // An empty file is an empty SQLite database to the engine; it holds no tables either way.
    if (!HasSqliteHeader(path)) return fi.size() == 0 ? DatabaseFileKind::Foreign : DatabaseFileKind::Unreadable;
    sqlite3* h = OpenReadOnly(path);
    if (!h) return DatabaseFileKind::Unreadable;
    DatabaseFileKind kind = DatabaseFileKind::Unreadable;
    if (sqlite3_exec(h, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK)
        kind = HasSystemTables(h) ? DatabaseFileKind::System : DatabaseFileKind::Foreign;
    // The three table names are not enough: a damaged file, or one with other columns or
    // views, would replace the live database and fail every list after the restart.
    if (kind == DatabaseFileKind::System) {
        std::optional<Shape> shape = PassesIntegrityCheck(h) ? ReadShape(h) : std::nullopt;
        if (shape) DropSavedPeriodCopies(*shape);
        const std::optional<Shape> reference = ReferenceShape(emptyDatabase);
        if (!shape || !reference || *shape != *reference) kind = DatabaseFileKind::Foreign;
    }
    sqlite3_close(h);
    return kind;
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    const bool ea = ::stat(Native(a).constData(), &sa) == 0;
    const bool eb = ::stat(Native(b).constData(), &sb) == 0;
    if (ea && eb) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (ea != eb) return false;
    auto resolved = [](const QString& p) {
        const QFileInfo fi(p);
        QString dir = QFileInfo(fi.absolutePath()).canonicalFilePath();
        if (dir.isEmpty()) dir = fi.absolutePath();
        return dir + QLatin1Char('/') + fi.fileName();
    };
    return resolved(a) == resolved(b);
}

QString BackupOntoLiveText() { return QStringLiteral("不能备份到正在使用的数据库文件本身，请另选备份文件。"); }
QString RestoreFromLiveText() { return QStringLiteral("不能用正在使用的数据库文件本身还原，请另选备份文件。"); }
QString NotSystemDatabaseText(const QString& path) {
    return QStringLiteral("所选文件不是本系统的数据库，未做任何改动：\n") + QDir::toNativeSeparators(path);
}
QString JetDatabaseText(const QString& path) {
    return QStringLiteral("所选文件是原系统的Access数据库，本系统不能读取这种格式，未做任何改动：\n") +
           QDir::toNativeSeparators(path);
}
QString CopyFailedText(const QString& detail) {
    return QStringLiteral("数据库复制失败，原有文件未做改动：\n") + detail;
}

QString BackupOntoCompanionText() {
    return QStringLiteral(
        "不能备份为正在使用的数据库的日志文件（以-journal、-wal或-shm结尾的同名文件），"
        "它会在下次打开数据库时被删除，请另选备份文件名。");
}

void BackupDatabase(db::Connection& live, const QString& target) {
    if (!live.IsOpen()) throw CopyError(CopyFailedText(QStringLiteral("数据库未连接。")));
    if (SameFile(live.Path(), target)) throw CopyError(BackupOntoLiveText());
    // SQLite takes these names beside the database for its journal and removes them.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (SameFile(live.Path() + QLatin1String(suffix), target)) throw CopyError(BackupOntoCompanionText());
    CopyInto(db::Raw::Handle(live), target, false);
}

void ReplaceDatabaseFile(const QString& source, const QString& target) {
    if (SameFile(source, target)) throw CopyError(RestoreFromLiveText());
    if (const auto newer = NewerDatabaseRefusal(source)) throw CopyError(*newer);
    switch (ClassifyDatabaseFile(source, QFileInfo(target).absolutePath() + QStringLiteral("/Defual.mdb"))) {
    case DatabaseFileKind::System: break;
    case DatabaseFileKind::Missing:
        throw CopyError(CopyFailedText(QStringLiteral("找不到文件：%1").arg(QDir::toNativeSeparators(source))));
    case DatabaseFileKind::Jet: throw CopyError(JetDatabaseText(source));
    case DatabaseFileKind::Unreadable:
    case DatabaseFileKind::Foreign: throw CopyError(NotSystemDatabaseText(source));
    }
    sqlite3* src = OpenReadOnly(source);
    if (!src) throw CopyError(NotSystemDatabaseText(source));
    try {
        CopyInto(src, target, true);
    } catch (...) {
        sqlite3_close(src);
        throw;
    }
    sqlite3_close(src);
}

}  // namespace qm
