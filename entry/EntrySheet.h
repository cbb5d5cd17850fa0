#pragma once
// Pieces the entry forms build alike: a title, their sheet view, the staff sheets' pop-up and
// a button whose handler runs guarded.

#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "sheet/SheetView.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace qm {

// A bold 14-point title, centred, at the end of `root`.
inline QLabel* AddTitle(QWidget* form, QBoxLayout* root) {
    auto* label = new QLabel(form);
    QFont f = label->font();
    f.setPointSize(14);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    root->addWidget(label);
    return label;
}

// A sheet view that shows its boxes through the service and copies through the system
// clipboard.
inline SheetView* NewEntrySheet(TSheetBook& book, QWidget* parent, UiService& ui) {
    auto* view = new SheetView(book, parent);
    view->SetUi(&ui);
    view->UseSystemClipboard();
    return view;
}

// The pop-up of the staff sheets: 插入, the delete item (each form words it), 复制, 粘贴 and 剪切,
// calling the form's N1Click, N2Click, N4Click, N5Click and N6Click.
template <class Form>
QMenu* NewStaffSheetMenu(Form* f, const QString& deleteText) {
    auto* m = new QMenu(f);
    m->addAction(QStringLiteral("插入"), f, [f] { f->N1Click(); });
    m->addAction(deleteText, f, [f] { f->N2Click(); });
    m->addSeparator();
    m->addAction(QStringLiteral("复制"), f, [f] { f->N4Click(); });
    m->addAction(QStringLiteral("粘贴"), f, [f] { f->N5Click(); });
    m->addAction(QStringLiteral("剪切"), f, [f] { f->N6Click(); });
    return m;
}

// A button at the end of `row` that never takes Return as the dialog's default and runs its
// handler guarded.
template <class Form>
QPushButton* AddGuardedButton(Form* f, QBoxLayout* row, UiService& ui, const QString& text, void (Form::*slot)()) {
    auto* b = new QPushButton(text, f);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, f, [f, &ui, slot] { Guarded(ui, [&] { (f->*slot)(); }); });
    row->addWidget(b);
    return b;
}

}  // namespace qm
