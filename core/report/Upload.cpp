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
#include <QRegularExpression>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

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

bool IsNumeric(const QString& declared) {
    const QString t = declared.toUpper();
    return t.contains(QLatin1String("INT")) || t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("REAL")) ||
           t.contains(QLatin1String("DEC")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB"));
}

QString Native(const QString& p) { return QDir::toNativeSeparators(p); }

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

// The start-of-period list as the entry forms accept it: a number that fits its field and a
// work-year figure by the forms' one rule. A stored row that is otherwise (taken over from
// elsewhere, or saved before the rule) refuses the upload, naming the person, rather than
// writing a number cut short or a figure the field cannot hold. Each row is checked and put
// into the register file as it is read: 16,338 rows are not held a second time.
class RegisterList {
public:
    RegisterList(db::Connection& c, const QString& target, QDate date) : target_(target), writer_(Fields(), date) {
        for (size_t i = 0; i < std::size(kRegister); ++i) width_[i] = writer_.Fields()[i].width;
        std::vector<StaffColumn> cols;
        for (const RegisterField& f : kRegister) cols.push_back(f.attr ? StaffColumn(*f.attr) : StaffColumn(f.plain));
        cols.push_back(StaffPlain::Name);
        StaffTable(c).StepMonth(Month::Start(), cols, [this](const StaffRowView& row) { Row(row); });
    }

    // The file under its temporary name: every row passed its checks, and none failed to fit.
    void WriteTemp(const files::ReplacingFile& file) const {
        try {
            if (problem_) throw dbf::Error(*problem_);
            writer_.WriteTemp(file);
        } catch (const dbf::Error& e) {
            throw Error(NotWritten(file.Target(), e.Text()));
        }
    }

private:
    static constexpr int kName = int(std::size(kRegister));  // the column after the register's

    static std::vector<dbf::FieldDef> Fields() {
        std::vector<dbf::FieldDef> fields;
        for (const RegisterField& f : kRegister) fields.push_back(FieldFor(QString::fromLatin1(f.name), QString()));
        return fields;
    }

    [[noreturn]] void Refuse(const StaffRowView& row, const QString& number, const QString& what) const {
        throw Error(QStringLiteral("上报文件“%1”未能生成：%2（姓名编号“%3”）%4。请在期初名单中改正后再上报。")
                        .arg(Native(target_), dbf::VisibleText(row.Text(kName)), dbf::VisibleText(number), what));
    }

    // A text the list check judges, as the file's bytes; refuses the row when it holds a
    // character the file cannot, or is longer than its field (none is ever cut).
    std::string_view Checked(const StaffRowView& row, const QString& number, int i) {
        const std::string_view utf8 = row.Utf8(i);
        const size_t width = size_t(width_[size_t(i)]);
        // Printable ASCII is its own GBK; other texts (the code texts repeat on every row) are
        // converted once and kept by their stored bytes.
        bool printable = true;
        for (const char ch : utf8) printable = printable && ch >= 0x20 && ch < 0x7F;
        if (printable && utf8.size() <= width) return utf8;
        if (!printable)
            if (const auto hit = encoded_.find(utf8); hit != encoded_.end() && hit->second.size() <= width)
                return hit->second;
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        const QString label = QString::fromUtf8(kRegister[i].label);
        if (HasUnsafeChars(text))
            Refuse(row, number, QStringLiteral("的%1“%2”含有控制字符或无效的字符").arg(label, dbf::VisibleText(text)));
        std::string bytes;
        if (!gbk_.Encode(text, bytes))
            Refuse(row, number, QStringLiteral("的%1“%2”含有GBK编码无法表示的字").arg(label, text));
        if (bytes.size() > width)
            Refuse(row, number,
                   QStringLiteral("的%1“%2”超过%3个字节（一个汉字占两个字节）").arg(label, text).arg(width));
        return encoded_.emplace(std::string(utf8), std::move(bytes)).first->second;
    }

    void Row(const StaffRowView& row) {
        const QString number = row.Text(0);
        const QString problem = staffvalue::NumberProblem(number);
        if (!problem.isEmpty()) Refuse(row, number, QStringLiteral("的") + problem);
        const db::Value works = row.Value(5), work = row.Value(6);
        if (!staffvalue::WorkYears(works.AsString()))
            Refuse(row, number, QStringLiteral("的参加工作年限“%1”不是最多两位小数的数字").arg(works.AsString()));
        if (!staffvalue::WorkYears(work.AsString()))
            Refuse(row, number, QStringLiteral("的本岗位年限“%1”不是最多两位小数的数字").arg(work.AsString()));
        std::array<std::string_view, std::size(kRegister)> text;
        for (int i = 0; i < kName; ++i)
            if (kRegister[i].label && !row.IsNull(i)) text[size_t(i)] = Checked(row, number, i);
        // A value that does not fit the file fails the upload, but only once every row has
        // been checked: a row refused by the list check is named first.
        if (problem_) return;
        try {
            writer_.StartRecord();
            writer_.Put(0, db::Value(number));
            for (int i = 1; i < kName; ++i) {
                if (kRegister[i].label)
                    writer_.PutEncoded(size_t(i), text[size_t(i)]);
                else
                    writer_.Put(size_t(i), i == 5 ? works : i == 6 ? work : row.Value(i));
            }
        } catch (const dbf::Error& e) {
            problem_ = e.Text();
        }
    }

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    QString target_;
    dbf::Writer writer_;
    std::array<int, std::size(kRegister)> width_{};
    gbk::Encoder gbk_;
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> encoded_;
    std::optional<QString> problem_;
};

void WriteQueryFile(db::Connection& c, const QString& sql, const QString& target, QDate date) {
    files::ReplacingFile file(target);
    WriteQueryTemp(c, sql, file, date);
    file.Commit();
}

// A file that could not be made or put in place, named.
Error NotPlaced(const files::ReplaceError& e) { return Error(NotWritten(e.Target(), e.Text())); }

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

namespace {

Written WriteFiles(db::Connection& c, const AppPaths& paths, Kind kind, const QString& depNo,
                   std::optional<Quarter> quarter, QDate date, const QString& rangeCopy) {
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
    auto write = [&](const QString& sql, const QString& name) {
        const QString target = dir + QLatin1Char('/') + name;
        WriteQueryFile(c, sql, target, date);
        out.files << target;
    };
    // Message forms: A names one file, B gives path and name on two lines, C two files.
    auto formA = [&](const QString& name) {
        return QStringLiteral("你保存在'") + out.folder + QStringLiteral("'里,文件名为:") + name;
    };
    auto formB = [&](const QString& name) {
        return QStringLiteral("文件所在路径:'") + out.folder + QStringLiteral("';\n文件名为:") + name;
    };
    switch (kind) {
    case Kind::StaffRegister: {
        // Only the start-of-period list: the monthly rows would repeat every person.
        const QString name = QStringLiteral("Gl_") + depNo + QStringLiteral(".dbf");
        const RegisterList rows(c, dir + QLatin1Char('/') + name, date);
        files::ReplacingFile file(dir + QLatin1Char('/') + name);
        rows.WriteTemp(file);
        file.Commit();
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
        const RegisterList rows(c, list, date);
        files::ReplacingFile summary(dir + QLatin1Char('/') + depNo + QStringLiteral("_i505.dbf"));
        files::ReplacingFile staff(list);
        WriteQueryTemp(c, QStringLiteral("select * from Total_baseInfo order by Gid"), summary, date);
        rows.WriteTemp(staff);
        files::ReplacingFile::CommitAll({&summary, &staff});
        out.files << summary.Target() << staff.Target();
        out.message = QStringLiteral("你保存在'") + out.folder + QStringLiteral("'里,汇总文件名为:") + depNo +
                      QStringLiteral("_i505.dbf，过录表为：Gl_") + depNo + QStringLiteral(".dbf");
        break;
    }
    case Kind::QuarterReport:
    case Kind::QuarterLabour: {
        if (!quarter) throw Error(QStringLiteral("季度必须是 1、2 或 3"));
        const QString i202 =
            depNo + QLatin1Char('_') + QString::number(quarter->Number()) + QStringLiteral("_i202.dbf");
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

}  // namespace

Written Write(db::Connection& c, const AppPaths& paths, Kind kind, const QString& depNo, std::optional<Quarter> quarter,
              QDate date, const QString& rangeCopy) {
    try {
        return WriteFiles(c, paths, kind, depNo, quarter, date, rangeCopy);
    } catch (const files::ReplaceError& e) {
        throw NotPlaced(e);
    }
}

bool Run(db::Connection& c, UiService& ui, const AppPaths& paths, Kind kind, const QString& depNo,
         std::optional<Quarter> quarter, const QString& rangeCopy) {
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
