#include "platform/qt/cp1252.h"

namespace platform {

namespace {
// 80h..9Fh; 0 marks the five unassigned codes (kept as the C1 control of that value).
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
} // namespace

QString fromCp1252(const std::string& bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) {
        if (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80])
            out.append(QChar(kHigh[c - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(c)));
    }
    return out;
}

QString fromCp1252Lines(const std::string& bytes)
{
    QString out = fromCp1252(bytes);
    out.replace("\r\n", "\n");
    return out;
}

std::string toCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar qc : text) {
        const char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || (u >= 0x80 && u <= 0x9F && !kHigh[u - 0x80])) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char found = '?';
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] && kHigh[i] == u)
                found = static_cast<char>(0x80 + i);
        out.push_back(found);
    }
    return out;
}

} // namespace platform
