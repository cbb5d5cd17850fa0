#include "grid/Import.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "grid/ViewPosition.h"

#include <QFile>

#include <cstring>

namespace qm::grid {

namespace {

const QString kTextFormat = QStringLiteral("TDBGridXImportAsText.CheckState: Invalid text format");
const QString kPrefixFormat = QStringLiteral("TDBGridXImportAsGRIDBIF.ReadPrefix: Invalid GRIDBIF format");
const QString kCellFormat = QStringLiteral("TDBGridXImportAsGRIDBIF.ReadDataCell: Invalid GRIDBIF format");

}  // namespace

// ---------------------------------------------------------------- the walk

void TDBGridXImport::ImportData(QIODevice& stream, bool isImportAll) {
    TCustomDBGridX& g = *DBGridX;
    TDataSet* ds = g.DataLink()->DataSet();
    if (!ds || !ds->Active()) throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    // Read and check everything first: a malformed stream changes no record.
    records_ = ReadAll(stream.readAll());
    next_ = 0;
    Eos = records_.empty();
    IgnoreAll = false;

    if (isImportAll) {
        g.ClearSelection();
        g.Selection().Clear();
        ds->First();
        if (!g.VisibleColumns().empty()) g.SetSelectedIndex(g.VisibleColumns().front()->Index());
    }
    bool atEof = ds->Eof();
    const bool inInsert = ds->State() == dsInsert;
    TGridViewPosition view(g);
    ds->DisableControls();
    bool done = false;
    struct Leave {
        TDataSet* ds;
        TGridViewPosition& view;
        bool inInsert;
        bool& done;
        ~Leave() {
            // A failed or declined import leaves no half-filled record behind.
            if (!done && (ds->State() == dsInsert || ds->State() == dsEdit)) {
                try {
                    ds->Cancel();
                } catch (...) {
                }
            }
            if (!inInsert) {
                try {
                    view.Restore();
                } catch (...) {
                }
            }
            ds->EnableControls();
        }
    } leave{ds, view, inInsert, done};

    const int kind = isImportAll ? gstAll : g.Selection().SelectionType();
    ImpCols.clear();
    switch (kind) {
    case gstNone:
        for (TColumnX* c : g.VisibleColumns())
            if (c->Index() >= g.SelectedIndex()) ImpCols.push_back(c);
        break;
    case gstRectangle: {
        const int l = g.Selection().Rect().GetLeftCol(), r = g.Selection().Rect().GetRightCol();
        for (int i = l; i <= r && i < g.Columns().Count(); ++i)
            if (g.Columns()[i]->Visible()) ImpCols.push_back(g.Columns()[i]);
        break;
    }
    case gstColumns:
        for (int i = 0; i < g.Selection().Columns().Count(); ++i) ImpCols.push_back(g.Selection().Columns().Items(i));
        break;
    default: ImpCols = g.VisibleColumns(); break;
    }

    auto insertLoop = [&] {
        while (!Eos) {
            if (atEof)
                ds->Append();
            else
                ds->Insert();
            ReadRecord(ImpCols);
            ds->Post();
            if (!atEof) ds->Next();
        }
    };
    if (inInsert) {
        insertLoop();
    } else {
        switch (kind) {
        case gstNone:
            view.Restore();
            while (!ds->Eof() && !Eos) {
                ReadRecord(ImpCols);
                ds->Next();
            }
            ds->Post();  // the last record read, when no move posted it
            if (g.AllowedOperations.Has(alopAppendX)) {
                atEof = true;
                insertLoop();
            }
            break;
        case gstRecordBookmarks: {
            TBookmarkListX& rows = g.SelectedRows();
            for (int i = 0; i < rows.Count() && !Eos; ++i) {
                if (!ds->BookmarkValid(rows.Items(i))) continue;
                ds->GotoBookmark(rows.Items(i));
                ReadRecord(ImpCols);
            }
            break;
        }
        case gstRectangle: {
            const TBookmark bottom = g.Selection().Rect().GetBottomRow();
            ds->GotoBookmark(g.Selection().Rect().GetTopRow());
            for (;;) {
                ReadRecord(ImpCols);
                if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
                ds->Next();
                if (ds->Eof()) break;
            }
            break;
        }
        default:
            ds->First();
            while (!ds->Eof()) {
                ReadRecord(ImpCols);
                ds->Next();
            }
            break;
        }
        ds->Post();
    }
    done = true;
}

void TDBGridXImport::ImportFromFile(const QString& fileName, bool isImportAll) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()).toStdString());
    ImportData(f, isImportAll);
}

void TDBGridXImport::ReadRecord(const TColumnsXList& cols) {
    if (Eos) return;
    const TImportRecord& rec = records_[next_++];
    Eos = next_ >= records_.size();
    // Extra values are dropped; missing ones leave their columns as they are.
    for (size_t i = 0; i < rec.size() && i < cols.size(); ++i) ImportCell(cols[i], rec[i]);
}

void TDBGridXImport::ImportCell(TColumnX* column, const TImportValue& v) {
    if (!column || v.kind == TImportValue::None || !column->CanModify(false)) return;
    // A lookup column stores into its key field.
    TField* field = column->ModifiedField();
    if (!field) return;
    TDataSet* ds = field->DataSet();
    try {
        if (ds->CanModify()) ds->Edit();
        if (ds->State() != dsEdit && ds->State() != dsInsert) return;
        StoreValue(column, field, v);
    } catch (const SilentAbort&) {
        throw;
    } catch (const std::exception& e) {
        if (IgnoreAll) return;
        UiService* ui = DBGridX->UiServiceOf();
        const QString text = QStringLiteral("Error during insert value: \n") + QString::fromUtf8(e.what()) +
                             QStringLiteral("\n\nIgnore error?");
        const DlgAnswer a = ui ? ui->MessageDlg(text, DlgKind::Error, DlgButtons::YesNoAll) : DlgAnswer::No;
        if (a == DlgAnswer::All)
            IgnoreAll = true;
        else if (a != DlgAnswer::Yes)
            Abort();
    }
}

// ---------------------------------------------------------------- text

std::vector<TImportRecord> TDBGridXImportAsText::Parse(const QByteArray& all) {
    // A clipboard block may carry a terminating NUL and more after it: none of it is data.
    const int nul = int(all.indexOf('\0'));
    const QByteArray data = nul >= 0 ? all.left(nul) : all;
    std::vector<TImportRecord> records;
    int pos = 0;
    int state = 0;  // 0 character, 1 TAB, 2 line end, 3 end of stream
    char cur = 0;
    auto check = [&] {
        if (pos >= data.size()) {
            state = 3;
            return;
        }
        const char c = data[pos++];
        if (c == '\t')
            state = 1;
        else if (c == '\r') {
            if (pos >= data.size() || data[pos] != '\n') throw EGridImportError(kTextFormat);
            ++pos;
            state = 2;
        } else {
            state = 0;
            cur = c;
        }
    };
    auto readValue = [&] {
        QByteArray v(1, cur);
        for (check(); state == 0; check()) v.append(cur);
        if (state == 1) check();
        TImportValue r;
        r.kind = TImportValue::Text;
        r.text = QString::fromUtf8(v);
        return r;
    };
    check();  // ReadPrefix
    while (state != 3) {
        TImportRecord rec;
        if (state == 0) rec.push_back(readValue());
        while (state == 0 || state == 1) {
            if (state == 1) {
                TImportValue empty;
                empty.kind = TImportValue::Text;
                check();
                rec.push_back(empty);
            } else {
                rec.push_back(readValue());
            }
        }
        records.push_back(std::move(rec));
        if (state == 2) check();
    }
    return records;
}

void TDBGridXImportAsText::StoreValue(TColumnX* column, TField* field, const TImportValue& v) {
    if (TField* lookup = column->Field(); lookup && lookup->FieldKind() == fkLookup) {
        // The text names a record of the lookup data set; its key is stored, or nothing.
        TDataSet* l = lookup->LookupDataSet;
        if (l && l->Active() && l->Locate(lookup->LookupResultField, v.text, true, true))
            field->SetValue(l->FieldByName(lookup->LookupKeyFields)->AsValue());
        return;
    }
    if (column->ColumnKind() == 3) {
        // A key list shown through the pick list: the shown text selects the stored key.
        const int i = int(column->PickList().indexOf(v.text));
        if (i >= 0 && i < column->KeyList().size())
            field->SetText(column->KeyList()[i]);
        else
            field->Clear();
        return;
    }
    field->SetText(v.text);
}

// ---------------------------------------------------------------- GRIDBIF

std::vector<TImportRecord> TDBGridXImportAsGRIDBIF::Parse(const QByteArray& data) {
    int pos = 0;
    auto need = [&](int n, const QString& err) {
        if (n < 0 || data.size() - pos < n) throw EGridImportError(err);
    };
    auto u32 = [&](const QString& err) {
        need(4, err);
        quint32 v = 0;
        for (int i = 0; i < 4; ++i) v |= quint32(quint8(data[pos + i])) << (8 * i);
        pos += 4;
        return v;
    };
    need(12, kPrefixFormat);
    if (data.left(7) != "GRIDBIF") throw EGridImportError(kPrefixFormat);
    pos = 8;  // the version byte is not checked
    const quint32 cols = u32(kPrefixFormat);
    for (quint32 i = 0; i < cols; ++i) {
        need(1, kPrefixFormat);
        ++pos;  // the visible flag
        const int end = int(data.indexOf('\0', pos));
        if (end < 0) throw EGridImportError(kPrefixFormat);
        pos = end + 1;  // the name (our export writes none)
    }
    std::vector<TImportValue> cells;
    for (;;) {
        need(1, kCellFormat);
        const quint8 tag = quint8(data[pos++]);
        if (tag == 0) break;
        TImportValue v;
        switch (tag) {
        case 1: v.kind = TImportValue::None; break;
        case 2: v.kind = TImportValue::Null; break;
        case 3:
            v.kind = TImportValue::Integer;
            v.i = qint32(u32(kCellFormat));
            break;
        case 4: {
            need(8, kCellFormat);
            quint64 bits = 0;
            for (int i = 0; i < 8; ++i) bits |= quint64(quint8(data[pos + i])) << (8 * i);
            pos += 8;
            std::memcpy(&v.d, &bits, sizeof v.d);
            v.kind = TImportValue::Float;
            break;
        }
        case 5:
        case 6: {
            const quint32 len = u32(kCellFormat);
            // A length is never trusted beyond the bytes that are there.
            if (len > quint32(data.size() - pos)) throw EGridImportError(kCellFormat);
            v.bytes = data.mid(pos, int(len));
            pos += int(len);
            v.kind = tag == 5 ? TImportValue::Text : TImportValue::Binary;
            v.text = QString::fromUtf8(v.bytes);
            break;
        }
        default: throw EGridImportError(kCellFormat);  // an unknown tag would misread the rest
        }
        cells.push_back(std::move(v));
    }
    std::vector<TImportRecord> records;
    if (cols == 0) return records;  // no columns: nothing can be read (and nothing ends a record)
    for (size_t i = 0; i < cells.size(); i += cols) {
        TImportRecord rec(cells.begin() + long(i), cells.begin() + long(std::min(cells.size(), i + cols)));
        records.push_back(std::move(rec));
    }
    return records;
}

void TDBGridXImportAsGRIDBIF::StoreValue(TColumnX*, TField* field, const TImportValue& v) {
    switch (v.kind) {
    case TImportValue::Null: field->Clear(); break;
    case TImportValue::Integer:
        if (field->DataType() == ftInteger)
            field->SetValue(db::Value(v.i));
        else if (field->DataType() == ftFloat || field->DataType() == ftCurrency)
            field->SetValue(db::Value(double(v.i)));
        else
            field->SetAsString(QString::number(v.i));
        break;
    case TImportValue::Float:
        if (field->DataType() == ftFloat || field->DataType() == ftCurrency)
            field->SetValue(db::Value(v.d));
        else
            field->SetAsString(QString::number(v.d, 'g', 17));
        break;
    case TImportValue::Text:
    case TImportValue::Binary: field->SetAsString(v.text); break;
    default: break;
    }
}

}  // namespace qm::grid
