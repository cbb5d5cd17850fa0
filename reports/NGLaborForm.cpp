#include "reports/NGLaborForm.h"

#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace qm {

TFrm_NGLabor::TFrm_NGLabor(AppContext& ctx, QWidget* parent) : QDialog(parent), WageReportWindow(ctx, this) {
    setObjectName(QStringLiteral("Frm_NGLabor"));
    setWindowTitle(QStringLiteral("从业人员及工资总额（年报）"));
    resize(913, 748);
    Label3 = new QLabel(this);
    Label4 = new QLabel(this);
    Label5 = new QLabel(QStringLiteral("表         号：１ ０ ２ - １ 表"), this);
    Label6 = new QLabel(QStringLiteral("制定机关：国  家 统 计 局"), this);
    Label7 = new QLabel(QStringLiteral("文         号：国统字(2012)号"), this);
    Label8 = new QLabel(QStringLiteral("有效期至：２０１４年１月"), this);
    Label9 = new QLabel(QStringLiteral("20       年"), this);
    Year = new QLineEdit(report::AnnualWageReport::kDefaultYear, Label9);
    Year->setInputMask(QStringLiteral("9999"));
    Year->setAlignment(Qt::AlignCenter);

    // The year is typed over the label: the field covers "20" and the blanks, "年" stays after it.
    const QFontMetrics fm(Label9->font());
    const int field =
        std::max(fm.horizontalAdvance(QStringLiteral("20       ")), fm.horizontalAdvance(QStringLiteral("2012")) + 16);
    Label9->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label9->setFixedSize(field + fm.horizontalAdvance(QStringLiteral("年")) + 4, Year->sizeHint().height());
    Year->setGeometry(0, 0, field, Label9->height());

    auto* head = new QGridLayout;
    head->addWidget(Label3, 0, 0);
    head->addWidget(Label5, 0, 1);
    head->addWidget(Label6, 1, 1);
    head->addWidget(Label4, 1, 0);
    head->addWidget(Label7, 2, 1);
    head->addWidget(Label8, 3, 1);
    head->setColumnStretch(0, 1);
    Build(Label9, head);
}

TFrm_NGLabor::~TFrm_NGLabor() = default;

void TFrm_NGLabor::FormShow() {
    Label3->setText(QStringLiteral("组织机构代码 : ") + ctx_.state.DepNo);
    Label4->setText(QStringLiteral("企业（单位）详细名称 : ") + ctx_.state.DepName);
    // A report that was refused leaves nothing to upload.
    report_.reset();
    report::AnnualWageReport r;
    r.Compute(ctx_.db, ctx_.state, book_, ctx_.pb);
    report_ = std::move(r);
}

void TFrm_NGLabor::BitBtn2Click() {
    report::AnnualWageReport::Export(ctx_.ui, *pb_, ctx_.paths, ctx_.state, Year->text(), book_);
}

void TFrm_NGLabor::BitBtn3Click() {
    report::PrintWorkbook(ctx_.ui, ctx_.paths, report::AnnualWageReport::WorkbookStem(ctx_.state.DepNo));
}

void TFrm_NGLabor::BitBtn4Click() {
    if (!report_) return;
    if (report_->Upload(ctx_.db, ctx_.ui, ctx_.paths, ctx_.state.DepNo)) close();
}

void TFrm_NGLabor::closeEvent(QCloseEvent* e) {
    ctx_.pb.SetPosition(0);
    QDialog::closeEvent(e);
}

}  // namespace qm
