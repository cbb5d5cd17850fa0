#include "grid/Clipboard.h"

#include "core/base/UiService.h"
#include "grid/Export.h"
#include "grid/Import.h"
#include "grid/ViewPosition.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>

namespace qm::grid {

namespace {

template <class E>
QByteArray ExportBytes(TCustomDBGridX& g, bool all) {
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    ExportGridToStream<E>(g, buf, all);
    return b;
}

// A record's cells of the given columns emptied and the record posted at once, so that no
// edit is left waiting for a move that may never come.
void ClearRecordCells(TDataSet* ds, const TColumnsXList& cols) {
    for (TColumnX* c : cols) {
        if (!c->CanModify(false)) continue;
        TField* f = c->ModifiedField();  // a lookup's key field
        if (!f || !ds->CanModify()) continue;
        ds->Edit();
        if (ds->State() == dsEdit || ds->State() == dsInsert) f->Clear();
    }
    ds->Post();
}

}  // namespace

std::unique_ptr<QMimeData> GridMimeData(TCustomDBGridX& g, bool all) {
    auto m = std::make_unique<QMimeData>();
    m->setText(QString::fromUtf8(ExportBytes<TDBGridXExportAsText>(g, all)));
    m->setData(kMimeCsv, ExportBytes<TDBGridXExportAsCSV>(g, all));
    const QByteArray rtf = ExportBytes<TDBGridXExportAsRTF>(g, all);
    m->setData(kMimeRtf, rtf);
    m->setData(kMimeRtfApp, rtf);
    m->setData(kMimeGridbif, ExportBytes<TDBGridXExportAsGRIDBIF>(g, all));
    return m;
}

void GridCopy(TCustomDBGridX& g, bool all) {
    std::unique_ptr<QMimeData> m = GridMimeData(g, all);
    QApplication::clipboard()->setMimeData(m.release());
}

void GridPaste(TCustomDBGridX& g, bool all) {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    if (!m) return;
    if (m->hasFormat(kMimeGridbif)) {
        QByteArray b = m->data(kMimeGridbif);
        QBuffer buf(&b);
        buf.open(QIODevice::ReadOnly);
        ImportGridFromStream<TDBGridXImportAsGRIDBIF>(g, buf, all);
    } else if (m->hasText()) {
        QByteArray b = m->text().toUtf8();
        QBuffer buf(&b);
        buf.open(QIODevice::ReadOnly);
        ImportGridFromStream<TDBGridXImportAsText>(g, buf, all);
    }
}

void GridCut(TCustomDBGridX& g, bool all) {
    GridCopy(g, all);
    GridDelete(g, all);
}

void GridDelete(TCustomDBGridX& g, bool all) {
    const int kind = all ? gstAll : g.Selection().SelectionType();
    TDataSet* ds = g.DataLink()->DataSet();
    if (kind == gstNone || !ds) return;
    if (g.Options().Has(dgConfirmDelete)) {
        QString text;
        switch (kind) {
        case gstRecordBookmarks:
            text = g.SelectedRows().Count() < 2 ? QStringLiteral("Delete record?")
                                                : QStringLiteral("Delete all selected records?");
            break;
        case gstRectangle: text = QStringLiteral("Clear selected cells?"); break;
        // Clearing whole columns or deleting everything is never done without asking.
        case gstColumns: text = QStringLiteral("Clear selected columns?"); break;
        default: text = QStringLiteral("Delete all records?"); break;
        }
        UiService* ui = g.UiServiceOf();
        if (!ui || ui->MessageDlg(text, DlgKind::Confirmation, DlgButtons::OkCancel) != DlgAnswer::Ok) return;
    }
    TGridViewPosition view(g);
    TControlsDisabled still(*ds);
    switch (kind) {
    case gstRecordBookmarks:
        g.SelectedRows().Delete();  // the deleted records leave the selection too
        g.Selection().UpdateState();
        break;
    case gstRectangle: {
        TColumnsXList cols;
        const int l = g.Selection().Rect().GetLeftCol(), r = g.Selection().Rect().GetRightCol();
        for (int i = l; i <= r && i < g.Columns().Count(); ++i)
            if (g.Columns()[i]->Visible()) cols.push_back(g.Columns()[i]);
        const TBookmark bottom = g.Selection().Rect().GetBottomRow();
        ds->GotoBookmark(g.Selection().Rect().GetTopRow());
        for (;;) {
            ClearRecordCells(ds, cols);
            if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
            ds->Next();
            if (ds->Eof()) break;
        }
        view.Restore();
        break;
    }
    case gstColumns: {
        TColumnsXList cols;
        for (int i = 0; i < g.Selection().Columns().Count(); ++i) cols.push_back(g.Selection().Columns().Items(i));
        ds->First();
        while (!ds->Eof()) {
            ClearRecordCells(ds, cols);
            ds->Next();
        }
        view.Restore();
        break;
    }
    default:
        ds->First();
        while (!ds->IsEmpty()) ds->Delete();
        g.Selection().Clear();
        break;
    }
}

// ---------------------------------------------------------------- availability and actions

bool TCustomDBGridX::CanCopy() const { return dataLink_->Active() && selection_->SelectionType() != gstNone; }

bool TCustomDBGridX::CanPaste() const {
    if (!dataLink_->Active() || readOnly_) return false;
    TDataSet* ds = dataLink_->DataSet();
    if (!ds->CanModify()) return false;
    const QMimeData* m = QApplication::clipboard()->mimeData();
    if (!m || !(m->hasFormat(kMimeGridbif) || m->hasText())) return false;
    return ds->State() == dsInsert || AllowedOperations.Has(alopUpdateX);
}

bool TCustomDBGridX::CanDelete() const {
    if (!dataLink_->Active() || readOnly_) return false;
    TDataSet* ds = dataLink_->DataSet();
    if (ds->IsEmpty() || !ds->CanModify()) return false;
    const int k = selection_->SelectionType();
    if ((k == gstRecordBookmarks || k == gstAll) && AllowedOperations.Has(alopDeleteX)) return true;
    return (k == gstRectangle || k == gstColumns) && AllowedOperations.Has(alopUpdateX);
}

bool TCustomDBGridX::CanCut() const { return CanCopy() && CanDelete(); }

bool TCustomDBGridX::CanSelectAll() const { return dataLink_->Active() && !dataLink_->DataSet()->IsEmpty(); }

bool TCustomDBGridX::ExecuteAction(TDBGridXEditAction a) {
    // Only while the grid itself has the focus: in its editor the actions are the editor's.
    if (!EditActions.Has(a) || !dataLink_->Active() || !Focused()) return false;
    switch (a) {
    case geaCopyX:
        if (!CanCopy()) return false;
        GridCopy(*this, false);
        return true;
    case geaPasteX:
        if (!CanPaste()) return false;
        GridPaste(*this, false);
        return true;
    case geaCutX:
        if (!CanCut()) return false;
        GridCut(*this, false);
        return true;
    case geaSelectAllX:
        if (!CanSelectAll()) return false;
        selection_->SelectAll();
        return true;
    case geaDeleteX:
        if (!CanDelete()) return false;
        GridDelete(*this, false);
        return true;
    }
    return false;
}

bool TCustomDBGridX::UpdateAction(TDBGridXEditAction a, bool& enabled) const {
    if (!EditActions.Has(a) || !Focused()) return false;
    switch (a) {
    case geaCopyX: enabled = CanCopy(); break;
    case geaPasteX: enabled = CanPaste(); break;
    case geaCutX: enabled = CanCut(); break;
    case geaSelectAllX: enabled = CanSelectAll(); break;
    case geaDeleteX: enabled = CanDelete(); break;
    }
    return true;
}

}  // namespace qm::grid
