#include "grid/Import.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "grid/Export.h"
#include "grid/ViewPosition.h"

#include <QFile>

#include <cstring>

namespace qm::grid {

namespace {

const QString kPrefixFormat = QStringLiteral("TDBGridXImportAsGRIDBIF.ReadPrefix: Invalid GRIDBIF format");
const QString kCellFormat = QStringLiteral("TDBGridXImportAsGRIDBIF.ReadDataCell: Invalid GRIDBIF format");

}  // namespace

// ---------------------------------------------------------------- the walk

QString TDBGridXImport::TLeftOut::Message() const {
    QStringList parts;
    if (values > 0) parts << QStringLiteral("最后一列之后的 %1 个值").arg(values);
    if (records > 0) parts << QStringLiteral("最后一条可填记录之后的 %1 条记录").arg(records);
    if (trailingChars > 0) parts << QStringLiteral("空字符（NUL）之后的 %1 个字符").arg(trailingChars);
    if (parts.isEmpty()) return {};
    return QStringLiteral("以下内容没有导入：\n") + parts.join(u'\n');
}

void TDBGridXImport::ImportData(QIODevice& stream, bool isImportAll) {
    TDataSet* ds = DBGridX->DataLink()->DataSet();
    if (!ds || !ds->Active()) throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    // The stream's bytes are held while they are read; the records are made one at a time.
    const QByteArray data = stream.readAll();
    reader_ = MakeReader(data);  // a GRIDBIF stream is checked here, before anything changes
    struct Done {
        std::unique_ptr<TImportReader>& reader;
        ~Done() { reader.reset(); }  // it reads `data`, which goes on every way out
    } done{reader_};
    leftOut_ = TLeftOut();
    IgnoreAll = false;
    Fetch();
    Walk(isImportAll);
    // What no record or column took is counted (without holding it) and told.
    for (; !Eos; Fetch())
        for (const TImportValue& v : pending_)
            if (v.HasData()) {
                ++leftOut_.records;
                break;
            }
    leftOut_.trailingChars = reader_->TrailingChars();
    const QString told = leftOut_.Message();
    if (told.isEmpty()) return;
    if (UiService* ui = DBGridX->UiServiceOf())
        ui->MessageDlg(told, DlgKind::Warning, DlgButtons::Ok);
    else
        throw EGridImportError(told);
}

void TDBGridXImport::Fetch() {
    Eos = !reader_->Next(pending_);
    if (Eos) pending_.clear();
}

void TDBGridXImport::Walk(bool isImportAll) {
    TCustomDBGridX& g = *DBGridX;
    TDataSet* ds = g.DataLink()->DataSet();
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
                if (Eos || ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
                ds->Next();
                if (ds->Eof()) break;
            }
            break;
        }
        default:
            ds->First();
            while (!ds->Eof() && !Eos) {
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
    const TImportRecord rec = std::move(pending_);
    Fetch();
    // Missing values leave their columns as they are; extra ones are counted.
    for (size_t i = 0; i < rec.size(); ++i) {
        if (i < cols.size())
            ImportCell(cols[i], rec[i]);
        else if (rec[i].HasData())
            ++leftOut_.values;
    }
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

TTextImportReader::TTextImportReader(const QByteArray& bytes) : bytes_(bytes) {
    // A clipboard block may carry a terminating NUL and more after it: that is no data, and
    // any text in it is counted.
    const qsizetype nul = bytes.indexOf('\0');
    end_ = nul >= 0 ? nul : bytes.size();
    if (nul >= 0) {
        QString rest = QString::fromUtf8(bytes.constData() + nul, bytes.size() - nul);
        rest.remove(QChar(0));
        trailing_ = rest.size();
    }
    Check();  // the first character
}

void TTextImportReader::Check() {
    if (pos_ >= end_) {
        state_ = 3;
        return;
    }
    const char c = bytes_[pos_++];
    if (c == '\t') {
        state_ = 1;
    } else if (c == '\r' || c == '\n') {
        if (c == '\r' && pos_ < end_ && bytes_[pos_] == '\n') ++pos_;  // CR LF is one end
        state_ = 2;
    } else {
        state_ = 0;
    }
}

TImportValue TTextImportReader::ReadValue() {
    // The value starts with the character just read and runs while characters follow.
    const qsizetype start = pos_ - 1;
    qsizetype stop = pos_;
    for (Check(); state_ == 0; Check()) stop = pos_;
    TImportValue r;
    r.kind = TImportValue::Text;
    r.text = QString::fromUtf8(bytes_.constData() + start, stop - start);
    if (state_ == 1) Check();  // past the TAB, so that the next value starts
    return r;
}

bool TTextImportReader::Next(TImportRecord& rec) {
    rec.clear();
    if (state_ == 3) return false;
    if (state_ == 0) rec.push_back(ReadValue());
    while (state_ == 0 || state_ == 1) {
        if (state_ == 1) {
            TImportValue empty;
            empty.kind = TImportValue::Text;
            rec.push_back(empty);
            Check();
        } else {
            rec.push_back(ReadValue());
        }
    }
    if (state_ == 2) Check();
    return true;
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

namespace {

quint32 LE32(const QByteArray& b, qsizetype at) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) v |= quint32(quint8(b[at + i])) << (8 * i);
    return v;
}

}  // namespace

TGridbifImportReader::TGridbifImportReader(const QByteArray& bytes) : bytes_(bytes) {
    const qsizetype size = bytes.size();
    if (size < 12 || bytes.left(7) != "GRIDBIF") throw EGridImportError(kPrefixFormat);
    // The version byte (7) is not checked.
    cols_ = LE32(bytes, 8);
    qsizetype pos = 12;
    for (quint32 i = 0; i < cols_; ++i) {
        if (pos >= size) throw EGridImportError(kPrefixFormat);
        ++pos;  // the visible flag
        const qsizetype end = bytes.indexOf('\0', pos);
        if (end < 0) throw EGridImportError(kPrefixFormat);
        pos = end + 1;  // the name (our export writes none)
    }
    pos_ = pos;
    // Every cell is walked once, without being kept: an unknown tag or a length past the
    // end refuses the stream before anything changes.
    for (;;) {
        if (pos >= size) throw EGridImportError(kCellFormat);
        const quint8 tag = quint8(bytes[pos++]);
        if (tag == 0) break;
        qsizetype len = 0;
        switch (tag) {
        case 1:
        case 2: break;
        case 3: len = 4; break;
        case 4: len = 8; break;
        case 5:
        case 6:
            if (size - pos < 4) throw EGridImportError(kCellFormat);
            len = 4 + qsizetype(LE32(bytes, pos));
            break;
        default: throw EGridImportError(kCellFormat);  // an unknown tag would misread the rest
        }
        if (len > size - pos) throw EGridImportError(kCellFormat);
        pos += len;
        ++cellsLeft_;
    }
}

TImportValue TGridbifImportReader::ReadCell() {
    TImportValue v;
    const quint8 tag = quint8(bytes_[pos_++]);
    switch (tag) {
    case 2: v.kind = TImportValue::Null; break;
    case 3:
        v.kind = TImportValue::Integer;
        v.i = qint32(LE32(bytes_, pos_));
        pos_ += 4;
        break;
    case 4: {
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i) bits |= quint64(quint8(bytes_[pos_ + i])) << (8 * i);
        pos_ += 8;
        std::memcpy(&v.d, &bits, sizeof v.d);
        v.kind = TImportValue::Float;
        break;
    }
    case 5:
    case 6: {
        const qsizetype len = qsizetype(LE32(bytes_, pos_));
        pos_ += 4;
        v.bytes = bytes_.mid(pos_, len);
        pos_ += len;
        v.kind = tag == 5 ? TImportValue::Text : TImportValue::Binary;
        v.text = QString::fromUtf8(v.bytes);
        break;
    }
    default: break;  // 1: no value
    }
    return v;
}

bool TGridbifImportReader::Next(TImportRecord& rec) {
    rec.clear();
    // Without columns nothing can be read (and nothing ends a record).
    if (cols_ == 0 || cellsLeft_ <= 0) return false;
    const qint64 n = std::min<qint64>(cols_, cellsLeft_);
    rec.reserve(size_t(n));
    for (qint64 i = 0; i < n; ++i) rec.push_back(ReadCell());
    cellsLeft_ -= n;
    return true;
}

void TDBGridXImportAsGRIDBIF::StoreValue(TColumnX*, TField* field, const TImportValue& v) {
    switch (v.kind) {
    case TImportValue::Null: field->Clear(); break;
    case TImportValue::Integer:
        if (field->DataType() == ftDate)
            field->SetAsString(DayCountToDate(double(v.i)));
        else if (field->DataType() == ftInteger)
            field->SetValue(db::Value(v.i));
        else if (field->DataType() == ftFloat || field->DataType() == ftCurrency)
            field->SetValue(db::Value(double(v.i)));
        else
            field->SetAsString(QString::number(v.i));
        break;
    case TImportValue::Float:
        if (field->DataType() == ftDate)
            field->SetAsString(DayCountToDate(v.d));  // a day count
        else if (field->DataType() == ftFloat || field->DataType() == ftCurrency)
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
