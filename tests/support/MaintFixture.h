#pragma once
// A temporary base with a connection, a scripted dialog service, a recording progress bar,
// a main window that counts its refreshes, and forms that only record that they were shown.

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "tests/support/RecordingMain.h"
#include "tests/support/TempBase.h"

#include <QFile>
#include <vector>

namespace qm::test {

class RecordingProgress : public Progress {
public:
    std::vector<int> values;
    // Before anything is shown the bar holds no position, as a fresh QProgressBar's -1.
    int Position() const override { return values.empty() ? -1 : values.back(); }

protected:
    void Show(int v) override { values.push_back(v); }
};

class FakeMain : public RecordingMain {
public:
    explicit FakeMain(MainState& s) : state(s) {}
    MainState& state;
    void RefreshMonthMenus() override {
        RecordingMain::RefreshMonthMenus();
        state.InitialCleared = 0;
    }
    bool LoadUnitInfo() override {
        if (unit) {
            state.DepNo = QStringLiteral(" 12345678X ");
            state.DepName = QStringLiteral("测试单位");
        }
        return unit;
    }
};

// A form that only records that it was shown modally.
class RecordedForm : public IForm {
public:
    explicit RecordedForm(std::vector<QString>& log, QString name) : log_(log), name_(std::move(name)) {}
    void ShowModal() override { log_.push_back(name_); }
    void ShowModeless(std::unique_ptr<IForm>) override { log_.push_back(name_); }

private:
    std::vector<QString>& log_;
    QString name_;
};

struct MaintFixture {
    TempBase base;
    ScriptedUiService ui;
    RecordingProgress pb;
    MainState state;
    FakeMain main{state};
    std::vector<QString> shownForms;
    AppContext ctx{base.db(), ui, base.paths(), state, pb, &main, nullptr, nullptr};
    FormFactory forms{ctx};

    MaintFixture() {
        ctx.forms = &forms;
        for (const char* name : {"TFrm_set", "TFrm_clearChWage", "TFrm_clearChMon"}) {
            const QString n = QString::fromLatin1(name);
            forms.Register(n, [this, n](AppContext&) { return std::make_unique<RecordedForm>(shownForms, n); });
        }
    }

    db::Connection& db() { return base.db(); }
    QString Scalar(const QString& sql, const db::Params& p = {}) { return base.Scalar(sql, p); }
    int Count(const QString& sql, const db::Params& p = {}) { return Scalar(sql, p).toInt(); }

    void AddUnit() {
        db().Exec(
            QStringLiteral("insert into Dep_Info(DepName,DepNo,DepType,DepInfo,Flag,CreateMon) "
                           "values('测试单位','12345678X','企业事业单位','否','1','99')"));
    }
    void AddStaff(int mon, const QString& number) {
        db().Exec(QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber,sIsok) values(?,?,?,'1')"),
                  {mon, QStringLiteral("某人") + number, number});
    }
    void AddWage(int mon, const QString& number, int total = 3000) {
        db().Exec(
            QStringLiteral("insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(?,?,?,?,'1','1')"),
            {mon, number, QStringLiteral("某人") + number, total});
    }
    // Persons 1..3 in months 0..3, with wages in months 1..3.
    void Seed() {
        for (int m = 0; m <= 3; ++m)
            for (int p = 1; p <= 3; ++p) {
                AddStaff(m, QStringLiteral("00%1").arg(p));
                if (m > 0) AddWage(m, QStringLiteral("00%1").arg(p));
            }
    }
};

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

}  // namespace qm::test
