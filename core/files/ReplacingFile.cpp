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
#include <stdexcept>
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

std::function<void(int)>& PlacingHook() {
    static std::function<void(int)> hook;
    return hook;
}

void PlacingStep(int step) {
    if (PlacingHook()) PlacingHook()(step);
}

}  // namespace

// The earlier file of a target while a group is put in place.
struct ReplacingFile::Kept {
    FolderTemporary::Placing placing;
    bool move = false;  // the folder takes no second link: the target is moved onto the kept name
};

void ReplacingFile::SetNameSource(std::function<QByteArray()> next) { FolderTemporary::SetNameSource(std::move(next)); }

void ReplacingFile::SetPlacingHook(std::function<void(int)> hook) { PlacingHook() = std::move(hook); }

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

ReplacingFile::Kept ReplacingFile::Keep() const {
    Kept k;
    k.placing.target = name_;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(errno);
    k.placing.newInode = st.st_ino;
    if (::fstatat(dir_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) Fail(errno);
        return k;
    }
    if (S_ISDIR(st.st_mode)) Fail(EISDIR);
    k.placing.keptInode = st.st_ino;
    // The earlier target stays reachable under a name of the pattern: a second link to it, or,
    // where the folder takes none, a new file of its own that it is moved onto as the new one
    // takes its place (which a folder cannot be moved onto).
    int err = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray name = FolderTemporary::NewName(name_);
        if (::linkat(dir_, name_.constData(), dir_, name.constData(), 0) == 0) {
            k.placing.kept = name;
            return k;
        }
        err = errno;
        if (err != EEXIST) break;
    }
    if (err == ENOENT) {
        k.placing.keptInode = 0;  // gone meanwhile
        return k;
    }
    try {
        ::close(FolderTemporary::CreateExclusive(dir_, name_, k.placing.kept));
    } catch (const SystemError& e) {
        Fail(e.Code());
    }
    k.move = true;
    return k;
}

void ReplacingFile::PutInPlace(const Kept& k) {
    if (k.move && ::renameat(dir_, name_.constData(), dir_, k.placing.kept.constData()) != 0 && errno != ENOENT)
        Fail(errno);
    if (::renameat(dir_, temp_->Name().constData(), dir_, name_.constData()) != 0) Fail(errno);
    temp_->Placed();
}

void ReplacingFile::Commit() { CommitAll({this}); }

void ReplacingFile::CommitAll(std::initializer_list<ReplacingFile*> files) {
    ReplacingFile& first = **files.begin();
    struct stat folder {
    }, other{};
    ::fstat(first.dir_, &folder);
    for (const ReplacingFile* f : files) {
        if (::fstat(f->dir_, &other) != 0 || other.st_dev != folder.st_dev || other.st_ino != folder.st_ino)
            throw std::invalid_argument("files put in place together lie in one folder");
        f->Flush();
    }
    if (files.size() == 1) {
        first.PutInPlace({});
        ::fsync(first.dir_);  // the new name on disk too
        return;
    }
    // The mark, held from before the earlier files are kept until they go, names the group on
    // disk before the first file takes its place: whatever a killed run leaves, the next sweep
    // of the folder gives the earlier files back.
    std::optional<FolderTemporary> mark;
    std::vector<Kept> kept;
    try {
        try {
            mark.emplace(first.dir_, FolderTemporary::kMarkTarget);
        } catch (const SystemError& e) {
            first.Fail(e.Code());
        }
        std::vector<FolderTemporary::Placing> group;
        for (const ReplacingFile* f : files) group.push_back(kept.emplace_back(f->Keep()).placing);
        try {
            FolderTemporary::WriteMark(first.dir_, mark->Descriptor(), group);
        } catch (const SystemError& e) {
            first.Fail(e.Code());
        }
        int placed = 0;
        PlacingStep(placed);
        for (ReplacingFile* f : files) {
            f->PutInPlace(kept[size_t(placed)]);
            PlacingStep(++placed);
        }
    } catch (const ReplaceError&) {
        for (auto k = kept.rbegin(); k != kept.rend(); ++k) FolderTemporary::Unplace(first.dir_, k->placing);
        throw;  // the mark goes with it
    }
    ::fsync(first.dir_);  // the new names on disk before the mark goes
    mark.reset();
    ::fsync(first.dir_);  // and the mark gone before the earlier files go
    PlacingStep(int(files.size()) + 1);
    for (const Kept& k : kept)
        if (!k.placing.kept.isEmpty()) ::unlinkat(first.dir_, k.placing.kept.constData(), 0);
}

}  // namespace qm::files
