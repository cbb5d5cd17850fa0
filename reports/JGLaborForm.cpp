#include "reports/JGLaborForm.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/unit/Gates.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

TFrm_JGLabor::TFrm_JGLabor(AppContext& ctx, QWidget* parent, qm::Quarter quarter)
    : QWidget(parent, Qt::Window), WageReportWindow(ctx, this), IJGLabor(quarter) {
    setObjectName(QStringLiteral("Frm_JGLabor"));
    setWindowTitle(QStringLiteral("从业人员及工资总额（季报）"));
    resize(860, 720);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    Label4 = new QLabel(this);
    Label5 = new QLabel(this);
    Label5->setAlignment(Qt::AlignCenter);
    Label6 = new QLabel(QStringLiteral("表         号：202 - 1  表"), this);
    Label7 = new QLabel(QStringLiteral("制定机关：国家统计局"), this);
    Label8 = new QLabel(QStringLiteral("文         号：国统字(2012)号"), this);
    Label9 = new QLabel(QStringLiteral("有效期至：2014年1月"), this);

    auto* head = new QGridLayout;
    head->addWidget(Label3, 0, 0);
    head->addWidget(Label6, 0, 2);
    head->addWidget(Label7, 1, 2);
    head->addWidget(Label4, 1, 0, 1, 2);
    head->addWidget(Label8, 2, 2);
    head->addWidget(Label2, 2, 0);
    head->addWidget(Label9, 3, 2);
    head->setColumnStretch(0, 1);
    Build(Label5, head);
}

TFrm_JGLabor::~TFrm_JGLabor() = default;

void TFrm_JGLabor::FormShow() {
    Label3->setText(QStringLiteral("组织机构代码 ：") + ctx_.state.DepNo);
    Label4->setText(QStringLiteral("企业（单位）详细名称 ：") + ctx_.state.DepName);
    // A report that was refused leaves nothing to export or upload.
    report_.reset();
    report::QuarterWageReport r(Quarter());
    Label5->setText(r.QuarterLabel());
    r.Compute(ctx_.db, ctx_.state, book_, ctx_.pb);
    report_ = std::move(r);
}

void TFrm_JGLabor::BitBtn2Click() {
    if (!report_) return;
    report::ExportWorkbook(ctx_.ui, *pb_, ctx_.paths, report_->Layout(ctx_.state), book_);
}

void TFrm_JGLabor::BitBtn3Click() {
    report::PrintWorkbook(ctx_.ui, ctx_.paths, report::QuarterWageReport(Quarter()).WorkbookStem());
}

void TFrm_JGLabor::BitBtn4Click() {
    if (!report_) return;
    if (report_->Upload(ctx_.db, ctx_.ui, ctx_.paths, ctx_.state.DepNo)) close();
}

// ---------------------------------------------------------------- the quarter chooser

TFrm_ChooseJLabor::TFrm_ChooseJLabor(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_ChooseJLabor"));
    setWindowTitle(QStringLiteral("季度选择"));
    SpeedButton1 = new QPushButton(QStringLiteral(" 一 季 度"), this);
    SpeedButton2 = new QPushButton(QStringLiteral(" 二 季 度"), this);
    SpeedButton3 = new QPushButton(QStringLiteral(" 三 季 度"), this);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(30, 20, 30, 20);
    v->setSpacing(12);
    for (QPushButton* b : {SpeedButton1, SpeedButton2, SpeedButton3}) {
        b->setMinimumSize(150, 36);
        v->addWidget(b);
    }
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { SpeedButton3Click(); }); });
}

void TFrm_ChooseJLabor::ShowModal() {
    exec();
    // The report windows opened from here stay open after the chooser: they move to the
    // main window, where the menu commands put theirs.
    for (TFrm_JGLabor* w : findChildren<TFrm_JGLabor*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect g = w->geometry();
        const bool shown = w->isVisible();
        w->setParent(ctx_.mainWidget, w->windowFlags());
        w->setGeometry(g);
        if (shown) w->show();
    }
}

void TFrm_ChooseJLabor::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_ChooseJLabor::OpenQuarter(Quarter quarter) {
    Gates gates(ctx_.db, ctx_.state, ctx_.ui);
    if (!report::QuarterWageReport(quarter).PassGates(gates, ctx_.ui)) return;
    if (!ctx_.forms) return;
    // While the chooser runs modally, a window of its own takes input; it moves to the
    // main window when the chooser closes.
    std::unique_ptr<IForm> f = ctx_.forms->Create(QStringLiteral("TFrm_JGLabor"), {.quarter = quarter, .parent = this});
    if (!f) return;
    IForm* raw = f.get();
    raw->ShowModeless(std::move(f));
}

}  // namespace qm
