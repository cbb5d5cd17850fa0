#include "core/files/ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

namespace qm::files {

namespace {

constexpr char kMark[] = ".qmtmp.";
constexpr int kMarkLength = int(sizeof kMark) - 1;
constexpr int kRandomLength = 6;
// Room for the mark and the random part within the longest name a folder takes.
constexpr int kStemLength = 200;
constexpr int kAttempts = 100;

QString SystemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

std::function<QByteArray()>& NameSource() {
    static std::function<QByteArray()> source;
    return source;
}

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

// ".<target name>.qmtmp.XXXXXX", the random part ASCII letters and digits.
QByteArray TemporaryName(const QByteArray& target) { return '.' + target.left(kStemLength) + kMark + RandomPart(); }

bool IsTemporaryName(const QByteArray& name) {
    const qsizetype mark = name.size() - kRandomLength - kMarkLength;
    if (mark < 2 || name[0] != '.' || name.mid(mark, kMarkLength) != kMark) return false;
    for (qsizetype i = name.size() - kRandomLength; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether `name` in the folder still is the file open on `fd` (never following a link).
bool NameIs(int dir, const QByteArray& name, int fd) {
    struct stat byName {
    }, open{};
    return ::fstatat(dir, name.constData(), &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           SameFile(byName, open);
}

// Removes the temporary files a killed run left in the folder: regular files of the pattern,
// owned by this user, that no running writer holds locked. A link of the pattern is left as it
// is, and nothing is ever opened through one.
void RemoveStaleTemporaries(int dir) {
    const int listFd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* list = ::fdopendir(listFd);
    if (!list) {
        ::close(listFd);
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent* e = ::readdir(list))
        if (IsTemporaryName(QByteArray(e->d_name))) names.emplace_back(e->d_name);
    ::closedir(list);
    for (const QByteArray& name : names) {
        const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && NameIs(dir, name, fd))
            ::unlinkat(dir, name.constData(), 0);
        ::close(fd);
    }
}

}  // namespace

// The earlier content of a target while a group is put in place.
struct ReplacingFile::Kept {
    std::optional<QByteArray> old;  // its name in the folder; none when there was no target
};

void ReplacingFile::SetNameSource(std::function<QByteArray()> next) { NameSource() = std::move(next); }

ReplacingFile::ReplacingFile(QString target) : target_(std::move(target)) {
    const QFileInfo info(target_);
    const QString folder = info.absolutePath();
    name_ = QFile::encodeName(info.fileName());
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw ReplaceError(target_, QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(folder)));
    dir_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_ < 0) Fail(errno);
    RemoveStaleTemporaries(dir_);
    // Held locked while it lives, so that another run's clearing of stale files passes it by;
    // made anew if that clearing removed it before the lock was taken.
    try {
        for (int attempt = 0; attempt < kAttempts && fd_ < 0; ++attempt) {
            int fd = -1;
            const QByteArray name = CreateFile(fd);
            if (::flock(fd, LOCK_EX) == 0 && NameIs(dir_, name, fd)) {
                fd_ = fd;
                temp_ = name;
            } else {
                ::close(fd);
            }
        }
        if (fd_ < 0) Fail(EEXIST);
    } catch (const ReplaceError&) {
        ::close(dir_);  // no destructor runs for an object that was never made
        throw;
    }
}

ReplacingFile::~ReplacingFile() {
    if (!done_ && fd_ >= 0 && NameIs(dir_, temp_, fd_)) ::unlinkat(dir_, temp_.constData(), 0);
    if (fd_ >= 0) ::close(fd_);
    if (dir_ >= 0) ::close(dir_);
}

QString ReplacingFile::DescriptorPath() const { return QStringLiteral("/proc/self/fd/%1").arg(fd_); }

// A new file of the pattern; O_EXCL makes the name new, so no link is followed.
QByteArray ReplacingFile::CreateFile(int& fd) const {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray name = TemporaryName(name_);
        fd = ::openat(dir_, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return name;
        if (errno != EEXIST) Fail(errno);
    }
    Fail(EEXIST);
}

void ReplacingFile::Fail(int err) const { throw ReplaceError(target_, SystemError(err)); }

void ReplacingFile::Flush() const {
    if (::fsync(fd_) != 0) Fail(errno);
}

ReplacingFile::Kept ReplacingFile::PutInPlace(bool keepOld) {
    Kept k;
    if (keepOld) {
        struct stat st {};
        if (::fstatat(dir_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) Fail(EISDIR);
        // The earlier target stays reachable under a name of the pattern: a second link to it,
        // or, where the folder takes none, the target moved onto a new file of its own (which a
        // folder cannot be moved onto).
        int err = 0;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const QByteArray name = TemporaryName(name_);
            if (::linkat(dir_, name_.constData(), dir_, name.constData(), 0) == 0) {
                k.old = name;
                break;
            }
            err = errno;
            if (err != EEXIST) break;
        }
        if (!k.old && err != ENOENT) {
            int fd = -1;
            const QByteArray name = CreateFile(fd);
            ::close(fd);
            if (::renameat(dir_, name_.constData(), dir_, name.constData()) == 0) {
                k.old = name;
            } else {
                err = errno;
                ::unlinkat(dir_, name.constData(), 0);
                if (err != ENOENT) Fail(err);
            }
        }
    }
    if (::renameat(dir_, temp_.constData(), dir_, name_.constData()) != 0) {
        const int err = errno;
        Undo(k);
        Forget(k);
        Fail(err);
    }
    done_ = true;
    return k;
}

// Puts the earlier content back, or removes the new file when there was none.
void ReplacingFile::Undo(const Kept& k) const {
    if (k.old)
        ::renameat(dir_, k.old->constData(), dir_, name_.constData());
    else if (done_ && NameIs(dir_, name_, fd_))
        ::unlinkat(dir_, name_.constData(), 0);
}

void ReplacingFile::Forget(const Kept& k) const {
    if (k.old) ::unlinkat(dir_, k.old->constData(), 0);  // gone already when it was put back
}

void ReplacingFile::Commit() { CommitAll({this}); }

void ReplacingFile::CommitAll(std::initializer_list<ReplacingFile*> files) {
    for (const ReplacingFile* f : files) f->Flush();
    std::vector<std::pair<ReplacingFile*, Kept>> placed;
    try {
        for (ReplacingFile* f : files) placed.emplace_back(f, f->PutInPlace(files.size() > 1));
    } catch (const ReplaceError&) {
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            it->first->Undo(it->second);
            it->first->Forget(it->second);
        }
        throw;
    }
    for (auto& [f, k] : placed) {
        f->Forget(k);
        ::fsync(f->dir_);  // the new names on disk too
    }
}

}  // namespace qm::files
