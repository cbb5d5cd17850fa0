#pragma once
// Temporary files beside a target: every file the program writes, and every copy of the
// database, is first written under ".<target name>.qmtmp.XXXXXX" in the target's folder and
// renamed over the target only when complete. Whatever a killed run left of this pattern (the
// file, and the "-journal", "-wal" or "-shm" the database engine keeps beside it) is removed by
// the next temporary file made in that folder.
//
// A running writer holds its file locked (flock), and the sweep passes a locked file by. On a
// file system without locks (an NFS home without a lock service answers ENOLCK, some answer
// EOPNOTSUPP) the file is written without the lock, and the sweep then takes a file as stale
// only when it has not been written for kUnlockedStaleAge: no write of this program runs that
// long without writing, and the margin covers clocks of file server and machine that differ.
//
// Files put in place as a group (ReplacingFile::CommitAll) are named by a mark, a temporary
// file of their folder held while the group is put in place. While a mark is held the sweep
// leaves the folder's temporary files alone (the kept earlier files are among them); a mark a
// killed run left has its group put back as it was before by the next sweep, so a reader finds
// the earlier files or, once the mark is gone, the new ones, never some of each.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

namespace qm {

class FolderTemporary {
public:
    static constexpr std::chrono::seconds kUnlockedStaleAge{3600};

    // Removes the stale temporary files of the folder open on `dir`, then makes a new one for
    // `target` (a name in that folder), exclusively: a name planted there beforehand is never
    // written through. Raises SystemError when it cannot be made.
    FolderTemporary(int dir, const QByteArray& target);
    // Removes the file and its companions unless it was put in place.
    ~FolderTemporary();
    FolderTemporary(const FolderTemporary&) = delete;
    FolderTemporary& operator=(const FolderTemporary&) = delete;

    int Descriptor() const { return fd_; }
    const QByteArray& Name() const { return name_; }
    // Whether the file is held locked (false on a file system without locks).
    bool Locked() const { return locked_; }
    // Whether its name in the folder still denotes this very file.
    bool StillNamed() const;
    // The file now stands under another name: it is no longer removed.
    void Placed() { placed_ = true; }

    // A new name of the pattern for `target`.
    static QByteArray NewName(const QByteArray& target);
    // Whether `name` is of the pattern (a companion's "-journal" ... not included).
    static bool IsName(const QByteArray& name);
    // A new empty file of the pattern in `dir`, made exclusively and not locked; its name in
    // `name`. Raises SystemError.
    static int CreateExclusive(int dir, const QByteArray& target, QByteArray& name);
    // Whether `name` in `dir` is the file open on `fd` (never following a link).
    static bool NameIs(int dir, const QByteArray& name, int fd);
    // Removes the stale temporary files of the folder and the companions left without theirs.
    static void RemoveStale(int dir);
    // The same for the folder at `path`, as the program starts; nothing when it is missing.
    static void RemoveStaleIn(const QString& path);

    // One file of a group: its target, the name its earlier file is kept under (empty when it
    // had none) with that file's inode, and the inode of the new file.
    struct Placing {
        QByteArray target, kept;
        quint64 keptInode = 0, newInode = 0;
    };
    // What a group's mark is made for: FolderTemporary(dir, kMarkTarget).
    inline static const QByteArray kMarkTarget = QByteArrayLiteral("qm-placing");
    // Writes the group into the mark open on `fd` and puts it on disk, with the folder's
    // names. Raises SystemError.
    static void WriteMark(int dir, int fd, const std::vector<Placing>& group);
    // Gives the target its earlier file back, or removes the new one where it had none; the
    // kept name goes unless it holds the only copy of the earlier file.
    static void Unplace(int dir, const Placing& p);

    // Tests only: the source of the random part of new names, and the lock call (flock's
    // signature and errno); null restores the real ones.
    static void SetNameSource(std::function<QByteArray()> next);
    static void SetLockFunction(std::function<int(int fd, int operation)> lock);

private:
    int dir_;
    int fd_ = -1;
    QByteArray name_;
    bool locked_ = false;
    bool placed_ = false;
};

}  // namespace qm
