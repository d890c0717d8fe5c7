// Message formatting for the package's exceptions.
#include "util/exceptions.h"

#include <cstdio>

namespace lm {

std::string FloatToStr(double value); // util/sysutils.h

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const char kind = pattern[i + 1];
        if (kind == '%') {
            out += '%';
            ++i;
            continue;
        }
        if ((kind != 's' && kind != 'd' && kind != 'f' && kind != 'g') || next == args.end()) {
            out += c;
            continue;
        }
        const auto& arg = (next++)->value;
        if (auto s = std::get_if<std::string_view>(&arg))
            out.append(*s);
        else if (auto n = std::get_if<int64_t>(&arg))
            out += std::to_string(*n);
        else
            out += FloatToStr(std::get<double>(arg));
        ++i;
    }
    return out;
}

} // namespace lm
