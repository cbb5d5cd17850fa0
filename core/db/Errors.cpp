// The database layer's failures in a person's words (db::Error, with the engine's result codes
// described), and how a handler shows the exception that stopped it.
#include "core/db/Errors.h"

#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Raw.h"

#include <sqlite3.h>
#include <QRegularExpression>

#include <exception>

namespace qm::db {

Error::Error(const QString& text, int code)
    : std::runtime_error((code ? Describe(code, text) : text).toStdString()),
      code_(code),
      engine_(code ? text : QString()) {}

Error::Error(int code, const QString& engineText, const QString& lead)
    : std::runtime_error((lead + Describe(code, engineText)).toStdString()), code_(code), engine_(engineText) {}

Error Error::FromEngine(int code, const QString& engineText, const QString& lead) {
    return Error(code, engineText, lead);
}

Error Error::Sql(const QString& engineText) { return Error(SQLITE_ERROR, engineText, QString()); }

bool Error::Locked() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

namespace {

// What the engine's message of a plain SQL error names; empty when it is none of these.
QString DescribeSqlError(const QString& message) {
    static const QString kNotOurs = QStringLiteral("所用的数据库文件不完整，或者不是本系统的数据库。");
    static const QRegularExpression noTable(QStringLiteral("^no such (?:table|view): (\\S+)"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (\\S+)"));
    static const QRegularExpression noNamedColumn(QStringLiteral("^table (\\S+) has no column named (\\S+)"));
    static const QRegularExpression columnCount(QStringLiteral("^table (\\S+) has \\d+ columns but"));
    // A name the program creates (an index, a table) that the file already gives to another object.
    static const QRegularExpression taken(
        QStringLiteral("^there is already an? (table|index|view|trigger) named (\\S+)"));
    if (const auto m = noTable.match(message); m.hasMatch())
        return QStringLiteral("数据库中没有表“%1”。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = noColumn.match(message); m.hasMatch())
        return QStringLiteral("数据库中没有列“%1”。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = noNamedColumn.match(message); m.hasMatch())
        return QStringLiteral("数据库的表“%1”中没有列“%2”。").arg(m.captured(1), m.captured(2)) + kNotOurs;
    if (const auto m = columnCount.match(message); m.hasMatch())
        return QStringLiteral("数据库的表“%1”的列与本系统的不符。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = taken.match(message); m.hasMatch()) {
        // The engine says "table" for a view as well.
        const QString kind = m.captured(1) == QLatin1String("index")     ? QStringLiteral("索引")
                             : m.captured(1) == QLatin1String("trigger") ? QStringLiteral("触发器")
                                                                         : QStringLiteral("表（或视图）");
        return QStringLiteral("数据库中已有名为“%1”的%2，本系统要建立的同名对象不能建立。").arg(m.captured(2), kind) +
               kNotOurs;
    }
    if (message.startsWith(QLatin1String("integer overflow"))) return QStringLiteral("计算结果超出了整数的范围。");
    return {};
}

}  // namespace

QString Error::ReasonOf(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("数据库正被其他程序使用（已锁定）。请关闭使用它的程序后再试。");
    case SQLITE_READONLY: return QStringLiteral("数据库文件是只读的，不能写入。请检查数据库文件及其文件夹的权限。");
    case SQLITE_FULL: return QStringLiteral("磁盘已满，数据库不能写入。请腾出磁盘空间后再试。");
    case SQLITE_IOERR: return QStringLiteral("读写数据库文件时出错。请检查磁盘后再试。");
    default: return {};
    }
}

QString Error::Describe(int code, const QString& engineText) {
    if (QString reason = ReasonOf(code); !reason.isEmpty()) return reason;
    // A trigger's refusal is worded by whoever wrote the trigger, not by the engine.
    if (code == SQLITE_CONSTRAINT_TRIGGER)
        return QStringLiteral("数据库拒绝了这项改动：") + engineText.section(QLatin1Char('\n'), 0, 0);
    switch (code & 0xff) {
    case SQLITE_PROTOCOL: return ReasonOf(SQLITE_BUSY);
    case SQLITE_NOTADB: return QStringLiteral("文件不是数据库，或者已经损坏。");
    case SQLITE_CORRUPT: return QStringLiteral("数据库文件已经损坏。请用备份还原。");
    case SQLITE_CANTOPEN: return QStringLiteral("无法打开数据库文件。请检查文件及其文件夹是否存在、能否读写。");
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("没有访问数据库文件的权限。");
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG: return QStringLiteral("内存不足或数据过大，数据库不能完成操作。");
    case SQLITE_NOLFS: return QStringLiteral("数据库文件过大。");
    case SQLITE_CONSTRAINT: return QStringLiteral("数据不符合数据库的约束（例如重复的值或缺少必填的值），未能存入。");
    case SQLITE_MISMATCH: return QStringLiteral("数据的类型与数据库的列不符。");
    case SQLITE_SCHEMA: return QStringLiteral("数据库的结构在操作中被改变。请再试一次。");
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT: return QStringLiteral("数据库操作被中止。");
    case SQLITE_ERROR:
        if (QString s = DescribeSqlError(engineText.section(QLatin1Char('\n'), 0, 0)); !s.isEmpty()) return s;
        break;
    default: break;
    }
    return QStringLiteral("数据库操作失败（错误代码 %1）。").arg(code);
}

Error LoneSurrogateError(const QString& shown) {
    return Error(QStringLiteral("“%1”含有无效的字符（不成对的代理项），不能存入数据库。").arg(shown));
}

Error CountError(int needed, size_t given) {
    return Error(QStringLiteral("参数个数不符：语句需要 %1 个，提供了 %2 个。").arg(needed).arg(given));
}

}  // namespace qm::db

namespace qm {

void ShowCurrentException(UiService& ui) {
    try {
        throw;
    } catch (const SilentAbort&) {
    } catch (const db::Error& e) {
        ui.Plain(e.Text());
    } catch (const std::exception& e) {
        ui.Plain(QString::fromUtf8(e.what()));
    } catch (...) {
        ui.Plain(QStringLiteral("未知错误。"));
    }
}

bool Guarded(UiService& ui, const std::function<void()>& handler) {
    try {
        const BusyScope busy(ui);
        handler();
        return true;
    } catch (...) {
        ShowCurrentException(ui);
        return false;
    }
}

}  // namespace qm
