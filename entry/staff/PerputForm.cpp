#include "entry/staff/PerputForm.h"

#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/StaffTable.h"
#include "platform/FormPlacement.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qm {

using F = PerputField;
using namespace grid;

namespace {

const QColor kRed(255, 0, 0);
const char* const kRedProperty = "qmRed";

// The grid's columns: the field each is bound to, its title and width. Columns 0 (id)
// and 10 (sGw) are always hidden; 16..19 follow the unit's class.
struct GridColumn {
    StaffColumn field;
    const char* title;
    int width;
};
using A = StaffAttr;
using P = StaffPlain;
const GridColumn kColumns[20] = {
    {P::Id, "编号", 40},
    {P::Number, "姓名编号", 64},
    {P::Name, "姓名", 60},
    {A::Sex, "性别", 34},
    {P::Works, "工作年限", 40},
    {P::Work, "现岗位年限", 44},
    {A::Nation, "是否少数民族", 44},
    {A::Party, "是否中国党员", 44},
    {P::Birth, "出生年月", 62},
    {A::Edu, "学  历", 72},
    {P::Gw, "现任职务（岗位）", 78},
    {A::Post, "岗位名称", 112},
    {A::Grade, "具有国家评定专业技术职称", 92},
    {A::JGrade, "具有国家评定的专业技能等级", 92},
    {A::Role, "用工身份", 84},
    {A::FullTime, "全日制用工", 44},
    {A::Engineer, "工程技术人员", 50},
    {A::Builder, "一级建造师", 50},
    {A::Site, "现场施工人员", 80},
    {A::Production, "是否直接从事生产经营活动", 70},
};

QLabel* Star(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setStyleSheet(QStringLiteral("color: red;"));
    return l;
}

QComboBox* Combo(QWidget* parent, int width = 130) {
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(width);
    return c;
}

}  // namespace

TFrm_perput::TFrm_perput(AppContext& ctx, QWidget* parent, Month month, PerputOpener opener)
    : QDialog(parent), ctx_(ctx), month_(month), opener_(opener) {
    setWindowTitle(QStringLiteral("从业人员个人输入"));
    BuildUi();
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &TFrm_perput::OnFocusChanged);
}

TFrm_perput::~TFrm_perput() {
    // The children clear their focus as the widget base tears them down, after this class is
    // gone: the application must not call back into it then.
    disconnect(focusWatch_);
    DBG1->SetDataSource(nullptr);
}

void TFrm_perput::BuildUi() {
    resize(900, 680);
    PlaceWhenShown(this);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 0);
    root->setSpacing(4);

    PageControl1 = new QTabWidget(this);
    root->addWidget(PageControl1);

    // ---- 个人输入
    auto* page1 = new QWidget;
    auto* g = new QGridLayout(page1);
    g->setContentsMargins(8, 6, 8, 4);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(5);
    auto place = [&](int row, int pair, const QString& caption, QWidget* control, bool required) {
        auto* l = new QLabel(caption, page1);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(l, row, pair * 3);
        g->addWidget(control, row, pair * 3 + 1);
        if (required) g->addWidget(Star(page1), row, pair * 3 + 2);
    };
    Edit1 = new QLineEdit(page1);
    Edit2 = new QLineEdit(page1);
    D1 = Combo(page1);
    CByear = Combo(page1, 70);
    CBm = Combo(page1, 50);
    auto* birth = new QWidget(page1);
    auto* bl = new QHBoxLayout(birth);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->setSpacing(2);
    bl->addWidget(CByear, 3);
    bl->addWidget(new QLabel(QStringLiteral("年"), birth));
    bl->addWidget(CBm, 2);
    bl->addWidget(new QLabel(QStringLiteral("月"), birth));
    D2 = Combo(page1);
    D3 = Combo(page1);
    D4 = Combo(page1);
    D5 = Combo(page1);
    Mz = Combo(page1);
    Dy = Combo(page1);
    NX1 = new QLineEdit(page1);
    NX2 = new QLineEdit(page1);
    // Up to five digits: a years field can hold nothing else.
    for (QLineEdit* e : {NX1, NX2})
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), e));
    sf = Combo(page1);
    qrz = Combo(page1);
    Edit4 = new QLineEdit(page1);
    Edit4->hide();
    Label9 = new QLabel(page1);
    Label9->hide();

    place(0, 0, QStringLiteral("姓名"), Edit1, true);
    place(0, 1, QStringLiteral("姓名编号(数字编号)"), Edit2, true);
    place(0, 2, QStringLiteral("性别"), D1, true);
    place(1, 0, QStringLiteral("出生年月"), birth, true);
    place(1, 1, QStringLiteral("学历"), D2, true);
    place(1, 2, QStringLiteral("岗位名称"), D3, true);
    place(2, 0, QStringLiteral("国家评定的专业技术资格"), D4, false);
    place(2, 1, QStringLiteral("国家评定的技能等级"), D5, false);
    place(2, 2, QStringLiteral("是否少数民族"), Mz, true);
    place(3, 0, QStringLiteral("是否党员"), Dy, true);
    place(3, 1, QStringLiteral("参加工作年限"), NX1, true);
    place(3, 2, QStringLiteral("本岗位工作年限"), NX2, true);
    place(4, 0, QStringLiteral("用工身份"), sf, true);
    place(4, 1, QStringLiteral("全日制用工"), qrz, true);
    place(4, 2, QStringLiteral("现任职务（岗位）"), Edit4, false);
    // The hidden duty field keeps its place in the grid but shows nothing.
    g->itemAtPosition(4, 6)->widget()->hide();

    GB = new QGroupBox(page1);
    auto* gbl = new QGridLayout(GB);
    gbl->setContentsMargins(8, 4, 8, 4);
    gbl->setHorizontalSpacing(4);
    gbl->setVerticalSpacing(4);
    gc = Combo(GB);
    jzs = Combo(GB);
    sg = Combo(GB, 150);
    yg = Combo(GB);
    auto gbPlace = [&](int row, int pair, const QString& caption, QComboBox* c) {
        auto* w = new QWidget(GB);
        auto* h = new QHBoxLayout(w);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(4);
        auto* l = new QLabel(caption, w);
        l->setMinimumWidth(170);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        h->addWidget(l);
        c->setParent(w);
        h->addWidget(c, 1);
        h->addWidget(Star(w));
        gbl->addWidget(w, row, pair);
    };
    gbPlace(0, 0, QStringLiteral("工程技术人员"), gc);
    gbPlace(0, 1, QStringLiteral("一级建造师"), jzs);
    gbPlace(1, 0, QStringLiteral("现场施工人员"), sg);
    gbPlace(1, 1, QStringLiteral("是否直接从事生产经营活动"), yg);
    g->addWidget(GB, 5, 0, 1, 9);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("注：标*为必填项"), page1));
    buttons->addStretch(1);
    B1 = new QPushButton(QStringLiteral("增加"), page1);
    B3 = new QPushButton(QStringLiteral("修改"), page1);
    BitBtn3 = new QPushButton(QStringLiteral("取消"), page1);
    BitBtn1 = new QPushButton(QStringLiteral("查看全部信息"), page1);
    BitBtn4 = new QPushButton(QStringLiteral("关闭"), page1);
    for (QPushButton* b : {B1, B3, BitBtn3, BitBtn1, BitBtn4}) buttons->addWidget(b);
    g->addLayout(buttons, 6, 0, 1, 9);
    g->setRowStretch(7, 1);
    for (int c : {1, 4, 7}) g->setColumnStretch(c, 1);
    PageControl1->addTab(page1, QStringLiteral("个人输入"));

    // ---- 个人查询
    auto* page2 = new QWidget;
    auto* h2 = new QHBoxLayout(page2);
    h2->setContentsMargins(8, 6, 8, 6);
    h2->addWidget(new QLabel(QStringLiteral("姓名或编号"), page2));
    Edit3 = new QLineEdit(page2);
    Edit3->setMinimumWidth(140);
    h2->addWidget(Edit3);
    BitBtn5 = new QPushButton(QStringLiteral("查找"), page2);
    BitBtn6 = new QPushButton(QStringLiteral("查看是否同名"), page2);
    BitBtn7 = new QPushButton(QStringLiteral("查看是否同编号"), page2);
    BitBtn8 = new QPushButton(QStringLiteral("查看错误信息"), page2);
    BitBtn9 = new QPushButton(QStringLiteral("查看全部信息"), page2);
    BitBtn2 = new QPushButton(QStringLiteral("关闭"), page2);
    for (QPushButton* b : {BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn2}) h2->addWidget(b);
    h2->addStretch(1);
    PageControl1->addTab(page2, QStringLiteral("个人查询"));

    // ---- the browsing grid: read-only, whole rows selected, three title lines
    DBG1 = new TDBGridX(this);
    DBG1->SetOptions(TDBGridOptions::FromValue(3325).Without(dgEditing).With(dgRowSelect));
    DBG1->SetReadOnly(true);
    DBG1->AllowedOperations = {};
    DBG1->EditActions = {};
    DBG1->SetTitleLines(3);
    DBG1->Columns().BeginUpdate();
    for (const GridColumn& c : kColumns) {
        TColumnX* col = DBG1->Columns().Add();
        col->SetFieldName(QString::fromLatin1(c.field.Name()));
        col->Title()->SetCaption(QString::fromUtf8(c.title));
        col->Title()->SetAlignment(taCenter);
        col->SetWidth(c.width);
    }
    DBG1->Columns()[0]->SetVisible(false);
    DBG1->Columns()[10]->SetVisible(false);
    DBG1->Columns().EndUpdate();
    DBG1->SetDataSource(&src_);
    root->addWidget(DBG1, 1);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("修改"));
    N2 = PopupMenu1->addAction(QStringLiteral("删除"));
    PopupMenu1->addSeparator();
    N4 = PopupMenu1->addAction(QStringLiteral("清空"));
    DBG1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBG1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->exec(DBG1->mapToGlobal(p)); });

    auto* sb = new QStatusBar(this);
    sb->setSizeGripEnabled(false);
    panel0_ = new QLabel(sb);
    panel0_->setMinimumWidth(120);
    panel1_ = new QLabel(sb);
    sb->addWidget(panel0_);
    sb->addWidget(panel1_, 1);
    root->addWidget(sb);

    fields_ = {{F::Name, Edit1},  {F::Number, Edit2}, {F::Sex, D1},   {F::Year, CByear},   {F::Month, CBm},
               {F::Edu, D2},      {F::Post, D3},      {F::Grade, D4}, {F::JGrade, D5},     {F::Nation, Mz},
               {F::Party, Dy},    {F::Works, NX1},    {F::Work, NX2}, {F::Role, sf},       {F::FullTime, qrz},
               {F::Engineer, gc}, {F::Builder, jzs},  {F::Site, sg},  {F::Production, yg}, {F::Gw, Edit4}};

    // Enter moves on as Tab does, in the fields, the search text and the main buttons.
    QList<QWidget*> enterAsTab = {Edit3, B1, B3, BitBtn3, BitBtn4};
    for (auto& [f, w] : fields_) {
        enterAsTab << w;
        if (auto* c = qobject_cast<QComboBox*>(w)) enterAsTab << c->lineEdit();
    }
    for (QWidget* w : enterAsTab) w->installEventFilter(this);
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);

    connect(B1, &QPushButton::clicked, this, [this] { Run([this] { B1Click(); }); });
    connect(B3, &QPushButton::clicked, this, [this] { Run([this] { B3Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Run([this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { Run([this] { BitBtn4Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Run([this] { BitBtn4Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Run([this] { BitBtn9Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { Run([this] { BitBtn5Click(); }); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { Run([this] { BitBtn6Click(); }); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { Run([this] { BitBtn7Click(); }); });
    connect(BitBtn8, &QPushButton::clicked, this, [this] { Run([this] { BitBtn8Click(); }); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { Run([this] { BitBtn9Click(); }); });
    connect(N1, &QAction::triggered, this, [this] { Run([this] { N1Click(); }); });
    connect(N2, &QAction::triggered, this, [this] { Run([this] { N2Click(); }); });
    connect(N4, &QAction::triggered, this, [this] { Run([this] { N4Click(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int i) { Run([this, i] { i == 0 ? TabSheet1Show() : TabSheet2Show(); }); });
    PageControl1->setFixedHeight(313);
}

void TFrm_perput::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

void TFrm_perput::ShowModal() { exec(); }

void TFrm_perput::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();  // the dialog frees itself as it closes
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_perput::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        Run([this] { FormShow(); });
    }
}

// ---------------------------------------------------------------- show and grid

void TFrm_perput::FormShow() {
    shown_ = true;
    LoadCodeTables(ctx_.db, ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("1") : QStringLiteral("0"));
    logic_ = std::make_unique<PerputLogic>(ctx_.db, ProgramCodeLists(), ctx_.state.DepClass, month_, ctx_.main);

    for (int i = 16; i <= 19; ++i) DBG1->Columns()[i]->SetVisible(logic_->GridColumnShown(i));

    CByear->clear();
    CByear->addItems(PerputLogic::YearItems());
    CByear->setCurrentIndex(-1);
    CByear->setEditText(QString());
    CBm->clear();
    CBm->addItems(PerputLogic::MonthItems());
    CBm->setCurrentIndex(0);
    B3->hide();
    B1->show();
    for (F f : {F::Sex, F::Edu, F::Post, F::Grade, F::JGrade, F::Role, F::Site, F::FullTime, F::Engineer, F::Builder,
                F::Production, F::Nation, F::Party}) {
        auto* c = static_cast<QComboBox*>(fields_.at(f));
        c->clear();
        c->addItems(logic_->Items(f));
        SelectFirst(c);
    }

    // A coded column shows its longest name whole.
    for (auto [field, col] :
         {std::pair{F::Edu, 9}, {F::Post, 11}, {F::Grade, 12}, {F::JGrade, 13}, {F::Role, 14}, {F::Site, 18}}) {
        TColumnX* c = DBG1->Columns()[col];
        const QFontMetrics fm(c->Font());
        int need = 0;
        for (const QString& t : logic_->Items(field)) need = std::max(need, fm.horizontalAdvance(t) + 12);
        if (need > c->Width()) c->SetWidth(need);
    }

    // The unit-class fields: all four for a construction unit, only yg above the size
    // threshold, none otherwise.
    GB->setVisible(logic_->FieldShown(F::Production));
    for (QComboBox* c : {gc, jzs, sg}) c->parentWidget()->setVisible(logic_->FieldShown(F::Engineer));

    RefreshGrid();
    Edit1->setFocus();
}

void TFrm_perput::ShowList(const ListQuery& q) {
    // The form owns one data set at a time; a refresh replaces it.
    auto fresh = std::make_unique<TQueryDataSet>(ctx_.db);
    fresh->Open(q.sql, q.params);
    src_.SetDataSet(fresh.get());
    ds_ = std::move(fresh);
    const bool rows = !ds_->IsEmpty();
    N1->setEnabled(rows);
    N2->setEnabled(rows);
    panel0_->setText(PerputLogic::CountText(ds_->RecordCount()));
}

void TFrm_perput::RefreshGrid() {
    if (!logic_) return;
    ShowList(logic_->AllRows());
}

long long TFrm_perput::SelectedId() const {
    if (!ds_ || !ds_->Active() || ds_->IsEmpty()) return -1;
    return ds_->FieldByName(QStringLiteral("id"))->AsInteger();
}

QString TFrm_perput::Panel(int i) const { return i == 0 ? panel0_->text() : panel1_->text(); }

// ---------------------------------------------------------------- fields

PersonInput TFrm_perput::Input() const {
    PersonInput in;
    for (const auto& [f, w] : fields_) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            in[f] = e->text();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            in[f] = c->currentText();
    }
    return in;
}

void TFrm_perput::SetInput(const PersonInput& in) {
    for (const auto& [f, w] : fields_) {
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(in[f]);
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            const int i = c->findText(in[f], Qt::MatchExactly);
            c->setCurrentIndex(i);
            c->setEditText(in[f]);
        }
    }
}

void TFrm_perput::SelectFirst(QComboBox* c) {
    c->setCurrentIndex(c->count() > 0 ? 0 : -1);
    if (c->count() == 0) c->setEditText(QString());
}

void TFrm_perput::Paint(F f, bool red) {
    QWidget* w = fields_.at(f);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, red ? kRed : palette().color(QPalette::Base));
    w->setPalette(p);
    w->setProperty(kRedProperty, red);
}

bool TFrm_perput::IsRed(F f) const { return fields_.at(f)->property(kRedProperty).toBool(); }

void TFrm_perput::PaintCheck(const FieldCheck& c) {
    for (F f : c.failed) Paint(f, true);
    for (F f : c.passed) Paint(f, false);
}

void TFrm_perput::FieldExit(F f) {
    if (!logic_) return;
    const FieldCheck c = logic_->CheckField(f, Input());
    PaintCheck(c);
    if (c.message.isEmpty()) return;
    // A years field that holds no number takes the focus back.
    if ((f == F::Works || f == F::Work) && !c.ok()) fields_.at(f)->setFocus();
    ctx_.ui.MessageDlg(c.message, c.kind, c.buttons);
}

PerputField TFrm_perput::FieldOf(QWidget* w, bool* found) const {
    for (const auto& [f, fw] : fields_) {
        if (w == fw || fw->isAncestorOf(w)) {
            *found = true;
            return f;
        }
    }
    *found = false;
    return F::Name;
}

void TFrm_perput::OnFocusChanged(QWidget* old, QWidget* now) {
    // A field is left when the focus moves to another control of this form; a message box
    // or another window taking the focus is not leaving it.
    if (!old || !now || !isAncestorOf(old) || !isAncestorOf(now)) return;
    bool oldIsField = false, nowIsField = false;
    const F left = FieldOf(old, &oldIsField);
    const F entered = FieldOf(now, &nowIsField);
    if (!oldIsField || (nowIsField && entered == left)) return;
    Run([this, left] { FieldExit(left); });
}

bool TFrm_perput::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

// ---------------------------------------------------------------- add, modify, cancel

void TFrm_perput::ResetAfterSave(int yearIndex) {
    for (QLineEdit* e : {Edit1, Edit2, Edit4, NX1, NX2}) e->clear();
    for (QComboBox* c : {Mz, Dy, D5, CBm, D1, D2, D3, D4}) SelectFirst(c);
    CByear->setCurrentIndex(yearIndex);
    // Every field passed its check to be saved.
    for (const auto& [f, w] : fields_) Paint(f, false);
}

void TFrm_perput::B1Click() {
    if (!logic_) return;
    const SaveResult r = logic_->Add(Input());
    if (r.kind == SaveResult::Invalid) {
        for (F f : r.invalid) Paint(f, true);
    }
    if (!r.saved()) {
        // A failed add keeps what the person typed.
        ctx_.ui.MessageDlg(r.message, r.dlgKind, r.buttons);
        return;
    }
    ResetAfterSave(perput::kYearIndexAfterAdd);
    RefreshGrid();
}

void TFrm_perput::B3Click() {
    if (!logic_ || modifyId_ < 0) return;
    const SaveResult r = logic_->Modify(Input(), modifyId_);
    if (r.kind == SaveResult::Invalid) {
        for (F f : r.invalid) Paint(f, true);
    }
    if (!r.saved()) {
        ctx_.ui.MessageDlg(r.message, r.dlgKind, r.buttons);
        return;
    }
    ResetAfterSave(perput::kYearIndexAfterModify);
    SelectFirst(qrz);
    B1->show();
    B3->hide();
    modifyId_ = -1;
    Label9->clear();
    RefreshGrid();
    ctx_.ui.Info(perput::kModified);
}

void TFrm_perput::BitBtn3Click() {
    for (QLineEdit* e : {Edit1, Edit2, Edit4, NX1, NX2}) e->clear();
    CByear->setCurrentIndex(-1);
    CByear->setEditText(QString());
    for (QComboBox* c : {D1, D2, D3, D4, D5, Mz, Dy, sf, qrz}) SelectFirst(c);
    Paint(F::Works, false);
    Paint(F::Work, false);
}

bool TFrm_perput::InModifyMode() const { return !B3->isHidden() && B1->isHidden(); }

// ---------------------------------------------------------------- pop-up menu

void TFrm_perput::N1Click() {
    if (!logic_) return;
    const long long id = SelectedId();
    if (id < 0) return;
    B3->show();
    B1->hide();
    if (std::optional<PersonInput> in = logic_->Load(id)) {
        SetInput(*in);
        modifyId_ = id;
        Label9->setText(QString::number(id));
        // The name and number too: a mark left by a refused add is not the loaded person's.
        for (F f : {F::Name, F::Number, F::Sex, F::Edu, F::Post, F::Grade, F::JGrade})
            PaintCheck(logic_->CheckField(f, *in));
        // The year check as on leaving the field: a stored age out of range is said at once.
        FieldExit(F::Year);
    }
    PageControl1->setCurrentIndex(0);
}

void TFrm_perput::N2Click() {
    if (!logic_) return;
    const long long id = SelectedId();
    if (id < 0) return;
    TField* f = DBG1->GetSelectedField();
    const QString shown = f ? f->DisplayText() : ds_->FieldByName(QStringLiteral("sName"))->AsString();
    logic_->Delete(id);
    RefreshGrid();
    panel1_->setText(QStringLiteral(" ") + shown + QStringLiteral(" 删除成功！"));
}

void TFrm_perput::N4Click() {
    if (!logic_) return;
    if (!ctx_.ui.AskYesNoDefaultNo(perput::kConfirmClear)) return;
    logic_->Clear();
    RefreshGrid();
    panel1_->setText(QStringLiteral("成功删除！"));
}

// ---------------------------------------------------------------- searches and tabs

void TFrm_perput::BitBtn5Click() {
    if (logic_) ShowList(logic_->Search(Edit3->text()));
}

void TFrm_perput::BitBtn6Click() {
    if (!logic_) return;
    ShowList(logic_->SameName());
    panel1_->setText(QStringLiteral("查看同名"));
}

void TFrm_perput::BitBtn7Click() {
    if (!logic_) return;
    ShowList(logic_->SameNumber());
    panel1_->setText(QStringLiteral("查看同编号"));
}

void TFrm_perput::BitBtn8Click() {
    if (!logic_) return;
    ShowList(logic_->ErrorRows());
    panel1_->setText(QStringLiteral("查看错误信息"));
}

void TFrm_perput::BitBtn9Click() {
    RefreshGrid();
    panel1_->setText(QStringLiteral("查看全部"));
}

void TFrm_perput::TabSheet1Show() {
    PageControl1->setFixedHeight(313);
    RefreshGrid();
    panel1_->setText(QStringLiteral("查看全部"));
}

void TFrm_perput::TabSheet2Show() { PageControl1->setFixedHeight(80); }

// ---------------------------------------------------------------- close

void TFrm_perput::BitBtn4Click() { reject(); }

void TFrm_perput::done(int r) {
    // Every way of closing refreshes the opener, so a sheet never shows rows this form has
    // changed under it (and cannot save them back over the change).
    if (!closing_) {
        closing_ = true;
        const PerputLogic::CloseTargets t = PerputLogic::CloseRefreshes(month_, opener_);
        if ((t.monthList || t.batchSheet) && RefreshOpener) Guarded(ctx_.ui, RefreshOpener);
    }
    QDialog::done(r);
}

}  // namespace qm
