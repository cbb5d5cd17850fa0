#pragma once
// Why a file could not be written, read or copied, in the person's words: the causes a person
// can act on (no permission, a folder in the way, a full disk ...) in Chinese, whatever the
// machine's locale, and the rarer ones with the system's number, never the C library's English.

#include <QString>

#include <stdexcept>

namespace qm {

QString SystemErrorText(int err);

// A file operation that failed with `err`; its text is SystemErrorText(err).
class SystemError : public std::runtime_error {
public:
    explicit SystemError(int err);
    int Code() const { return code_; }
    QString Text() const { return QString::fromUtf8(what()); }

private:
    int code_;
};

}  // namespace qm
