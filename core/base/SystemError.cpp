#include "core/base/SystemError.h"

#include <cerrno>

namespace qm {

QString SystemErrorText(int err) {
    switch (err) {
    case EACCES:
    case EPERM: return QStringLiteral("没有权限（请检查文件及其文件夹的权限）");
    case EISDIR: return QStringLiteral("已有同名的文件夹占用了这个文件名");
    case ENOTDIR: return QStringLiteral("路径中有一项是文件而不是文件夹");
    case ENOSPC: return QStringLiteral("磁盘已满");
    case EDQUOT: return QStringLiteral("超出了磁盘配额");
    case EFBIG: return QStringLiteral("文件超出了允许的大小");
    case EROFS: return QStringLiteral("文件系统是只读的");
    case EEXIST: return QStringLiteral("文件已存在");
    case ENOENT: return QStringLiteral("文件或文件夹不存在");
    case ENAMETOOLONG: return QStringLiteral("文件名或路径太长");
    case ELOOP: return QStringLiteral("路径中的符号链接不能使用");
    case EIO: return QStringLiteral("磁盘读写错误");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("文件正被使用");
    case EMFILE:
    case ENFILE: return QStringLiteral("打开的文件太多");
    case ENOMEM: return QStringLiteral("内存不足");
    default: return QStringLiteral("系统错误（代码 %1）").arg(err);
    }
}

SystemError::SystemError(int err) : std::runtime_error(SystemErrorText(err).toStdString()), code_(err) {}

}  // namespace qm
