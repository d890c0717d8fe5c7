// KOI8-R to Windows-1251 and Windows-1251 to code page 866 tables, built once from the letter
// orders of the three code pages.
#include "util/codepages.h"


#include "util/cp1251.h"

namespace lm {

namespace {

struct Table {
    unsigned char map[256];
    Table()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = static_cast<unsigned char>(i < 0x80 ? i : '?');
    }
    void set(int from, char to) { map[from] = static_cast<unsigned char>(to); }
    // Maps the consecutive bytes from `from` to the bytes of `to`.
    void run(int from, const char* to)
    {
        for (std::size_t i = 0; to[i] != '\0'; ++i)
            set(from + static_cast<int>(i), to[i]);
    }
};

const Table& koiToWin()
{
    static const Table t = [] {
        Table k;
        // KOI8-R orders its letters after the Latin alphabet, lower case first.
        k.run(0xC0, "юабцдефгхийклмнопярстужвьызшэщчъ"_w);
        k.run(0xE0, "ЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ"_w);
        k.set(0xA3, "ё"_w[0]);
        k.set(0xB3, "Ё"_w[0]);
        k.set(0x9A, '\xA0');  // no-break space
        k.set(0x9C, '\xB0');  // degree sign
        k.set(0x9E, '\xB7');  // middle dot
        k.set(0xBF, '\xA9');  // copyright sign
        return k;
    }();
    return t;
}

const Table& winToOem()
{
    static const Table t = [] {
        Table o;
        for (int i = 0; i < 48; ++i)  // А..Я, а..п
            o.set(0xC0 + i, static_cast<char>(0x80 + i));
        for (int i = 0; i < 16; ++i)  // р..я
            o.set(0xF0 + i, static_cast<char>(0xE0 + i));
        const unsigned char pairs[][2] = {
            {0xA8, 0xF0}, {0xB8, 0xF1},  // Ё ё
            {0xAA, 0xF2}, {0xBA, 0xF3},  // Є є
            {0xAF, 0xF4}, {0xBF, 0xF5},  // Ї ї
            {0xA1, 0xF6}, {0xA2, 0xF7},  // Ў ў
            {0xB0, 0xF8}, {0xB7, 0xFA},  // degree sign, middle dot
            {0xB9, 0xFC}, {0xA4, 0xFD},  // numero sign, currency sign
            {0xA0, 0xFF},                // no-break space
        };
        for (const auto& p : pairs)
            o.set(p[0], static_cast<char>(p[1]));
        return o;
    }();
    return t;
}

void convert(const Table& t, char* p, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i)
        p[i] = static_cast<char>(t.map[static_cast<unsigned char>(p[i])]);
}

} // namespace

void Q_KoitoWin(std::string& s) { convert(koiToWin(), s.data(), s.size()); }

void Q_WintoOEM(std::string& s) { convert(winToOem(), s.data(), s.size()); }

void Q_PStrToOemL(char* p, std::size_t len)
{
    if (p != nullptr)
        convert(winToOem(), p, len);
}

} // namespace lm
