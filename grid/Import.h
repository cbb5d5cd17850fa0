#pragma once
// Reading rows into a grid's data set from text (TAB between values; CR LF, LF or a lone CR
// between records, as programs on Windows and Linux write them) or from the grid's own
// GRIDBIF format: over the selection, from the current record on, or as new records.
// Records are read one at a time while they are stored, so memory stays near the stream's
// size. A GRIDBIF stream is checked whole before any record changes (a cheap walk over its
// tags), so a malformed one changes nothing. Whatever happens, the controls come back, the
// view is restored and an insert left half-done is cancelled.
//
// Nothing is dropped without a word: values beyond the columns, records beyond the records
// there are to fill, and text after a NUL are counted and the person is told (through the
// grid's message service; without one the import ends in an error that says so).

#include "grid/DBGridX.h"

#include <QByteArray>
#include <QIODevice>

#include <memory>
#include <optional>
#include <vector>

namespace qm::grid {

class EGridImportError : public std::runtime_error {
public:
    explicit EGridImportError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

// One value read: a text (text import), or a typed GRIDBIF cell.
struct TImportValue {
    enum Kind { None, Null, Integer, Float, Text, Binary } kind = None;
    qint64 i = 0;
    double d = 0;
    QString text;
    QByteArray bytes;
    // Whether dropping it would lose something (an empty text or a missing value would not).
    bool HasData() const {
        return kind == Integer || kind == Float || (kind == Text && !text.isEmpty()) ||
               (kind == Binary && !bytes.isEmpty());
    }
};
using TImportRecord = std::vector<TImportValue>;

// The records of a stream, one at a time.
class TImportReader {
public:
    virtual ~TImportReader() = default;
    // The next record; false at the end of the data.
    virtual bool Next(TImportRecord& rec) = 0;
    // Characters of text that lie after the data's end (after a NUL) and are no data.
    virtual qsizetype TrailingChars() const { return 0; }
};

// Text: TAB between values; CR LF, LF or a lone CR end a record. A NUL ends the data.
class TTextImportReader : public TImportReader {
public:
    explicit TTextImportReader(const QByteArray& bytes);
    bool Next(TImportRecord& rec) override;
    qsizetype TrailingChars() const override { return trailing_; }

private:
    void Check();
    TImportValue ReadValue();
    const QByteArray& bytes_;
    qsizetype end_ = 0, pos_ = 0, trailing_ = 0;
    int state_ = 0;  // 0 character, 1 TAB, 2 end of a record, 3 end of the data
};

// GRIDBIF: the prefix and every cell are checked when the reader is made (raising the
// format's error text); records are made from the cells only as they are asked for.
class TGridbifImportReader : public TImportReader {
public:
    explicit TGridbifImportReader(const QByteArray& bytes);
    bool Next(TImportRecord& rec) override;
    quint32 Columns() const { return cols_; }

private:
    TImportValue ReadCell();
    const QByteArray& bytes_;
    quint32 cols_ = 0;
    qsizetype pos_ = 0;
    qint64 cellsLeft_ = 0;
};

class TDBGridXImport {
public:
    explicit TDBGridXImport(TCustomDBGridX* grid) : DBGridX(grid) {}
    virtual ~TDBGridXImport() = default;
    void ImportData(QIODevice& stream, bool isImportAll);
    void ImportFromFile(const QString& fileName, bool isImportAll);

    // What an import left out, and the message that tells it (empty when nothing was).
    struct TLeftOut {
        qint64 values = 0, records = 0, trailingChars = 0;
        QString Message() const;
    };
    const TLeftOut& LeftOut() const { return leftOut_; }

protected:
    virtual std::unique_ptr<TImportReader> MakeReader(const QByteArray& data) = 0;
    // Stores one value into a column's field.
    virtual void StoreValue(TColumnX* column, TField* field, const TImportValue& v) = 0;
    void ReadRecord(const TColumnsXList& cols);
    void ImportCell(TColumnX* column, const TImportValue& v);

    TCustomDBGridX* DBGridX;
    TColumnsXList ImpCols;
    bool Eos = false;
    bool IgnoreAll = false;

private:
    void Walk(bool isImportAll);
    void Fetch();
    std::unique_ptr<TImportReader> reader_;
    TImportRecord pending_;  // the next record, read ahead so that Eos is known
    TLeftOut leftOut_;
};

class TDBGridXImportAsText : public TDBGridXImport {
public:
    using TDBGridXImport::TDBGridXImport;

protected:
    std::unique_ptr<TImportReader> MakeReader(const QByteArray& data) override {
        return std::make_unique<TTextImportReader>(data);
    }
    void StoreValue(TColumnX* column, TField* field, const TImportValue& v) override;
};

class TDBGridXImportAsGRIDBIF : public TDBGridXImport {
public:
    using TDBGridXImport::TDBGridXImport;

protected:
    std::unique_ptr<TImportReader> MakeReader(const QByteArray& data) override {
        return std::make_unique<TGridbifImportReader>(data);
    }
    void StoreValue(TColumnX* column, TField* field, const TImportValue& v) override;
};

template <class I>
void ImportGridFromStream(TCustomDBGridX& grid, QIODevice& stream, bool isImportAll) {
    I i(&grid);
    i.ImportData(stream, isImportAll);
}

}  // namespace qm::grid
