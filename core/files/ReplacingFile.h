#pragma once
// A file written beside its target under a temporary name and put in place only once it is
// complete: until Commit() the target keeps whatever it held, and a file that is never
// committed is removed. Files written in pairs are committed together: both or neither, also
// for a reader who looks after a run was killed while it put them in place (the folder's next
// sweep, as the program starts or the next file is written there, puts the earlier ones back;
// FolderTemporary says how).
//
// The temporary file is created under a fresh unique name in the target's folder
// (".<target name>.qmtmp.XXXXXX"), exclusively, so a name planted in the folder beforehand (a
// link to a file elsewhere) is never written through. Writers write to its descriptor, or open
// it again by DescriptorPath(), a name that denotes this very file whatever happens to the
// names in the folder. Temporary files a killed run left in a folder are removed by the next
// file written there; only regular files of this pattern that no running writer holds
// (FolderTemporary says how that is judged where the file system keeps no locks).

#include <QByteArray>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>

namespace qm {
class FolderTemporary;
}

namespace qm::files {

// A file that could not be written or put in place; Target() names it.
class ReplaceError : public std::runtime_error {
public:
    ReplaceError(const QString& target, const QString& reason)
        : std::runtime_error(reason.toStdString()), target_(target) {}
    // The reason, for the person.
    QString Text() const { return QString::fromUtf8(what()); }
    const QString& Target() const { return target_; }

private:
    QString target_;
};

class ReplacingFile {
public:
    // Creates the target's folder when missing and the temporary file in it. Raises
    // ReplaceError when neither can be made.
    explicit ReplacingFile(QString target);
    ~ReplacingFile();  // removes the temporary file unless it was committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    const QString& Target() const { return target_; }
    // The temporary file, open for reading and writing, empty when made.
    int Descriptor() const { return fd_; }
    // For a writer that takes a file name: opening it opens the temporary file itself.
    QString DescriptorPath() const;

    // Flushes the written temporary file to disk and renames it over the target. Raises
    // ReplaceError with the system's reason (the temporary file is then removed).
    void Commit();
    // Files of one folder: every file flushed first, then each put in place in turn; when one
    // cannot be, those put in place before it get their earlier content back (or are removed,
    // when there was none) and the error names the one that failed.
    static void CommitAll(std::initializer_list<ReplacingFile*> files);

    // Tests only: the source of the random part of new names (null restores the random one).
    static void SetNameSource(std::function<QByteArray()> next);
    // Tests only: called as a group is put in place, with 0 once its mark is on disk, k once k
    // of its files are in place, and its size + 1 once the mark is gone (null: none).
    static void SetPlacingHook(std::function<void(int step)> hook);

private:
    struct Kept;
    void Flush() const;
    Kept Keep() const;
    void PutInPlace(const Kept& k);
    [[noreturn]] void Fail(int err) const;

    QString target_;
    QByteArray name_;  // the target's name in its folder
    int dir_ = -1;     // the folder
    std::unique_ptr<FolderTemporary> temp_;
    int fd_ = -1;  // the temporary file's
};

}  // namespace qm::files
