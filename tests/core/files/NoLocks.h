#pragma once
// A file system that keeps no locks, for one test: while it lives every flock of the temporary
// files fails with `err`, as on an NFS home without a lock service (ENOLCK).

#include "core/base/FolderTemporary.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <cerrno>
#include <ctime>

namespace qm::test {

class NoLocks {
public:
    explicit NoLocks(int err) {
        FolderTemporary::SetLockFunction([err](int, int) {
            errno = err;
            return -1;
        });
    }
    ~NoLocks() { FolderTemporary::SetLockFunction(nullptr); }
    NoLocks(const NoLocks&) = delete;
    NoLocks& operator=(const NoLocks&) = delete;
};

// A file of `bytes` last written `secondsAgo` before now.
inline bool PutAged(const QString& path, const QByteArray& bytes, long secondsAgo) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return false;
    f.close();
    const timespec when[2] = {{std::time(nullptr) - secondsAgo, 0}, {std::time(nullptr) - secondsAgo, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), when, 0) == 0;
}

// Every entry of the folder, hidden ones too, sorted.
inline QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace qm::test
