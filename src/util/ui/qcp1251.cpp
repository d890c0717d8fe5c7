// QString conversion of Windows-1251 text.
#include "util/ui/qcp1251.h"

#include "util/cp1251.h"

namespace lm {

QString ToQString(std::string_view cp1251)
{
    QString out(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char c : cp1251) {
        const auto byte = static_cast<unsigned char>(c);
        *dst++ = QChar(byte < 0x80 ? char16_t(byte) : cp1251ToUnicode(byte));
    }
    return out;
}

std::optional<std::string> FromQString(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const int byte = detail::cp1251FromUnicode(ch.unicode());
        // Byte 0x98 has no character; a surrogate half or any other unlisted character fails.
        if (byte < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

bool FitsCp1251(const QString& text)
{
    return FromQString(text).has_value();
}

} // namespace lm
