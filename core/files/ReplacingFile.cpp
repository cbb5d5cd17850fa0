#include "core/files/ReplacingFile.h"

#include "core/base/FolderTemporary.h"
#include "core/base/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <optional>
#include <vector>

namespace qm::files {

namespace {

constexpr int kAttempts = 100;

// Makes `folder` and every missing folder above it; the system's reason when one cannot be
// made, or ENOTDIR where a file stands in the way.
int MakeFolders(const QString& folder) {
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    for (qsizetype at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const QByteArray part = path.left(at);
        if (::mkdir(part.constData(), 0777) == 0) continue;
        const int err = errno;
        struct stat st {};
        if (::stat(part.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return ENOTDIR;
        } else if (err != EEXIST) {
            return err;
        }
    }
    return 0;
}

}  // namespace

// The earlier content of a target while a group is put in place.
struct ReplacingFile::Kept {
    std::optional<QByteArray> old;  // its name in the folder; none when there was no target
};

void ReplacingFile::SetNameSource(std::function<QByteArray()> next) { FolderTemporary::SetNameSource(std::move(next)); }

ReplacingFile::ReplacingFile(QString target) : target_(std::move(target)) {
    const QFileInfo info(target_);
    const QString folder = info.absolutePath();
    name_ = QFile::encodeName(info.fileName());
    if (const int err = MakeFolders(folder))
        throw ReplaceError(
            target_,
            QStringLiteral("无法建立文件夹“%1”：%2").arg(QDir::toNativeSeparators(folder), SystemErrorText(err)));
    dir_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_ < 0) Fail(errno);
    try {
        temp_ = std::make_unique<FolderTemporary>(dir_, name_);
    } catch (const SystemError& e) {
        ::close(dir_);  // no destructor runs for an object that was never made
        throw ReplaceError(target_, e.Text());
    }
    fd_ = temp_->Descriptor();
}

ReplacingFile::~ReplacingFile() {
    temp_.reset();  // removes the temporary file unless it was put in place
    if (dir_ >= 0) ::close(dir_);
}

QString ReplacingFile::DescriptorPath() const { return QStringLiteral("/proc/self/fd/%1").arg(fd_); }

void ReplacingFile::Fail(int err) const { throw ReplaceError(target_, SystemErrorText(err)); }

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
            const QByteArray name = FolderTemporary::NewName(name_);
            if (::linkat(dir_, name_.constData(), dir_, name.constData(), 0) == 0) {
                k.old = name;
                break;
            }
            err = errno;
            if (err != EEXIST) break;
        }
        if (!k.old && err != ENOENT) {
            QByteArray name;
            try {
                ::close(FolderTemporary::CreateExclusive(dir_, name_, name));
            } catch (const SystemError& e) {
                Fail(e.Code());
            }
            if (::renameat(dir_, name_.constData(), dir_, name.constData()) == 0) {
                k.old = name;
            } else {
                err = errno;
                ::unlinkat(dir_, name.constData(), 0);
                if (err != ENOENT) Fail(err);
            }
        }
    }
    if (::renameat(dir_, temp_->Name().constData(), dir_, name_.constData()) != 0) {
        const int err = errno;
        Undo(k);
        Forget(k);
        Fail(err);
    }
    temp_->Placed();
    done_ = true;
    return k;
}

// Puts the earlier content back, or removes the new file when there was none.
void ReplacingFile::Undo(const Kept& k) const {
    if (k.old)
        ::renameat(dir_, k.old->constData(), dir_, name_.constData());
    else if (done_ && FolderTemporary::NameIs(dir_, name_, fd_))
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
