// Separator counting and line wrapping.
#include "util/lmstrutils.h"

namespace lm {

int SeparateQuantity(std::string_view text, std::string_view sep)
{
    if (text.empty() || sep.empty())
        return 0;
    int count = 0;
    for (std::size_t at = text.find(sep); at != std::string_view::npos; at = text.find(sep, at + 1))
        ++count;
    return count;
}

std::string GetSeparateText(std::string_view s, int width)
{
    if (width < 1)
        return std::string(s);
    const auto w = static_cast<std::size_t>(width);
    std::string out;
    out.reserve(s.size() + s.size() / w * 2);
    while (s.size() > w) {
        const std::size_t blank = s.substr(0, w).rfind(' ');
        const std::size_t cut = blank == std::string_view::npos ? w : blank + 1;
        out.append(s.substr(0, cut));
        out += "\r\n";
        s.remove_prefix(cut);
    }
    out.append(s);
    return out;
}

} // namespace lm
