#include "core/report/Upload.h"

#include "core/files/ReplacingFile.h"

#include "core/db/StaffTable.h"

#include "core/staff/StaffValues.h"
#include "core/unit/UnitInfo.h"

#include "core/base/TextCheck.h"
#include "core/files/Gbk.h"

#include "core/base/UiService.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <array>

namespace qm::upload {
namespace {

// The widths of every uploaded column, fixed here once. Text is GBK; numbers are ASCII.
struct Width {
    const char* column;
    char type;
    int width;
    int decimals;
};

constexpr std::array kWidths{
    // The start-of-period list (Gl_ files).
    Width{"sNumber", 'C', staffvalue::kNumberBytes, 0},  // an identifier: never cut
    Width{"sTsex", 'C', 10, 0},
    Width{"sTNation", 'C', 10, 0},
    Width{"sTParty", 'C', 10, 0},
    Width{"sBirth", 'C', 10, 0},
    Width{"sWorks", 'N', staffvalue::kYearsWidth, staffvalue::kYearsDecimals},  // a fraction of a year is kept
    Width{"sWork", 'N', staffvalue::kYearsWidth, staffvalue::kYearsDecimals},
    Width{"sTEdu", 'C', 50, 0},
    Width{"sGw", 'C', 50, 0},
    Width{"sTpost", 'C', 50, 0},
    Width{"sTGrade", 'C', 50, 0},
    Width{"sTJGrade", 'C', 50, 0},
    // Result tables of the reports.
    Width{"Gid", 'N', 11, 0},
    Width{"Dep_id", 'C', 20, 0},
    Width{"Tdate", 'C', 20, 0},
    Width{"frmc", 'C', unit::kNameBytes, 0},  // the unit form refuses a longer name
    Width{"frdm", 'C', 20, 0},
    // Average pay: the annual labour report shows it with two decimals, so its upload keeps
    // them (the other reports' whole figures read the same with ".00").
    Width{"I20", 'N', 15, 2},
    Width{"I21", 'N', 15, 2},
    Width{"I22", 'N', 15, 2},
    Width{"I23", 'N', 15, 2},
};
// Any other column: report figures are whole numbers, N(15,0); other texts C(50).
constexpr Width kOtherNumber{"", 'N', 15, 0};
constexpr Width kOtherText{"", 'C', 50, 0};

// The register's twelve fields in file order, spelled as the upload file names them, with
// the name a person knows a checked text by and the stored value that fills each.
struct RegisterField {
    const char* name;
    const char* label;  // null: not a text the list check judges
    std::optional<StaffAttr> attr;
    StaffPlain plain = StaffPlain::Number;  // when attr is none
};
const RegisterField kRegister[] = {
    {"sNumber", nullptr, std::nullopt, StaffPlain::Number},
    {"sTsex", "性别", StaffAttr::Sex},
    {"sTNation", "少数民族", StaffAttr::Nation},
    {"sTParty", "中共党员", StaffAttr::Party},
    {"sBirth", "出生年月", std::nullopt, StaffPlain::Birth},
    {"sWorks", nullptr, std::nullopt, StaffPlain::Works},
    {"sWork", nullptr, std::nullopt, StaffPlain::Work},
    {"sTEdu", "学历", StaffAttr::Edu},
    {"sGw", "职务", std::nullopt, StaffPlain::Gw},
    {"sTpost", "岗位", StaffAttr::Post},
    {"sTGrade", "专业技术职称", StaffAttr::Grade},
    {"sTJGrade", "技能等级", StaffAttr::JGrade},
};

db::Value Stored(const StoredText& t) { return t ? db::Value(*t) : db::Value(); }

// A register field's value in a stored row.
db::Value ValueOf(const StaffRecord& r, const RegisterField& f) {
    if (f.attr) return Stored(r.Text(*f.attr));
    switch (f.plain) {
    case StaffPlain::Number: return r.sNumber;
    case StaffPlain::Birth: return Stored(r.sBirth);
    case StaffPlain::Works: return r.sWorks;
    case StaffPlain::Work: return r.sWork;
    case StaffPlain::Gw: return Stored(r.sGw);
    default: return db::Value();
    }
}

bool IsNumeric(const QString& declared) {
    const QString t = declared.toUpper();
    return t.contains(QLatin1String("INT")) || t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("REAL")) ||
           t.contains(QLatin1String("DEC")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB"));
}

QString Native(const QString& p) { return QDir::toNativeSeparators(p); }

bool IsAscii(const QString& s) {
    for (QChar ch : s)
        if (ch.unicode() >= 0x80) return false;
    return true;
}

// The start-of-period list as the entry forms accept it: a number that fits its field and a
// work-year figure by the forms' one rule. A stored row that is otherwise (taken over from
// elsewhere, or saved before the rule) refuses the upload, naming the person, rather than
// writing a number cut short or a figure the field cannot hold.
void CheckStaffList(const std::vector<StaffRecord>& rows, const QString& target) {
    gbk::Encoder gbk;
    std::string bytes;
    // The GBK length of every text other than plain ASCII that passed, by text: the code texts
    // repeat on every row and are converted once.
    QHash<QString, qsizetype> passed;
    for (const StaffRecord& r : rows) {
        const QString& name = r.sName;
        const QString& number = r.sNumber;
        auto refuse = [&](const QString& what) {
            throw Error(QStringLiteral("上报文件“%1”未能生成：%2（姓名编号“%3”）%4。请在期初名单中改正后再上报。")
                            .arg(Native(target), dbf::VisibleText(name), dbf::VisibleText(number), what));
        };
        const QString problem = staffvalue::NumberProblem(number);
        if (!problem.isEmpty()) refuse(QStringLiteral("的") + problem);
        const QString works = r.sWorks.AsString(), work = r.sWork.AsString();
        if (!staffvalue::WorkYears(works))
            refuse(QStringLiteral("的参加工作年限“%1”不是最多两位小数的数字").arg(works));
        if (!staffvalue::WorkYears(work)) refuse(QStringLiteral("的本岗位年限“%1”不是最多两位小数的数字").arg(work));
        // A text is never cut, nor written with characters the file cannot hold.
        for (const RegisterField& f : kRegister) {
            if (!f.label) continue;
            const QString text = ValueOf(r, f).AsString();
            const QString label = QString::fromUtf8(f.label);
            const int width = FieldFor(QString::fromLatin1(f.name), QStringLiteral("TEXT")).width;
            qsizetype length = 0;
            if (const auto hit = passed.constFind(text); hit != passed.constEnd()) {
                length = *hit;
            } else {
                if (HasUnsafeChars(text))
                    refuse(QStringLiteral("的%1“%2”含有控制字符或无效的字符").arg(label, dbf::VisibleText(text)));
                bytes.clear();
                if (!gbk.Encode(text, bytes))
                    refuse(QStringLiteral("的%1“%2”含有GBK编码无法表示的字").arg(label, text));
                length = qsizetype(bytes.size());
                if (!IsAscii(text)) passed.insert(text, length);
            }
            if (length > width)
                refuse(QStringLiteral("的%1“%2”超过%3个字节（一个汉字占两个字节）").arg(label, text).arg(width));
        }
    }
}

}  // namespace

dbf::FieldDef FieldFor(const QString& column, const QString& declaredType) {
    for (const Width& w : kWidths)
        if (column.compare(QLatin1String(w.column), Qt::CaseInsensitive) == 0)
            return {column, w.type, w.width, w.decimals,
                    column.compare(QLatin1String("sNumber"), Qt::CaseInsensitive) == 0};
    const Width& w = IsNumeric(declaredType) ? kOtherNumber : kOtherText;
    return {column, w.type, w.width, w.decimals};
}

namespace {

QString NotWritten(const QString& target, const QString& why) {
    return QStringLiteral("上报文件“%1”未能生成：%2").arg(Native(target), why);
}

// The rows of a read-only query as a dBase file under the file's temporary name.
void WriteQueryTemp(db::Connection& c, const QString& sql, const files::ReplacingFile& file, QDate date) {
    try {
        db::Query q(c);
        q.Open(sql);
        std::vector<dbf::FieldDef> fields;
        fields.reserve(size_t(q.FieldCount()));
        for (int i = 0; i < q.FieldCount(); ++i)
            fields.push_back(FieldFor(q.Fields(i).FieldName(), q.Fields(i).DeclaredType()));
        dbf::Writer w(std::move(fields), date);
        db::Params row(size_t(q.FieldCount()));
        for (int r = 0; r < q.RecordCount(); ++r) {
            for (int i = 0; i < q.FieldCount(); ++i) row[size_t(i)] = q.ValueAt(r, i);
            w.AddRecord(row);
        }
        w.WriteTemp(file);
    } catch (const dbf::Error& e) {
        throw Error(NotWritten(file.Target(), e.Text()));
    } catch (const db::Error& e) {
        throw Error(NotWritten(file.Target(), e.Text()));
    }
}

// The start-of-period list as the register file under the file's temporary name.
void WriteRegisterTemp(const std::vector<StaffRecord>& rows, const files::ReplacingFile& file, QDate date) {
    try {
        std::vector<dbf::FieldDef> fields;
        for (const RegisterField& f : kRegister) fields.push_back(FieldFor(QString::fromLatin1(f.name), QString()));
        dbf::Writer w(std::move(fields), date);
        db::Params row(std::size(kRegister));
        for (const StaffRecord& r : rows) {
            for (size_t i = 0; i < std::size(kRegister); ++i) row[i] = ValueOf(r, kRegister[i]);
            w.AddRecord(row);
        }
        w.WriteTemp(file);
    } catch (const dbf::Error& e) {
        throw Error(NotWritten(file.Target(), e.Text()));
    }
}

// Puts complete files in place together.
void CommitAll(std::initializer_list<files::ReplacingFile*> written) {
    try {
        files::ReplacingFile::CommitAll(written);
    } catch (const files::ReplaceError& e) {
        throw Error(NotWritten((*written.begin())->Target(), e.Text()));
    }
}

}  // namespace

void WriteQuery(db::Connection& c, const QString& sql, const QString& target, QDate date) {
    files::ReplacingFile file(target);
    WriteQueryTemp(c, sql, file, date);
    CommitAll({&file});
}

namespace {

// The rows of a wage summary: Total_Info, or the range's saved copy the form shows (its name
// is checked before it is spliced; the copy's refill leaves frmc empty, the unit's name fills it).
QString SummaryRows(const QString& rangeCopy, int lines) {
    const QString limit = lines ? QStringLiteral(" limit ") + QString::number(lines) : QString();
    if (rangeCopy.isEmpty()) return QStringLiteral("select * from Total_Info order by Gid") + limit;
    static const QRegularExpression valid(QStringLiteral("^Total_(1[0-2]|[1-9])_(1[0-2]|[1-9])$"));
    if (!valid.match(rangeCopy).hasMatch()) throw Error(QStringLiteral("汇总数据“%1”不能上报。").arg(rangeCopy));
    return QStringLiteral(
               "select Gid as Gid, Dep_id as Dep_id, Tdate as Tdate, "
               "coalesce(frmc, (select DepName from Dep_Info limit 1)) as frmc, G11 as G11, G12 as G12, "
               "G13 as G13, G14 as G14, G15 as G15, G16 as G16, G17 as G17, G18 as G18, G19 as G19, "
               "G20 as G20, G21 as G21 from \"") +
           rangeCopy + QStringLiteral("\" order by Gid") + limit;
}

}  // namespace

Written Write(db::Connection& c, const AppPaths& paths, Kind kind, const QString& depNo, int quarter, QDate date,
              const QString& rangeCopy) {
    // The unit code becomes part of every file name: one from a restored or imported database
    // is checked here too, so it can never lead outside the upload folder.
    if (depNo.isEmpty() || depNo.contains(QLatin1Char('/')) || depNo.contains(QLatin1Char('\\')) ||
        depNo.startsWith(QLatin1Char('.')) || depNo.contains(QChar(0)))
        throw Error(QStringLiteral("单位法人代码“%1”不能用作上报文件名，请在单位基本信息中改正。").arg(depNo));
    const bool rcsb = kind == Kind::StaffRegister || kind == Kind::TalentSurvey || kind == Kind::TalentSummary ||
                      kind == Kind::QuarterLabour || kind == Kind::AnnualLabour;
    const QString dir = rcsb ? paths.Rcsb() : paths.Gzsb();
    Written out;
    out.folder = Native(dir + QLatin1Char('/'));
    const QString q = QString::number(quarter);
    auto write = [&](const QString& sql, const QString& name) {
        const QString target = dir + QLatin1Char('/') + name;
        WriteQuery(c, sql, target, date);
        out.files << target;
    };
    // Message forms: A names one file, B gives path and name on two lines, C two files.
    auto formA = [&](const QString& name) {
        return QStringLiteral("你保存在'") + out.folder + QStringLiteral("'里,文件名为:") + name;
    };
    auto formB = [&](const QString& name) {
        return QStringLiteral("文件所在路径:'") + out.folder + QStringLiteral("';\n文件名为:") + name;
    };
    const QString i202 = depNo + QLatin1Char('_') + q + QStringLiteral("_i202.dbf");
    switch (kind) {
    case Kind::StaffRegister: {
        // Only the start-of-period list: the monthly rows would repeat every person.
        const QString name = QStringLiteral("Gl_") + depNo + QStringLiteral(".dbf");
        const std::vector<StaffRecord> rows = StaffTable(c).ReadMonth(Month::Start());
        CheckStaffList(rows, dir + QLatin1Char('/') + name);
        files::ReplacingFile file(dir + QLatin1Char('/') + name);
        WriteRegisterTemp(rows, file, date);
        CommitAll({&file});
        out.files << file.Target();
        out.message = formA(name);
        break;
    }
    case Kind::TalentSurvey: {
        const QString name = depNo + QStringLiteral(".dbf");
        write(QStringLiteral("select * from Total_Info order by Gid"), name);
        out.message = formA(name);
        break;
    }
    case Kind::WageSummary: {
        const QString name = depNo + QStringLiteral("_i704.dbf");
        write(SummaryRows(rangeCopy, 0), name);
        out.message = formA(name);
        break;
    }
    case Kind::OrganWageSummary: {
        const QString name = depNo + QStringLiteral("_i705.dbf");
        write(SummaryRows(rangeCopy, 21), name);
        out.message = formA(name);
        break;
    }
    case Kind::TalentSummary: {
        // Both files or neither: the list is checked, then both are written complete, and
        // only then do both take their names; a failure leaves the earlier pair as it was.
        const QString list = dir + QLatin1Char('/') + QStringLiteral("Gl_") + depNo + QStringLiteral(".dbf");
        const std::vector<StaffRecord> rows = StaffTable(c).ReadMonth(Month::Start());
        CheckStaffList(rows, list);
        files::ReplacingFile summary(dir + QLatin1Char('/') + depNo + QStringLiteral("_i505.dbf"));
        files::ReplacingFile staff(list);
        WriteQueryTemp(c, QStringLiteral("select * from Total_baseInfo order by Gid"), summary, date);
        WriteRegisterTemp(rows, staff, date);
        CommitAll({&summary, &staff});
        out.files << summary.Target() << staff.Target();
        out.message = QStringLiteral("你保存在'") + out.folder + QStringLiteral("'里,汇总文件名为:") + depNo +
                      QStringLiteral("_i505.dbf，过录表为：Gl_") + depNo + QStringLiteral(".dbf");
        break;
    }
    case Kind::QuarterReport:
    case Kind::QuarterLabour: {
        if (quarter < 1 || quarter > 3) throw Error(QStringLiteral("季度必须是 1、2 或 3"));
        write(kind == Kind::QuarterReport ? QStringLiteral("select * from JGLabor_info")
                                          : QStringLiteral("select * from JLabor_info"),
              i202);
        // A file of the same name without the quarter is an older form of this upload.
        QFile::remove(dir + QLatin1Char('/') + depNo + QStringLiteral("_i202.dbf"));
        out.message = formB(i202);
        break;
    }
    case Kind::AnnualReport:
    case Kind::AnnualLabour: {
        const QString name = depNo + QStringLiteral("_i102.dbf");
        write(kind == Kind::AnnualReport ? QStringLiteral("select * from NGLabor_info")
                                         : QStringLiteral("select * from NLabor_info"),
              name);
        out.message = formB(name);
        break;
    }
    }
    return out;
}

bool Run(db::Connection& c, UiService& ui, const AppPaths& paths, Kind kind, const QString& depNo, int quarter,
         const QString& rangeCopy) {
    Written w;
    try {
        w = Write(c, paths, kind, depNo, quarter, QDate::currentDate(), rangeCopy);
    } catch (const Error& e) {
        ui.Plain(e.Text());
        return false;
    }
    ui.Info(w.message);
    ui.OpenFolder(w.folder);
    return true;
}

}  // namespace qm::upload
