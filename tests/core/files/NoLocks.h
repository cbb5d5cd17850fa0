#pragma once
// A file system without locks (an NFS home without a lock service), for one scope: every flock of
// a temporary file fails with `err`; 0 leaves the locks as they are.

#include "core/base/FolderTemporary.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>

namespace qm::test {

struct NoLocks {
    explicit NoLocks(int err) {
        if (err) FolderTemporary::SetLockFunction([err](int, int) { return errno = err, -1; });
    }
    ~NoLocks() { FolderTemporary::SetLockFunction(nullptr); }
};

// A file of `bytes` last written `secondsAgo` before now, as a killed run left it.
inline bool PutAged(const QString& path, const QByteArray& bytes, long secondsAgo) {
    QFile f(path);
    const timespec t{std::time(nullptr) - secondsAgo, 0}, when[2] = {t, t};
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush() &&
           ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), when, 0) == 0;
}

// The names in the folder, hidden ones too, sorted and joined by blanks.
inline std::string Entries(const QString& folder) {
    return QDir(folder)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
        .join(' ')
        .toStdString();
}

}  // namespace qm::test
