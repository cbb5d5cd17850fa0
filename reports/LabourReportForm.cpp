#include "reports/LabourReportForm.h"

#include "core/base/Progress.h"
#include "core/report/WorkbookExport.h"
#include "sheet/SheetView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

LabourReportForm::LabourReportForm(AppContext& ctx, QWidget* parent, const QString& caption, const QString& formNumber,
                                   const QString& validity)
    : QDialog(parent), ReportWindow(ctx, this, Opening::ComputedThenShown) {
    setWindowTitle(caption);
    auto* root = new QVBoxLayout(this);

    auto* head = new QGridLayout;
    labels_[1] = new QLabel(QStringLiteral("基层定期报表             "), this);
    QFont f1(QStringLiteral("宋体"));
    f1.setBold(true);
    f1.setPointSize(10);
    labels_[1]->setFont(f1);
    labels_[2] = new QLabel(QStringLiteral("劳   动   情   况     "), this);
    QFont f2 = labels_[2]->font();
    f2.setPointSize(14);
    f2.setBold(true);
    labels_[2]->setFont(f2);
    labels_[3] = new QLabel(this);
    labels_[4] = new QLabel(this);
    labels_[5] = new QLabel(formNumber, this);
    labels_[6] = new QLabel(validity, this);
    labels_[7] = new QLabel(this);
    labels_[3]->setFixedWidth(150);
    labels_[4]->setMinimumWidth(350);
    head->addWidget(labels_[1], 0, 0);
    head->addWidget(labels_[2], 0, 1, Qt::AlignHCenter);
    head->addWidget(labels_[5], 0, 2, Qt::AlignRight);
    head->addWidget(labels_[3], 1, 0);
    head->addWidget(labels_[4], 1, 1);
    head->addWidget(labels_[7], 1, 2, Qt::AlignRight);
    head->addWidget(labels_[6], 2, 2, Qt::AlignRight);
    head->setColumnStretch(1, 1);
    root->addLayout(head);

    MakeSheetAndButtons();
    root->addWidget(view_, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : {BitBtn2, BitBtn3, BitBtn4, BitBtn1}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    root->addLayout(row);
}

void LabourReportForm::ShowUnit() {
    labels_[3]->setText(QStringLiteral("组织机构代码 ") + ctx_.state.DepNo);
    labels_[4]->setText(QStringLiteral("企业（单位）详细名称 ") + ctx_.state.DepName);
}

void LabourReportForm::done(int r) {
    ctx_.pb.SetPosition(0);
    QDialog::done(r);
}

// ---------------------------------------------------------------- TFrm_JLabor

TFrm_JLabor::TFrm_JLabor(AppContext& ctx, QWidget* parent, const MonthRun& run)
    : LabourReportForm(ctx, parent, QStringLiteral("企事业单位劳动统计报表（季度）"),
                       QStringLiteral("表           号：I202-2表     "), QStringLiteral("有效期至：2013年1月     ")),
      IJLabor(run),
      report_(run) {
    report::QuarterLabourReport::Prepare(book_);
    setWindowTitle(windowTitle() + report_.CaptionSuffix());
    if (run.Quarter()) {
        labels_[7]->setText(report_.PeriodLabel());
        labels_[7]->setFixedWidth(150);
    } else {
        // A chosen run is no quarter to upload.
        labels_[7]->setVisible(false);
        BitBtn4->setEnabled(false);
    }
    resize(820, 640);
}

void TFrm_JLabor::FormShow() {
    ShowUnit();
    report_.Compute(ctx_.db, ctx_.state, book_, ctx_.pb);
}

void TFrm_JLabor::BitBtn2Click() {
    report::ExportWorkbook(ctx_.ui, ctx_.pb, ctx_.paths, report_.Layout(ctx_.state), book_);
}

void TFrm_JLabor::BitBtn3Click() { report::PrintWorkbook(ctx_.ui, ctx_.paths, report_.WorkbookStem()); }

void TFrm_JLabor::BitBtn4Click() {
    if (report_.Upload(ctx_.db, ctx_.ui, ctx_.paths, ctx_.state.DepNo)) close();
}

// ---------------------------------------------------------------- TFrm_NLabor

TFrm_NLabor::TFrm_NLabor(AppContext& ctx, QWidget* parent)
    : LabourReportForm(ctx, parent, QStringLiteral("企事业单位劳动统计报表（年度）"),
                       QStringLiteral("表             号：I102-2表     "), QStringLiteral("有效期至：2012年6月     ")) {
    report::AnnualLabourReport::Prepare(book_);
    labels_[7]->setText(report::AnnualLabourReport::kYearLabel);
    resize(1000, 700);
}

void TFrm_NLabor::FormShow() {
    ShowUnit();
    report_.Compute(ctx_.db, ctx_.state, book_, ctx_.pb);
}

void TFrm_NLabor::BitBtn2Click() {
    report::ExportWorkbook(ctx_.ui, ctx_.pb, ctx_.paths, report_.Layout(ctx_.state), book_);
}

void TFrm_NLabor::BitBtn3Click() {
    report::PrintWorkbook(ctx_.ui, ctx_.paths, report::AnnualLabourReport::WorkbookStem());
}

void TFrm_NLabor::BitBtn4Click() {
    if (report_.Upload(ctx_.db, ctx_.ui, ctx_.paths, ctx_.state.DepNo)) close();
}

}  // namespace qm
