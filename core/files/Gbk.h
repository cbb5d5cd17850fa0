#pragma once
// GBK at the edges that need it (dBase upload files), through glibc's iconv. Inside the
// program every text is UTF-8.

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace qm::gbk {

// One conversion state, opened once and reused for many values (opening iconv per value
// would dominate the time of a large upload).
class Encoder {
public:
    Encoder();
    ~Encoder();
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Appends the GBK bytes of `text` to `out`; answers false, leaving `out` as it was,
    // when a character has no GBK form.
    bool Encode(QStringView text, std::string& out);

private:
    void* cd_;  // iconv_t
};

// GBK bytes back to text (for readers of our files and for tests); undecodable bytes give U+FFFD.
QString Decode(std::string_view gbk);

}  // namespace qm::gbk
