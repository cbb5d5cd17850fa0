#pragma once
// Writer of dBase III+/5 table files (no memo) for the upload files.
//
// The layout, fixed here once: version byte 0x03; header date = the day written; language
// driver byte 0x4D (Chinese GBK); field names spelled as given (the column names, case
// kept); 'C' fields hold GBK text, left-aligned and space-padded; 'N' fields hold ASCII
// numbers right-aligned with '.' as decimal point; NULL is blank in both. A number or a text
// that does not fit its field (no text is ever cut), a character GBK cannot hold, or a control
// character (tab, line break, escape, NUL ...) or a lone surrogate half in a text is an error
// naming the value. Files are written beside the target and renamed over it, so a failure
// never leaves a half file or a stray one.

#include "core/db/Db.h"
#include "core/files/Gbk.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qm::files {
class ReplacingFile;
}

namespace qm::dbf {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

struct FieldDef {
    QString name;        // at most 10 ASCII characters
    char type = 'C';     // 'C' text or 'N' number
    int width = 10;      // bytes: 1..254
    int decimals = 0;    // 'N' only
    bool exact = false;  // 'C' only: marks an identifier such as the staff number
};

// A text as a person can read it in a message: control characters as \t, \n, \x1B ...
QString VisibleText(const QString& text);

inline constexpr std::uint8_t kVersion = 0x03;
inline constexpr std::uint8_t kLanguageGbk = 0x4D;
// How many texts other than plain ASCII a writer keeps converted; later ones are converted
// each time they come.
inline constexpr qsizetype kGbkCacheEntries = 4096;

class Writer {
public:
    // Raises Error for an invalid field list.
    explicit Writer(std::vector<FieldDef> fields, QDate date = QDate::currentDate());
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    const std::vector<FieldDef>& Fields() const { return fields_; }
    int RecordCount() const { return records_; }

    // One record, one value per field in field order. Raises Error naming the value that
    // does not fit; the record is then not added.
    void AddRecord(const db::Params& values);

    // A record filled one field at a time, for a caller stepping its rows itself: StartRecord
    // adds a blank record; Put formats a value into field i of it as AddRecord would, raising
    // the same Error and then dropping the record; PutEncoded copies text already in the file's
    // encoding, which the caller has checked (no control character, no longer than the field).
    void StartRecord();
    void Put(std::size_t field, const db::Value& v);
    void PutEncoded(std::size_t field, std::string_view bytes);

    // The whole file as it will be written.
    std::string Bytes() const;

    // Writes the file: the folder is created when missing, the bytes go to a new temporary
    // file beside the target (files::ReplacingFile), are flushed to disk and renamed over the
    // target. Raises Error naming the file on any failure, after removing the temporary file.
    void Save(const QString& target) const;
    // The first half of Save: the bytes into the file's temporary file, for files that are
    // put in place together. Raises Error naming the target.
    void WriteTemp(const files::ReplacingFile& file) const;

private:
    std::string Header() const;
    void FormatNumber(const db::Value& v, const FieldDef& f, char* dst) const;
    void FormatText(const db::Value& v, const FieldDef& f, char* dst);

    std::vector<FieldDef> fields_;
    QDate date_;
    std::vector<int> offsets_;  // of each field within a record
    int recordLength_ = 1;
    int records_ = 0;
    std::string body_;     // the records written so far
    std::string scratch_;  // reused GBK buffer
    gbk::Encoder gbk_;
    QHash<QString, std::string> cache_;  // GBK bytes of texts already written
};

}  // namespace qm::dbf
