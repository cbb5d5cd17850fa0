#include "core/base/FolderTemporary.h"

#include "core/base/SystemError.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>
#include <random>
#include <vector>

namespace qm {

namespace {

constexpr char kMark[] = ".qmtmp.";
constexpr int kMarkLength = int(sizeof kMark) - 1;
constexpr int kRandomLength = 6;
// Room for the mark, the random part and a companion's suffix within the longest name a folder takes.
constexpr int kStemLength = 200;
constexpr int kAttempts = 100;
// The files the database engine keeps beside a database it writes.
constexpr const char* kCompanions[] = {"-journal", "-wal", "-shm"};

std::function<QByteArray()>& NameSource() {
    static std::function<QByteArray()> source;
    return source;
}

std::function<int(int, int)>& LockFunction() {
    static std::function<int(int, int)> lock;
    return lock;
}

int Lock(int fd, int operation) { return LockFunction() ? LockFunction()(fd, operation) : ::flock(fd, operation); }

QByteArray RandomPart() {
    if (NameSource()) return NameSource()();
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomLength];
    if (getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        std::random_device rd;
        for (unsigned char& b : bytes) b = static_cast<unsigned char>(rd());
    }
    QByteArray out;
    for (const unsigned char b : bytes) out += kAlphabet[b % (sizeof kAlphabet - 1)];
    return out;
}

// The main file's name of a companion, or empty when `name` is none.
QByteArray MainOfCompanion(const QByteArray& name) {
    for (const char* suffix : kCompanions)
        if (name.endsWith(suffix)) {
            const QByteArray main = name.chopped(qsizetype(qstrlen(suffix)));
            if (FolderTemporary::IsName(main)) return main;
        }
    return {};
}

bool OwnRegularFile(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_uid == ::geteuid(); }

// Not written for longer than a running write goes without writing.
bool LongUnwritten(const struct stat& st) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - st.st_mtim.tv_sec > FolderTemporary::kUnlockedStaleAge.count();
}

// Whether the temporary file open on `fd` was left by a run that no longer writes it: nobody
// holds its lock, or, where the file system has no locks, it has not been written for long.
bool Stale(int fd, const struct stat& st) {
    if (Lock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    const int err = errno;
    if (err == EWOULDBLOCK || err == EINTR) return false;
    return LongUnwritten(st);
}

// The inode of `name` in `dir`, never following a link; 0 when there is none.
quint64 InodeOf(int dir, const QByteArray& name) {
    struct stat st {};
    return !name.isEmpty() && ::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? quint64(st.st_ino) : 0;
}

bool IsMark(const QByteArray& name) {
    return name.startsWith('.' + FolderTemporary::kMarkTarget + kMark) && FolderTemporary::IsName(name);
}

// A mark lists its group a line a file (names in hex), then this line: a mark without it was
// written no further, so nothing of its group was put in place yet.
constexpr char kMarkEnd[] = "\nend\n";

std::vector<FolderTemporary::Placing> ReadMark(int fd) {
    QByteArray text;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, n);
        at += n;
    }
    if (!text.endsWith(kMarkEnd)) return {};
    std::vector<FolderTemporary::Placing> group;
    for (const QByteArray& line : text.chopped(qsizetype(sizeof kMarkEnd) - 1).split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 4) return {};
        group.push_back({QByteArray::fromHex(f[0]), QByteArray::fromHex(f[1]), f[2].toULongLong(), f[3].toULongLong()});
    }
    return group;
}

// Puts back the group of a mark a killed run left, then removes the mark; answers whether a
// running writer holds it.
bool PutBack(int dir, const QByteArray& mark) {
    const int fd = ::openat(dir, mark.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ours = ::fstat(fd, &st) == 0 && OwnRegularFile(st), stale = ours && Stale(fd, st);
    if (stale && FolderTemporary::NameIs(dir, mark, fd)) {
        const std::vector<FolderTemporary::Placing> group = ReadMark(fd);
        for (auto p = group.rbegin(); p != group.rend(); ++p) FolderTemporary::Unplace(dir, *p);
        ::fsync(dir);  // the earlier files on disk before the mark goes
        ::unlinkat(dir, mark.constData(), 0);
    }
    ::close(fd);
    return ours && !stale;
}

void RemoveCompanions(int dir, const QByteArray& name) {
    for (const char* suffix : kCompanions) {
        const QByteArray companion = name + suffix;
        struct stat st {};
        if (::fstatat(dir, companion.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && OwnRegularFile(st))
            ::unlinkat(dir, companion.constData(), 0);
    }
}

}  // namespace

void FolderTemporary::SetNameSource(std::function<QByteArray()> next) { NameSource() = std::move(next); }

void FolderTemporary::SetLockFunction(std::function<int(int, int)> lock) { LockFunction() = std::move(lock); }

// ".<target name>.qmtmp.XXXXXX", the random part ASCII letters and digits.
QByteArray FolderTemporary::NewName(const QByteArray& target) {
    return '.' + target.left(kStemLength) + kMark + RandomPart();
}

bool FolderTemporary::IsName(const QByteArray& name) {
    const qsizetype mark = name.size() - kRandomLength - kMarkLength;
    if (mark < 2 || name[0] != '.' || name.mid(mark, kMarkLength) != kMark) return false;
    for (qsizetype i = name.size() - kRandomLength; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool FolderTemporary::NameIs(int dir, const QByteArray& name, int fd) {
    struct stat byName {
    }, open{};
    return ::fstatat(dir, name.constData(), &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           byName.st_dev == open.st_dev && byName.st_ino == open.st_ino;
}

// O_EXCL makes the name new, so no link is followed.
int FolderTemporary::CreateExclusive(int dir, const QByteArray& target, QByteArray& name) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        name = NewName(target);
        const int fd = ::openat(dir, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) throw SystemError(errno);
    }
    throw SystemError(EEXIST);
}

// Only regular files of the pattern, owned by this user; a link of the pattern is left as it
// is, and nothing is ever opened through one. A companion goes when its file is gone.
void FolderTemporary::RemoveStale(int dir) {
    const int listFd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* list = ::fdopendir(listFd);
    if (!list) {
        ::close(listFd);
        return;
    }
    std::vector<QByteArray> names, companions;
    while (const dirent* e = ::readdir(list)) {
        const QByteArray name(e->d_name);
        if (IsName(name))
            names.push_back(name);
        else if (!MainOfCompanion(name).isEmpty())
            companions.push_back(name);
    }
    ::closedir(list);
    // Marks first: a held one means a group is being put in place, whose kept files must stay.
    bool held = false;
    for (const QByteArray& name : names)
        if (IsMark(name)) held = PutBack(dir, name) || held;
    if (held) return;
    for (const QByteArray& name : names) {
        const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && OwnRegularFile(st) && Stale(fd, st) && NameIs(dir, name, fd))
            ::unlinkat(dir, name.constData(), 0);
        ::close(fd);
    }
    for (const QByteArray& companion : companions) {
        struct stat st {};
        if (::fstatat(dir, MainOfCompanion(companion).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
            ::fstatat(dir, companion.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && OwnRegularFile(st))
            ::unlinkat(dir, companion.constData(), 0);
    }
}

void FolderTemporary::RemoveStaleIn(const QString& path) {
    const int dir = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    RemoveStale(dir);
    ::close(dir);
}

void FolderTemporary::WriteMark(int dir, int fd, const std::vector<Placing>& group) {
    QByteArray text;
    for (const Placing& p : group)
        text += p.target.toHex() + ' ' + p.kept.toHex() + ' ' + QByteArray::number(p.keptInode) + ' ' +
                QByteArray::number(p.newInode) + '\n';
    text.chop(1);
    text += kMarkEnd;
    for (qsizetype at = 0; at < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + at, size_t(text.size() - at));
        if (n < 0 && errno != EINTR) throw SystemError(errno);
        if (n > 0) at += n;
    }
    if (::fsync(fd) != 0 || ::fsync(dir) != 0) throw SystemError(errno);
}

void FolderTemporary::Unplace(int dir, const Placing& p) {
    if (p.keptInode && InodeOf(dir, p.kept) == p.keptInode)
        ::renameat(dir, p.kept.constData(), dir, p.target.constData());  // no change where it is the target still
    else if (InodeOf(dir, p.target) == p.newInode)
        ::unlinkat(dir, p.target.constData(), 0);
    const quint64 kept = InodeOf(dir, p.kept);
    if (kept && (kept != p.keptInode || InodeOf(dir, p.target) == p.keptInode)) ::unlinkat(dir, p.kept.constData(), 0);
}

FolderTemporary::FolderTemporary(int dir, const QByteArray& target) : dir_(dir) {
    RemoveStale(dir_);
    // Held locked while it lives, so that another run's sweep passes it by; made anew if that
    // sweep removed it before the lock was taken.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        QByteArray name;
        const int fd = CreateExclusive(dir_, target, name);
        int rc;
        while ((rc = Lock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        // Any other failure means this file system keeps no locks: written without one.
        const bool locked = rc == 0;
        if (NameIs(dir_, name, fd)) {
            fd_ = fd;
            name_ = name;
            locked_ = locked;
            return;
        }
        ::close(fd);  // swept away meanwhile: nothing of it is left
    }
    throw SystemError(EEXIST);
}

FolderTemporary::~FolderTemporary() {
    if (!placed_) {
        if (StillNamed()) ::unlinkat(dir_, name_.constData(), 0);
        RemoveCompanions(dir_, name_);
    }
    ::close(fd_);
}

bool FolderTemporary::StillNamed() const { return NameIs(dir_, name_, fd_); }

}  // namespace qm
