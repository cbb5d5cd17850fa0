#include "shell/MainForm.h"

#include "core/app/FormFactory.h"
#include "core/app/Placeholders.h"
#include "core/base/UiService.h"
#include "core/db/DataModule.h"
#include "core/db/Errors.h"
#include "platform/BarProgress.h"
#include "platform/Jpeg.h"
#include "shell/Background.h"
#include "shell/UnitForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qm {

// The client area: the picture stretched over it, the progress bar along its bottom.
class TFrm_main::Background : public QWidget {
public:
    explicit Background(QWidget* parent) : QWidget(parent), picture_(DecodeJpeg(BackgroundJpeg())) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (picture_.isNull())
            p.fillRect(rect(), QColor(214, 226, 236));
        else
            p.drawImage(rect(), picture_);
    }

private:
    QImage picture_;
};

namespace {

// Tool-bar glyph: a rounded tile with one character.
QIcon Glyph(const QString& ch, const QColor& colour) {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    QFont f;
    f.setPixelSize(34);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 2, 56, 56), Qt::AlignCenter, ch);
    return QIcon(pm);
}

}  // namespace

TFrm_main::TFrm_main(TDataModule1& dm, UiService& ui, AppPaths paths) : dm_(dm), ui_(ui) {
    setWindowTitle(kAppTitle);
    pb_ = std::make_unique<BarProgress>();
    ctx_ =
        std::make_unique<AppContext>(AppContext{dm_.ADOConn, ui_, std::move(paths), state, *pb_, this, nullptr, this});
    forms_ = std::make_unique<FormFactory>(*ctx_);
    ctx_->forms = forms_.get();
    cmd_ = std::make_unique<MainCommands>(*ctx_);
    cmd_->changed = [this] { ApplyState(); };
    cmd_->statusMessage = [this](const QString& t) { statusBar()->showMessage(t, 8000); };
    cmd_->closeWindow = [this] { close(); };
    cmd_->afterShown = [this](std::function<void()> step) {
        QTimer::singleShot(0, this, [this, step] { Guarded(ui_, step); });
    };
    // Forms of other subsystems replace these when they register.
    RegisterUnitForm(*forms_, *cmd_);
    RegisterPlaceholders(*forms_);

    auto* bg = new Background(this);
    auto* lay = new QVBoxLayout(bg);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addStretch();
    bar_ = new QProgressBar(bg);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setFixedHeight(14);
    lay->addWidget(bar_);
    pb_->SetBar(bar_);
    setCentralWidget(bg);

    panel0_ = new QLabel(this);
    panel0_->setMinimumWidth(400);
    panel1_ = new QLabel(this);
    panel1_->setMinimumWidth(50);
    statusBar()->addWidget(panel0_);
    statusBar()->addWidget(panel1_, 1);

    BuildMenus();
    BuildToolBar();
    ApplyState();
    resize(1024, 700);
}

TFrm_main::~TFrm_main() = default;

QAction* TFrm_main::Item(QMenu* menu, const QString& name, const QString& caption, std::function<void()> fn) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, fn = std::move(fn)] { Guarded(ui_, fn); });
    if (menu) menu->addAction(a);
    actions_[name] = a;
    return a;
}

QAction* TFrm_main::Item(QMenu* menu, const QString& name, const QString& caption, void (MainCommands::*fn)()) {
    return Item(menu, name, caption, [this, fn] { (cmd_.get()->*fn)(); });
}

void TFrm_main::BuildMenus() {
    using M = MainCommands;
    QMenuBar* bar = menuBar();

    QMenu* staff = bar->addMenu(QStringLiteral("从业人员管理"));
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this);
    connect(shortcut, &QShortcut::activated, this, [this, staff] { menuBar()->setActiveAction(staff->menuAction()); });
    Item(staff, QStringLiteral("N56"), QStringLiteral("人员基本情况"), &M::N56Click)->setVisible(false);
    Item(staff, QStringLiteral("N11"), QStringLiteral("单位基本信息"), &M::N11Click);
    Item(staff, QStringLiteral("N50"), QStringLiteral("切换单位"), &M::N50Click)->setVisible(false);
    staff->addSeparator();
    QMenu* initial = staff->addMenu(QStringLiteral("期初人员情况"));
    Item(initial, QStringLiteral("N10"), QStringLiteral("从业人员批量输入"), &M::N10Click);
    Item(initial, QStringLiteral("N13"), QStringLiteral("从业人员个人输入"), &M::N13Click);
    QMenu* initial111 = staff->addMenu(QStringLiteral("年初人员情况111"));
    initial111->menuAction()->setVisible(false);
    Item(initial111, QStringLiteral("N39"), QStringLiteral("从业人员批量输入"), &M::N10Click);
    Item(initial111, QStringLiteral("N40"), QStringLiteral("从业人员个人录入"), &M::N13Click);
    staff->addSeparator();
    Item(staff, QStringLiteral("N16"), QStringLiteral("退出"), &M::N16Click);

    QMenu* wages = bar->addMenu(QStringLiteral("工资录入"));
    actions_[QStringLiteral("N8")] = wages->menuAction();
    Item(wages, QStringLiteral("N9"), QStringLiteral("期末从业人员总数设置"), &M::N9Click)->setVisible(false);
    for (int k = 1; k <= 12; ++k)
        Item(wages, QStringLiteral("N90") + QString::number(k), QString::number(k) + QStringLiteral("月工资过录表"),
             [this, k] { cmd_->MonthClick(k); });

    QMenu* sums = bar->addMenu(QStringLiteral("数据汇总"));
    actions_[QStringLiteral("N2")] = sums->menuAction();
    Item(sums, QStringLiteral("N42"), QStringLiteral("年末人才资源情况汇总"), &M::N42Click);
    Item(sums, QStringLiteral("N71"), QStringLiteral("人才资源汇总"), &M::N71Click)->setVisible(false);
    Item(sums, QStringLiteral("N72"), QStringLiteral("按人员分类工资情况汇总"), &M::N72Click);
    Item(sums, QStringLiteral("N73"), QStringLiteral("按人员分类工资情况汇总"), &M::N73Click);
    QMenu* labourQ = sums->addMenu(QStringLiteral("劳动情况基层季报表"));
    labourQ->menuAction()->setVisible(false);
    Item(labourQ, QStringLiteral("N60"), QStringLiteral("期间报表"), &M::N60Click)->setVisible(false);
    static const char16_t* qNames[] = {u"一", u"二", u"三"};
    for (int q = 1; q <= 3; ++q)
        Item(labourQ, QStringLiteral("N6") + QString::number(q),
             QString::fromUtf16(qNames[q - 1]) + QStringLiteral("季度报表"), [this, q] { cmd_->QuarterLabourClick(q); })
            ->setEnabled(false);
    QAction* n59 = Item(sums, QStringLiteral("N59"), QStringLiteral("劳动情况基层年报表"), &M::N59Click);
    n59->setVisible(false);
    n59->setEnabled(false);
    sums->addSeparator();
    QMenu* quarterly = sums->addMenu(QStringLiteral("从业人员及工资总额季报"));
    for (int q = 1; q <= 3; ++q)
        Item(quarterly, QStringLiteral("N6") + QString::number(6 + q),
             QString::fromUtf16(qNames[q - 1]) + QStringLiteral("季度"), [this, q] { cmd_->QuarterWageClick(q); });
    Item(sums, QStringLiteral("N66"), QStringLiteral("从业人员及工资总额年报"), &M::N66Click);
    sums->addSeparator();
    Item(sums, QStringLiteral("N14"), QStringLiteral("工资发放清单"), &M::N14Click);
    Item(sums, QStringLiteral("N46"), QStringLiteral("人员名册"), &M::N46Click)->setVisible(false);

    QMenu* sys = bar->addMenu(QStringLiteral("系统管理"));
    Item(sys, QStringLiteral("N70"), QStringLiteral("关于本系统"), &M::N70Click);
    Item(sys, QStringLiteral("N5"), QStringLiteral("填写说明"), &M::N5Click);
    Item(sys, QStringLiteral("N6"), QStringLiteral("系统使用说明"), &M::N6Click);
    sys->addSeparator();
    Item(sys, QStringLiteral("N32"), QStringLiteral("数据库检查"), &M::N32Click)->setVisible(false);
    Item(sys, QStringLiteral("N21"), QStringLiteral("清空月度工资 "), &M::N21Click)->setVisible(false);
    Item(sys, QStringLiteral("N31"), QStringLiteral("清空从业人员"), &M::N31Click)->setVisible(false);
    Item(sys, QStringLiteral("N33"), QStringLiteral("清空月度从业人员"), &M::N33Click)->setVisible(false);
    Item(sys, QStringLiteral("N34"), QStringLiteral("清空期初从业人员"), [this] { cmd_->N34Click(); });
    sys->addSeparator();
    Item(sys, QStringLiteral("N43"), QStringLiteral("初始化系统"), &M::N43Click);
    Item(sys, QStringLiteral("N37"), QStringLiteral("数据备份"), &M::N37Click);
    Item(sys, QStringLiteral("N41"), QStringLiteral("数据还原"), &M::N41Click);
    sys->addSeparator();
    Item(sys, QStringLiteral("N75"), QStringLiteral("导入历史数据[仅Korvath省]"), &M::N75Click);

    QMenu* help = bar->addMenu(QStringLiteral("帮助"));
    help->menuAction()->setVisible(false);
    Item(help, QStringLiteral("N53"), QStringLiteral("帮助"), [] {});
    Item(help, QStringLiteral("N54"), QStringLiteral("关于本系统"), &M::N70Click);

    // A top-level item that acts at once.
    Item(nullptr, QStringLiteral("N4"), QStringLiteral("退出"), &M::N4Click);
    bar->addAction(actions_[QStringLiteral("N4")]);
}

void TFrm_main::BuildToolBar() {
    using M = MainCommands;
    QToolBar* tb = addToolBar(QStringLiteral("工具栏"));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tb->setIconSize(QSize(32, 32));
    tb->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    struct Button {
        const char* name;
        const char16_t* caption;
        const char16_t* glyph;
        QColor colour;
        void (MainCommands::*fn)();
        bool visible;
    };
    const Button buttons[] = {
        {"ToolN10", u"批量输入", u"批", QColor(64, 120, 180), &M::N10Click, false},
        {"ToolN13", u"个人输入", u"个", QColor(64, 120, 180), &M::N13Click, false},
        {"SpeedButton8", u"工资录入", u"录", QColor(46, 125, 96), &M::SpeedButton8Click, true},
        {"SpeedButton6", u"人才资源", u"才", QColor(120, 90, 160), &M::N42Click, false},
        {"SpeedButton5", u"工资情况", u"汇", QColor(40, 110, 170), &M::SpeedButton5Click, true},
        {"SpeedButton3", u"季  报", u"季", QColor(196, 120, 40), &M::SpeedButton3Click, true},
        {"SpeedButton7", u"年  报", u"年", QColor(176, 70, 60), &M::N66Click, true},
        {"SpeedButton4", u"退  出", u"退", QColor(110, 110, 110), &M::N16Click, true},
    };
    for (const Button& b : buttons) {
        QAction* a = Item(nullptr, QString::fromLatin1(b.name), QString::fromUtf16(b.caption), b.fn);
        a->setIcon(Glyph(QString::fromUtf16(b.glyph), b.colour));
        tb->addAction(a);
        a->setVisible(b.visible);
        if (auto* w = qobject_cast<QToolButton*>(tb->widgetForAction(a))) {
            w->setAutoRaise(true);
            w->setMinimumSize(62, 57);
        }
    }
}

void TFrm_main::ApplyState() {
    setWindowTitle(cmd_->caption);
    panel0_->setText(cmd_->panel[0]);
    panel1_->setText(cmd_->panel[1]);
    const MenuFlags& m = cmd_->menus;
    for (int k = 1; k <= 12; ++k) actions_[QStringLiteral("N90") + QString::number(k)]->setEnabled(m.month[size_t(k)]);
    actions_[QStringLiteral("N8")]->setEnabled(m.N8);
    actions_[QStringLiteral("N2")]->setEnabled(m.N2);
    actions_[QStringLiteral("N72")]->setVisible(m.N72);
    actions_[QStringLiteral("N73")]->setVisible(m.N73);
}

QAction* TFrm_main::Action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QString TFrm_main::PanelText(int i) const { return i == 0 ? panel0_->text() : panel1_->text(); }

void TFrm_main::ShowStatus(const QString& text) { cmd_->ShowStatus(text); }

void TFrm_main::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_) return;  // restoring from minimised shows the window again
    shown_ = true;
    Guarded(ui_, [&] { FormShow(); });
}

void TFrm_main::closeEvent(QCloseEvent* e) {
    // The window's close box asks as 退出 does; after 退出 the question was answered.
    if (!cmd_->leaving && dm_.ADOConn.IsOpen() && !forms().MayLeave()) {
        e->ignore();
        return;
    }
    dm_.ADOConn.Close();
    QMainWindow::closeEvent(e);
}

void TFrm_main::FormShow() { cmd_->FormShow(); }

}  // namespace qm
