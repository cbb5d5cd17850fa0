#include "core/files/ReplacingFile.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qm::files {

namespace {
QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }
}  // namespace

ReplacingFile::ReplacingFile(QString target) : target_(std::move(target)), temp_(target_ + QStringLiteral(".tmp")) {}

ReplacingFile::~ReplacingFile() {
    if (!done_) ::unlink(QFile::encodeName(temp_).constData());
}

void ReplacingFile::Flush() const {
    const int fd = ::open(QFile::encodeName(temp_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ReplaceError(SystemError());
    const bool ok = ::fsync(fd) == 0;
    const QString why = ok ? QString() : SystemError();
    ::close(fd);
    if (!ok) throw ReplaceError(why);
}

void ReplacingFile::Rename() {
    if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw ReplaceError(SystemError());
    done_ = true;
}

void ReplacingFile::Commit() { CommitAll({this}); }

void ReplacingFile::CommitAll(std::initializer_list<ReplacingFile*> files) {
    for (const ReplacingFile* f : files) f->Flush();
    for (ReplacingFile* f : files) f->Rename();
}

}  // namespace qm::files
