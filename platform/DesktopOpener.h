#pragma once
// Handing a document or a folder to the desktop. The desktop's launcher (xdg-open) reports
// a file nobody can open only on its error output, after the program has moved on; so the
// desktop is first asked which program it would use, and a path without one is never handed
// over: the caller can tell the person instead.

#include <QString>

#include <optional>

namespace qm {

class DesktopOpener {
public:
    // The MIME type the desktop files the path under ("inode/directory" for a folder).
    static QString MimeTypeOf(const QString& path);
    // The desktop's default program (its .desktop file) for a MIME type: empty when none is
    // set, nothing when the desktop cannot be asked.
    static std::optional<QString> DefaultProgram(const QString& mimeType);
    // Opens the path with the default program; false when there is none or the launch failed.
    static bool Open(const QString& path);
};

}  // namespace qm
