#pragma once
// Reading rows into a grid's data set from text (TAB between values, CR LF between lines)
// or from the grid's own GRIDBIF format: over the selection, from the current record on,
// or as new records. The whole stream is read and checked before any record changes, so
// a malformed stream changes nothing. Whatever happens, the controls come back, the view
// is restored and an insert left half-done is cancelled.

#include "grid/DBGridX.h"

#include <QByteArray>
#include <QIODevice>

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
};
using TImportRecord = std::vector<TImportValue>;

class TDBGridXImport {
public:
    explicit TDBGridXImport(TCustomDBGridX* grid) : DBGridX(grid) {}
    virtual ~TDBGridXImport() = default;
    void ImportData(QIODevice& stream, bool isImportAll);
    void ImportFromFile(const QString& fileName, bool isImportAll);

protected:
    // Reads every record of the stream; raises the format's error text.
    virtual std::vector<TImportRecord> ReadAll(const QByteArray& data) = 0;
    // Stores one value into a column's field; false when nothing was stored.
    virtual void StoreValue(TColumnX* column, TField* field, const TImportValue& v) = 0;
    void ReadRecord(const TColumnsXList& cols);
    void ImportCell(TColumnX* column, const TImportValue& v);

    TCustomDBGridX* DBGridX;
    TColumnsXList ImpCols;
    bool Eos = false;
    bool IgnoreAll = false;

private:
    std::vector<TImportRecord> records_;
    size_t next_ = 0;
};

class TDBGridXImportAsText : public TDBGridXImport {
public:
    using TDBGridXImport::TDBGridXImport;
    // The records of a text block: bytes after the first NUL are no data.
    static std::vector<TImportRecord> Parse(const QByteArray& data);

protected:
    std::vector<TImportRecord> ReadAll(const QByteArray& data) override { return Parse(data); }
    void StoreValue(TColumnX* column, TField* field, const TImportValue& v) override;
};

class TDBGridXImportAsGRIDBIF : public TDBGridXImport {
public:
    using TDBGridXImport::TDBGridXImport;
    static std::vector<TImportRecord> Parse(const QByteArray& data);

protected:
    std::vector<TImportRecord> ReadAll(const QByteArray& data) override { return Parse(data); }
    void StoreValue(TColumnX* column, TField* field, const TImportValue& v) override;
};

template <class I>
void ImportGridFromStream(TCustomDBGridX& grid, QIODevice& stream, bool isImportAll) {
    I i(&grid);
    i.ImportData(stream, isImportAll);
}

}  // namespace qm::grid
