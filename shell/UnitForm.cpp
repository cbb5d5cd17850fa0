#include "shell/UnitForm.h"

#include "core/app/MainCommands.h"
#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm {

namespace {

QGroupBox* RadioGroup(QWidget* parent, const QString& title, const QStringList& items, int columns,
                      QButtonGroup*& group) {
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        group->addButton(b, i);
        grid->addWidget(b, i / columns, i % columns);
    }
    return box;
}

}  // namespace

TFrm_dep::TFrm_dep(AppContext& ctx, MainCommands& main, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(ctx),
      main_(main) {
    setWindowTitle(QStringLiteral("单位信息"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(18, 16, 18, 14);
    top->setSpacing(10);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->addWidget(new QLabel(QStringLiteral("单位名称："), this), 0, 0, Qt::AlignRight);
    Edit1 = new QLineEdit(this);
    Edit1->setMinimumWidth(330);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("组织机构代码："), this), 1, 0, Qt::AlignRight);
    auto* codeRow = new QHBoxLayout;
    codeRow->setSpacing(4);
    for (int i = 0; i < 9; ++i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("Edit%1").arg(i + 2));
        e->setMaxLength(1);
        e->setFixedWidth(30);
        e->setAlignment(Qt::AlignCenter);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this, e] { CodeChange(e); });
        Code[i] = e;
        codeRow->addWidget(e);
    }
    codeRow->addStretch();
    fields->addLayout(codeRow, 1, 1);
    top->addLayout(fields);

    top->addWidget(RadioGroup(this, QStringLiteral("单位属性"),
                              {QStringLiteral("机关单位"), QStringLiteral("企业事业单位")}, 2, rg_));
    auto* typeBox = RadioGroup(
        this, QStringLiteral("类型"),
        {QStringLiteral("其他"), QStringLiteral("资质建筑业单位"), QStringLiteral("规模以上工业单位")}, 3, rg2_);
    Cb1 = new QComboBox(typeBox);
    Cb1->addItems({unit::kGeneralContract, unit::kLabourSubcontract});
    Cb1->setEnabled(false);
    static_cast<QGridLayout*>(typeBox->layout())->addWidget(Cb1, 1, 1, 1, 2);
    top->addWidget(typeBox);

    auto* newBox =
        RadioGroup(this, QStringLiteral("新创办单位"), {QStringLiteral("否"), QStringLiteral("是")}, 3, rg3_);
    DateCb = new QComboBox(newBox);
    for (int m = 1; m <= 12; ++m) DateCb->addItem(QString::number(m) + QStringLiteral("月创办"));
    DateCb->setPlaceholderText(QStringLiteral("创办月份"));
    DateCb->setCurrentIndex(-1);
    DateCb->setEnabled(false);
    static_cast<QGridLayout*>(newBox->layout())->addWidget(DateCb, 0, 2);
    top->addWidget(newBox);

    rg_->button(1)->setChecked(true);
    rg2_->button(0)->setChecked(true);
    rg3_->button(0)->setChecked(true);
    connect(rg_, &QButtonGroup::idClicked, this, [this] { Guarded(ctx_.ui, [this] { RGClick(); }); });
    connect(rg2_, &QButtonGroup::idClicked, this, [this] { Guarded(ctx_.ui, [this] { RG2Click(); }); });
    connect(rg3_, &QButtonGroup::idClicked, this, [this] { Guarded(ctx_.ui, [this] { Rg3Click(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    D = new QPushButton(QStringLiteral("确 定"), this);
    BitBtn2 = new QPushButton(QStringLiteral("取 消"), this);
    for (QPushButton* b : {D, BitBtn2}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    top->addLayout(buttons);
    connect(D, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { DClick(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFrm_dep::ShowModal() {
    Guarded(ctx_.ui, [this] { FormShow(); });
    exec();
}

void TFrm_dep::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();  // the dialog frees itself when it closes
    setAttribute(Qt::WA_DeleteOnClose, true);
    Guarded(ctx_.ui, [this] { FormShow(); });
    show();
}

int TFrm_dep::RG() const { return rg_->checkedId(); }
int TFrm_dep::RG2() const { return rg2_->checkedId(); }
int TFrm_dep::Rg3() const { return rg3_->checkedId(); }

void TFrm_dep::SetRG(int i) {
    rg_->button(i)->setChecked(true);
    RGClick();
}
void TFrm_dep::SetRG2(int i) {
    rg2_->button(i)->setChecked(true);
    RG2Click();
}
void TFrm_dep::SetRg3(int i) {
    rg3_->button(i)->setChecked(true);
    Rg3Click();
}

void TFrm_dep::FormShow() {
    const std::optional<UnitRecord> r = unit::Load(ctx_.db);
    if (!r) return;  // the controls keep their defaults
    Edit1->setText(r->DepName);
    for (int i = 0; i < 9; ++i) Code[i]->setText(r->DepNo.mid(i, 1));
    // The status bar's class panel follows the stored unit as it is loaded ("否" leaves it).
    const UnitClass cls = r->DepClass;
    if (cls.IsOrgan()) {
        rg_->button(0)->setChecked(true);
        main_.ShowUnitClass(cls.StatusText());
    } else {
        rg_->button(1)->setChecked(true);
    }
    using K = UnitClass::Kind;
    if (cls.kind() == K::Other) {
        rg2_->button(0)->setChecked(true);
        Cb1->setCurrentIndex(0);
        Cb1->setEnabled(false);
    } else if (cls.kind() == K::AboveSize) {
        Cb1->setCurrentIndex(1);
        rg2_->button(2)->setChecked(true);
        Cb1->setEnabled(false);
        main_.ShowUnitClass(UnitClass(false, K::AboveSize).StatusText());
    } else {
        // A construction unit; an unknown class is shown as one with labour subcontracting.
        Cb1->setEnabled(true);
        rg2_->button(1)->setChecked(true);
        const bool general = cls.kind() == K::GeneralContract;
        Cb1->setCurrentIndex(general ? 0 : 1);
        main_.ShowUnitClass(UnitClass(false, general ? K::GeneralContract : K::LabourSubcontract).StatusText());
    }
    if (r->CreateMon.before || !r->CreateMon.valid) {
        rg3_->button(1)->setChecked(true);
        DateCb->setEnabled(true);
        DateCb->setCurrentIndex(r->CreateMon.before ? r->CreateMon.before->Number() : -1);
    } else {
        rg3_->button(0)->setChecked(true);
        DateCb->setEnabled(false);
    }
}

UnitChoice TFrm_dep::Choice() const {
    UnitChoice c;
    c.name = Edit1->text();
    for (int i = 0; i < 9; ++i) c.codeBoxes[i] = Code[i]->text();
    c.rg = RG();
    c.rg2 = RG2();
    c.cb1Text = Cb1->currentText();
    c.rg3 = Rg3();
    c.dateIndex = DateCb->currentIndex();
    return c;
}

void TFrm_dep::DClick() {
    if (unit::Save(ctx_, main_, Choice()) == unit::SaveResult::Saved) accept();
}

void TFrm_dep::RGClick() {
    if (RG() == 0) {
        SetRG2(0);
        SetRg3(0);
    }
}

void TFrm_dep::RG2Click() {
    if (RG() == 0 && RG2() == 1) {
        ctx_.ui.Plain(QStringLiteral("机关单位，不可能是资质建筑业单位！"));
        rg2_->button(0)->setChecked(true);
    } else if (RG() == 0 && RG2() == 2) {
        ctx_.ui.Plain(QStringLiteral("机关单位，不可能是规模以上工业单位！"));
        rg2_->button(0)->setChecked(true);
    }
    if (RG2() == 1) {
        Cb1->setEnabled(true);
        Cb1->setCurrentIndex(0);
    } else {
        Cb1->setEnabled(false);
    }
}

void TFrm_dep::Rg3Click() { DateCb->setEnabled(Rg3() == 1); }

void TFrm_dep::CodeChange(QLineEdit* box) {
    Guarded(ctx_.ui, [&] {
        const QString t = box->text().trimmed();
        bool lower = false;
        for (QChar c : t) {
            if (!unit::IsCodeChar(c)) {
                ctx_.ui.Info(QStringLiteral("非法字符"));
                Abort();
            }
            if (c.isLower()) lower = true;
        }
        if (lower) {
            box->setText(t.toUpper());  // this handler runs again and moves on
        } else if (t.size() == 1 && box->hasFocus()) {
            focusNextChild();
        }
    });
}

bool TFrm_dep::eventFilter(QObject* watched, QEvent* e) {
    // A click in a code box selects its character, so typing replaces it.
    if (e->type() == QEvent::MouseButtonRelease) {
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && box->hasFocus()) box->selectAll();
    } else if (e->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) box->selectAll();
    }
    return QDialog::eventFilter(watched, e);
}

void TFrm_dep::keyPressEvent(QKeyEvent* e) {
    // Enter moves on as Tab does, except on a button, which it presses.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !qobject_cast<QPushButton*>(focusWidget())) {
        focusNextChild();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void RegisterUnitForm(FormFactory& forms, MainCommands& main) {
    forms.Register(QStringLiteral("TFrm_dep"),
                   [&main](AppContext& ctx, const FormArgs& args) -> std::unique_ptr<IForm> {
                       return std::make_unique<TFrm_dep>(ctx, main, ParentOf(ctx, args));
                   });
}

}  // namespace qm
