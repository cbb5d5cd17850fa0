#include "shell/ChangeDepForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

using namespace grid;

TFrm_changeDep::TFrm_changeDep(AppContext&, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("修改操作单位"));
    resize(520, 320);
    auto* root = new QVBoxLayout(this);

    DBGridX1 = new TDBGridX(this);
    DBGridX1->SetTitleLines(2);
    DBGridX1->EditActions = {};
    struct Title {
        const char* caption;
        int width;  // 0: the grid's default
    };
    const Title titles[] = {{"企业法人代码", 101}, {"企业名称", 144}, {"单位属性", 101}, {"是否资质建筑业单位", 0}};
    DBGridX1->Columns().BeginUpdate();
    for (const Title& t : titles) {
        TColumnX* c = DBGridX1->Columns().Add();
        c->Title()->SetCaption(QString::fromUtf8(t.caption));
        c->Title()->SetAlignment(taCenter);
        if (t.width) c->SetWidth(t.width);
    }
    DBGridX1->Columns().EndUpdate();
    root->addWidget(DBGridX1, 1);

    auto* box = new QGroupBox(QStringLiteral("基本信息"), this);
    auto* bl = new QHBoxLayout(box);
    bl->addStretch(1);
    BitBtn1 = new QPushButton(QStringLiteral("确定"), box);  // has no action
    BitBtn2 = new QPushButton(QStringLiteral("关闭"), box);
    bl->addWidget(BitBtn1);
    bl->addWidget(BitBtn2);
    root->addWidget(box);
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void TFrm_changeDep::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();  // freed as it closes
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

}  // namespace qm
