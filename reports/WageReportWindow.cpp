#include "reports/WageReportWindow.h"

#include "sheet/SheetView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

WageReportWindow::~WageReportWindow() = default;

void WageReportWindow::Build(QLabel* underTitle, QGridLayout* head) {
    QWidget* w = window_;
    Label1 = new QLabel(QStringLiteral("从业人员及工资总额"), w);
    QFont title = Label1->font();
    title.setPixelSize(20);
    title.setBold(true);
    Label1->setFont(title);
    Label1->setAlignment(Qt::AlignCenter);
    MakeSheetAndButtons();
    Pb = new QProgressBar(w);
    Pb->setRange(0, 100);
    Pb->setValue(0);
    Pb->setTextVisible(false);
    Pb->setFixedHeight(14);
    pb_ = std::make_unique<BarProgress>(Pb);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtn2, BitBtn3, BitBtn4, BitBtn1}) {
        buttons->addWidget(b);
        buttons->addSpacing(12);
    }
    buttons->addStretch();
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(8, 8, 8, 2);
    v->addWidget(Label1);
    if (underTitle) v->addWidget(underTitle, 0, Qt::AlignHCenter);
    v->addLayout(head);
    v->addWidget(view_, 1);
    v->addLayout(buttons);
    v->addWidget(Pb);
}

}  // namespace qm
