#include "reports/TalentForm.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/report/GidLayouts.h"
#include "core/report/Upload.h"
#include "sheet/SheetView.h"

#include <QLabel>
#include <QPushButton>

namespace qm {

using report::GidSummary;

TalentForm::TalentForm(AppContext& ctx, GidSummary id, QWidget* parent)
    : SummaryFormBase(ctx, id,
                      id == GidSummary::X505 ? QStringLiteral("期初人才调查汇总表（统计上年末人才情况）")
                                             : QStringLiteral("人才资源汇总"),
                      id == GidSummary::X505 ? QStringLiteral("年末人才调查汇总表  ")
                                             : QStringLiteral("非公有制企业（单位）人才资源状况调查表"),
                      id == GidSummary::X505 ? QStringLiteral("x505") : QStringLiteral("i303"),
                      id == GidSummary::X505 ? QStringLiteral("打  印") : QStringLiteral("打印"), false, parent) {
    if (id == GidSummary::I303_1) {
        QFont f = Label1->font();
        f.setPixelSize(20);
        Label1->setFont(f);
    }
    resetBarOnClose_ = id == GidSummary::X505;
}

void TalentForm::FormShow() {
    if (id_ == GidSummary::I303_1) {
        book_.SetSelection(1, 1, 60, 11);
        book_.SetFont(QStringLiteral("fnt"), 8);
    }
    CountTable();
}

void TalentForm::CountTable() {
    ctx_.pb.SetPosition(0);
    const bool done = report::RunTalentTable(ctx_.db, ctx_.ui, book_, id_, report::TodayText(), unit_);
    // The year-end table puts a blank after each name; the survey none.
    if (id_ == GidSummary::X505)
        ShowUnit(unit_.depName + QLatin1Char(' '), unit_.depNo + QLatin1Char(' '));
    else
        ShowUnit(unit_.depName, unit_.depNo);
    if (!done) Refuse();
    EnableOutputs(true);
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void TalentForm::BitBtn1Click() {
    SheetBook1->CommitPendingEdit();
    report::ExportWorkbook(ctx_.ui, ctx_.pb, ctx_.paths, report::TalentLayout(id_, unit_), book_);
}

void TalentForm::BitBtn2Click() { report::PrintWorkbook(ctx_.ui, ctx_.paths, report::TalentStem(id_)); }

void TalentForm::BitBtn3Click() {
    // Ⅰ303-1 replaces only its own file: the other uploads in RCSB stay.
    const auto kind = id_ == GidSummary::X505 ? upload::Kind::TalentSummary : upload::Kind::TalentSurvey;
    if (upload::Run(ctx_.db, ctx_.ui, ctx_.paths, kind, unit_.depNo)) close();
}

}  // namespace qm
