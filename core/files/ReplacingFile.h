#pragma once
// A file written beside its target under a temporary name ("<target>.tmp") and put in place
// only once it is complete: until Commit() the target keeps whatever it held, and a file that
// is never committed is removed. Files written in pairs are committed together, after both are
// complete.

#include <QString>

#include <initializer_list>
#include <stdexcept>

namespace qm::files {

class ReplaceError : public std::runtime_error {
public:
    explicit ReplaceError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

class ReplacingFile {
public:
    explicit ReplacingFile(QString target);
    ~ReplacingFile();  // removes the temporary file unless it was committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    const QString& Target() const { return target_; }
    // Where the writer writes.
    const QString& TempPath() const { return temp_; }

    // Flushes the written temporary file to disk and renames it over the target. Raises
    // ReplaceError with the system's reason (the temporary file is then removed).
    void Commit();
    // Every file flushed first, then renamed in turn.
    static void CommitAll(std::initializer_list<ReplacingFile*> files);

private:
    void Flush() const;
    void Rename();

    QString target_, temp_;
    bool done_ = false;
};

}  // namespace qm::files
