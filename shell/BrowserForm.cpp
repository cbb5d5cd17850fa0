#include "shell/BrowserForm.h"

#include "core/app/FormInterfaces.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/db/StaffTable.h"
#include "core/unit/BrowserLogic.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace qm {

using namespace grid;

namespace {

// The grid's columns: bound field (none for column 0), title, width, title centred.
struct BrowserColumn {
    std::optional<StaffColumn> field;
    const char* title;
    int width;  // 0: the grid's default
    bool centred;
};
using A = StaffAttr;
using P = StaffPlain;
const BrowserColumn kColumns[20] = {
    {std::nullopt, "编号", 0, true},
    {P::Number, "姓名编号", 54, true},
    {P::Name, "姓名", 49, true},
    {P::Birth, "出生年月", 61, true},
    {A::Sex, "性别", 26, true},
    {A::Nation, "是否少数民族", 32, false},
    {A::Party, "是否中国党员", 34, false},
    {P::Works, "参加工作年限", 35, true},
    {P::Work, "现岗位年限", 38, true},
    {A::Edu, "学  历", 59, true},
    {P::Gw, "    现任职务     （岗位）", 78, true},
    {A::Post, "岗位名称", 86, true},
    {A::Grade, "具有国家评定专业技术职称", 110, true},
    {A::JGrade, "具有国家评定的专业技能等级", 100, true},
    {A::Role, "用工身份", 60, true},
    {A::FullTime, "是否全日制用工", 40, true},
    {A::Engineer, "是否工程技术人员", 50, true},
    {A::Builder, "是否一级建筑师", 50, true},
    {A::Site, "是否现场施工人员", 50, true},
    {A::Production, "本职工作与建筑施工活动有关", 70, true},
};

const QString kNoUnit = QStringLiteral("请先填写单位基本信息！");

}  // namespace

TFrm_Brower::TFrm_Brower(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx) {
    setWindowTitle(QStringLiteral("人员基本信息"));
    BuildUi();
    // The last other window of the program that had the focus: only a turn from one of them
    // reloads. Coming back from another program (no window of ours in between) keeps the
    // person's month and search.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (!w || w == windowHandle()) return;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == w) lastOther_ = top;
    });
}

bool TFrm_Brower::ShouldReloadOnActivation(const QWidget* form, const QWidget* previous) {
    if (!previous || previous == form) return false;
    for (const QWidget* w = previous; w; w = w->parentWidget())
        if (w == form) return false;  // a box or dialog the browser opened
    return true;
}

TFrm_Brower::~TFrm_Brower() { DBG1->SetDataSource(nullptr); }

void TFrm_Brower::BuildUi() {
    resize(1000, 700);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(2);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Label1 = new QLabel(QStringLiteral("  查找    "), bar);
    Cb1 = new QComboBox(bar);
    Cb1->setEditable(true);
    Cb1->setInsertPolicy(QComboBox::NoInsert);
    Cb1->setMinimumWidth(160);
    bar->addWidget(Label1);
    bar->addWidget(Cb1);
    bar->addSeparator();
    auto button = [&](const QString& text) {
        auto* b = new QToolButton(bar);
        b->setText(text);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    ToolButton1 = button(QStringLiteral("切换单位"));
    ToolButton3 = button(QStringLiteral("从业人员批量录入"));
    ToolButton4 = button(QStringLiteral("从业人员个别录入"));
    // The unit switch is not offered from here.
    for (QAction* a : bar->actions())
        if (bar->widgetForAction(a) == ToolButton1) a->setVisible(false);
    root->addWidget(bar);

    GroupBox1 = new QGroupBox(QStringLiteral("当前单位信息"), this);
    auto* g1 = new QHBoxLayout(GroupBox1);
    g1->setContentsMargins(8, 2, 8, 4);
    Label2 = new QLabel(GroupBox1);
    Label3 = new QLabel(GroupBox1);
    Label4 = new QLabel(GroupBox1);
    Label5 = new QLabel(GroupBox1);
    const int widths[] = {350, 200, 250, 190};
    int i = 0;
    for (QLabel* l : {Label2, Label3, Label4, Label5}) {
        l->setStyleSheet(QStringLiteral("color: blue;"));
        l->setMinimumWidth(widths[i++]);  // at least the given width; a long unit name widens it
        g1->addWidget(l);
    }
    g1->addStretch(1);
    root->addWidget(GroupBox1);

    GroupBox2 = new QGroupBox(QStringLiteral("所看当前情况"), this);
    auto* g2 = new QHBoxLayout(GroupBox2);
    g2->setContentsMargins(8, 2, 8, 4);
    Label7 = new QLabel(QStringLiteral("月份："), GroupBox2);
    MonCb = new QComboBox(GroupBox2);
    MonCb->setMinimumWidth(100);
    SpeedButton1 = new QToolButton(GroupBox2);
    SpeedButton1->setText(QStringLiteral("导出当前名单"));
    SpeedButton1->hide();
    g2->addWidget(Label7);
    g2->addWidget(MonCb);
    g2->addWidget(SpeedButton1);
    g2->addStretch(1);
    root->addWidget(GroupBox2);

    // Read-only: whole rows selected, no editing, no key deletes a person from here.
    DBG1 = new TDBGridX(this);
    DBG1->SetOptions(TDBGridOptions::FromValue(3325).Without(dgEditing).With(dgRowSelect));
    DBG1->SetReadOnly(true);
    DBG1->AllowedOperations = {};
    DBG1->EditActions = {};
    DBG1->SetTitleLines(4);
    DBG1->SetVTitleMargin(23);
    DBG1->Columns().BeginUpdate();
    for (const BrowserColumn& c : kColumns) {
        TColumnX* col = DBG1->Columns().Add();
        if (c.field) col->SetFieldName(QString::fromLatin1(c.field->Name()));
        col->Title()->SetCaption(QString::fromUtf8(c.title));
        if (c.centred) col->Title()->SetAlignment(taCenter);
        if (c.width) col->SetWidth(c.width);
    }
    DBG1->Columns()[0]->SetVisible(false);
    DBG1->Columns()[10]->SetVisible(false);
    DBG1->Columns().EndUpdate();
    DBG1->SetDataSource(&src_);
    root->addWidget(DBG1, 1);

    auto* sb = new QStatusBar(this);
    sb->setSizeGripEnabled(false);
    sb_ = new QLabel(sb);
    sb->addWidget(sb_, 1);
    root->addWidget(sb);

    Cb1->installEventFilter(this);
    Cb1->lineEdit()->installEventFilter(this);
    connect(MonCb, &QComboBox::activated, this, [this] { Run([this] { MonCbChange(); }); });
    connect(ToolButton1, &QToolButton::clicked, this, [this] { Run([this] { ToolButton1Click(); }); });
    connect(ToolButton3, &QToolButton::clicked, this, [this] { Run([this] { ToolButton3Click(); }); });
    connect(ToolButton4, &QToolButton::clicked, this, [this] { Run([this] { ToolButton4Click(); }); });
}

void TFrm_Brower::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

void TFrm_Brower::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();  // the browser frees itself as it closes
    setAttribute(Qt::WA_DeleteOnClose);
    showMaximized();
}

void TFrm_Brower::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &TFrm_Brower::closed, &loop, &QEventLoop::quit);
    showMaximized();
    loop.exec();
}

void TFrm_Brower::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (e->isAccepted()) emit closed();
}

void TFrm_Brower::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (shown_) return;
    // The first activation is the showing itself.
    shown_ = true;
    lastOther_ = nullptr;
    Run([this] { FormActivate(); });
}

bool TFrm_Brower::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && shown_) {
        if (ShouldReloadOnActivation(this, lastOther_)) Run([this] { FormActivate(); });
        lastOther_ = nullptr;
    }
    return QWidget::event(e);
}

bool TFrm_Brower::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Run([this, key] { Cb1KeyDown(key); });
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

// ---------------------------------------------------------------- activation and months

void TFrm_Brower::FormActivate() {
    const MainState& s = ctx_.state;
    Label2->setText(QStringLiteral("单位名称：") + s.DepName);
    Label3->setText(QStringLiteral("单位法人代码：") + s.DepNo);
    // Before a unit is loaded the class labels stay blank, as the name and code do.
    const bool unit = !s.DepName.isEmpty() || !s.DepNo.isEmpty();
    Label4->setText(QStringLiteral("单位属性：") + (unit ? s.DepType : QString()));
    Label5->setText(QStringLiteral("资质建筑业单位：") + (unit ? s.DepInfo : QString()));
    CheckMonth();
    CheckMonthChage(MonCb->currentText());
    showGrid();
}

void TFrm_Brower::CheckMonth() {
    MonCb->clear();
    MonCb->addItems(browser::PresentMonthCaptions(ctx_.db));
    if (MonCb->count() > 0) MonCb->setCurrentIndex(0);
}

void TFrm_Brower::Show(std::unique_ptr<TQueryDataSet> ds) {
    // The form owns one data set at a time; a refresh replaces it.
    src_.SetDataSet(ds.get());
    ds_ = std::move(ds);
}

void TFrm_Brower::ShowNothing() {
    // No month to show (no staff list at all): an empty grid, and no statement is run.
    src_.SetDataSet(nullptr);
    ds_.reset();
    sb_->setText(browser::EmptyStatusText());
}

void TFrm_Brower::CheckMonthChage(const QString& monthCaption) {
    const std::optional<ListQuery> q = browser::MonthRows(monthCaption);
    if (!q) {
        // No month listed at all: nothing is left to show. A caption that names no month
        // leaves the rows on screen, as a month without rows does.
        if (monthCaption.trimmed().isEmpty()) ShowNothing();
        return;
    }
    auto ds = std::make_unique<TQueryDataSet>(ctx_.db);
    ds->Open(q->sql, q->params);
    // A month without rows leaves the rows on screen as they were.
    if (ds->IsEmpty()) return;
    const int n = ds->RecordCount();
    Show(std::move(ds));
    sb_->setText(browser::StatusText(monthCaption.trimmed(), n));
}

void TFrm_Brower::MonCbChange() { CheckMonthChage(MonCb->currentText()); }

void TFrm_Brower::Cb1KeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const std::optional<ListQuery> q = browser::NameSearch(MonCb->currentText(), Cb1->currentText());
    if (!q) {
        ShowNothing();
        return;
    }
    auto ds = std::make_unique<TQueryDataSet>(ctx_.db);
    ds->Open(q->sql, q->params);
    const int n = ds->RecordCount();
    Show(std::move(ds));  // also when nobody matches
    sb_->setText(browser::StatusText(MonCb->currentText(), n));
}

QString TFrm_Brower::StatusText() const { return sb_->text(); }

// ---------------------------------------------------------------- buttons

bool TFrm_Brower::UnitGate() {
    if (ctx_.main && ctx_.main->LoadUnitInfo()) return true;
    ctx_.ui.Info(kNoUnit);
    if (ctx_.forms) {
        if (std::unique_ptr<IForm> unitForm = ctx_.forms->Create(QStringLiteral("TFrm_dep"))) unitForm->ShowModal();
    }
    return false;
}

void TFrm_Brower::ToolButton1Click() {
    if (!ctx_.forms) return;
    if (std::unique_ptr<IForm> f = ctx_.forms->Create(QStringLiteral("TFrm_changeDep"))) f->ShowModal();
}

void TFrm_Brower::ToolButton3Click() {
    if (!UnitGate()) return;
    if (!ctx_.forms) return;
    if (std::unique_ptr<IForm> f = ctx_.forms->Create(QStringLiteral("TFrm_allput"), {Month::Start()})) f->ShowModal();
}

void TFrm_Brower::ToolButton4Click() {
    if (!UnitGate()) return;
    if (!ctx_.forms) return;
    if (std::unique_ptr<IPerput> f = ctx_.forms->CreateAs<IPerput>(
            QStringLiteral("TFrm_perput"), {.month = Month::Start(), .opener = PerputOpener::MainWindow}))
        f->ShowModal();
}

}  // namespace qm
