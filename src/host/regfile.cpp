// Reading and writing .reg files.
#include "host/regfile.h"

#include <cstdio>
#include <optional>

#include "util/cp1251.h"

namespace lm {

namespace {

const char* const kRegedit4 = "REGEDIT4";
const char* const kVersion5 = "Windows Registry Editor Version 5.00";
const char* const kRoots[] = {"HKEY_CURRENT_USER", "HKCU"};

bool validUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

// The file's text in Windows-1251: UTF-16LE after its byte-order mark, UTF-8 after its mark or
// in a version 5.00 file without a mark (as our own export prints it), else the bytes as they are.
std::string decode(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return utf16ToCp1251(text);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return utf8ToCp1251(bytes.substr(3));
    if (bytes.substr(0, std::string_view(kVersion5).size()) == kVersion5 && validUtf8(bytes))
        return utf8ToCp1251(bytes);
    return std::string(bytes);
}

std::string trimRight(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::string trimLeft(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class Reader {
public:
    explicit Reader(const std::string& text)
    {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            m_lines.push_back(trimRight(text.substr(start, end - start)));
            start = end + 1;
        }
    }

    TRegFileContents Read()
    {
        size_t i = 0;
        while (i < m_lines.size() && m_lines[i].empty())
            ++i;
        if (i == m_lines.size() || (m_lines[i] != kRegedit4 && m_lines[i] != kVersion5))
            throw ERegFileError(static_cast<int>(i < m_lines.size() ? i + 1 : 1), "неизвестный формат файла реестра"_w);
        for (++i; i < m_lines.size(); ++i) {
            const int lineNo = static_cast<int>(i + 1);
            std::string line = trimLeft(m_lines[i]);
            if (line.empty() || line[0] == ';')
                continue;
            // hex data continues over lines ending in a backslash
            while (line.back() == '\\' && line.find("=hex") != std::string::npos && i + 1 < m_lines.size())
                line = line.substr(0, line.size() - 1) + trimLeft(m_lines[++i]);
            if (line[0] == '[')
                keyLine(line, lineNo);
            else if (line[0] == '"' || line[0] == '@')
                valueLine(line, lineNo);
            else
                throw ERegFileError(lineNo, "ожидается раздел или параметр"_w);
        }
        return std::move(m_out);
    }

private:
    void keyLine(const std::string& line, int lineNo)
    {
        if (line.back() != ']' || line.size() < 3)
            throw ERegFileError(lineNo, "ожидается ']'"_w);
        m_sawKey = true;
        std::string path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path[0] == '-';
        if (remove)
            path.erase(0, 1);
        const size_t slash = path.find('\\');
        const std::string root = upperCase(path.substr(0, slash));
        bool known = false;
        for (const char* r : kRoots)
            known = known || root == r;
        if (!known) {
            m_key.reset();
            m_out.Skipped.push_back(Format("Строка %d: раздел %s пропущен: импортируется только HKEY_CURRENT_USER"_w,
                                           {lineNo, path}));
            return;
        }
        const std::string canon = canonicalRegPath(slash == std::string::npos ? std::string() : path.substr(slash + 1));
        if (canon.empty() && remove)
            throw ERegFileError(lineNo, "нельзя удалить корень HKEY_CURRENT_USER"_w);
        if (remove) {
            m_key.reset();
            m_out.Ops.push_back({TRegFileOp::rkDeleteKey, canon, {}, {}, lineNo});
        } else {
            m_key = canon;
            m_out.Ops.push_back({TRegFileOp::rkCreateKey, canon, {}, {}, lineNo});
        }
    }

    // A quoted text starting at line[pos] (the opening quote); returns the position after the
    // closing quote.
    static size_t quoted(const std::string& line, size_t pos, std::string& out, int lineNo)
    {
        out.clear();
        for (size_t i = pos + 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\') {
                if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"'))
                    throw ERegFileError(lineNo, "недопустимая escape-последовательность"_w);
                out += line[++i];
            } else if (c == '"') {
                return i + 1;
            } else {
                out += c;
            }
        }
        throw ERegFileError(lineNo, "незакрытая кавычка"_w);
    }

    void valueLine(const std::string& line, int lineNo)
    {
        if (!m_sawKey)
            throw ERegFileError(lineNo, "параметр вне раздела"_w);
        std::string name;
        size_t pos = 1;
        if (line[0] == '"')
            pos = quoted(line, 0, name, lineNo);
        if (pos >= line.size() || line[pos] != '=')
            throw ERegFileError(lineNo, "ожидается '='"_w);
        const std::string data = line.substr(pos + 1);
        TRegFileOp op{TRegFileOp::rkSetValue, {}, name, {}, lineNo};
        if (data == "-") {
            op.Kind = TRegFileOp::rkDeleteValue;
        } else if (!data.empty() && data[0] == '"') {
            std::string text;
            if (quoted(data, 0, text, lineNo) != data.size())
                throw ERegFileError(lineNo, "лишний текст после строки"_w);
            op.Value = TRegValue::String(text);
        } else if (data.compare(0, 6, "dword:") == 0) {
            const std::string digits = data.substr(6);
            if (digits.empty() || digits.size() > 8)
                throw ERegFileError(lineNo, "недопустимое значение dword"_w);
            uint32_t v = 0;
            for (char c : digits) {
                if (!isHexDigit(c))
                    throw ERegFileError(lineNo, "недопустимое значение dword"_w);
                v = v * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
            }
            op.Value = TRegValue::Integer(static_cast<int32_t>(v));
        } else if (data.compare(0, 3, "hex") == 0) {
            checkHex(data, lineNo);
            if (m_key)
                m_out.Skipped.push_back(Format("Строка %d: параметр %s пропущен: двоичные и прочие типы не поддерживаются"_w,
                                               {lineNo, name.empty() ? std::string("@") : name}));
            return;
        } else {
            throw ERegFileError(lineNo, "неизвестный тип значения"_w);
        }
        if (!m_key)
            return;  // a value of a skipped or deleted key
        op.Key = *m_key;
        m_out.Ops.push_back(std::move(op));
    }

    // hex:bb,bb,... or hex(N):bb,... - checked so a mangled line is an error, not silently taken.
    static void checkHex(const std::string& data, int lineNo)
    {
        size_t p = 3;
        if (p < data.size() && data[p] == '(') {
            const size_t close = data.find(')', p);
            if (close == std::string::npos || close == p + 1)
                throw ERegFileError(lineNo, "недопустимые двоичные данные"_w);
            for (size_t i = p + 1; i < close; ++i)
                if (!isHexDigit(data[i]))
                    throw ERegFileError(lineNo, "недопустимые двоичные данные"_w);
            p = close + 1;
        }
        if (p >= data.size() || data[p] != ':')
            throw ERegFileError(lineNo, "недопустимые двоичные данные"_w);
        const std::string bytes = data.substr(p + 1);
        size_t i = 0;
        while (i < bytes.size()) {
            while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t'))
                ++i;
            if (i + 1 >= bytes.size() || !isHexDigit(bytes[i]) || !isHexDigit(bytes[i + 1]))
                throw ERegFileError(lineNo, "недопустимые двоичные данные"_w);
            i += 2;
            while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t'))
                ++i;
            if (i < bytes.size() && bytes[i++] != ',')
                throw ERegFileError(lineNo, "недопустимые двоичные данные"_w);
        }
    }

    std::vector<std::string> m_lines;
    std::optional<std::string> m_key;  // the key values go into; none below a skipped or deleted key
    bool m_sawKey = false;
    TRegFileContents m_out;
};

std::string escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

void exportKey(TRegistryStore& store, const std::string& canon, std::string& out)
{
    out += "\r\n[HKEY_CURRENT_USER\\" + canon + "]\r\n";
    for (const std::string& name : store.ValueNames(canon)) {
        const std::optional<TRegValue> v = store.ReadValue(canon, name);
        if (!v)
            continue;
        out += name.empty() ? std::string("@") : "\"" + escaped(name) + "\"";
        if (v->Type == TRegValue::rdInteger) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%08x", static_cast<uint32_t>(v->Int));
            out += std::string("=dword:") + buf + "\r\n";
        } else {
            out += "=\"" + escaped(v->Str) + "\"\r\n";
        }
    }
    for (const std::string& sub : store.KeyNames(canon))
        exportKey(store, canon + "\\" + sub, out);
}

} // namespace

ERegFileError::ERegFileError(int line, const std::string& message)
    : Exception(Format("Строка %d: %s"_w, {line, message})), m_line(line)
{
}

TRegFileContents ParseRegFile(std::string_view bytes)
{
    return Reader(decode(bytes)).Read();
}

void ApplyRegFile(const TRegFileContents& contents, TRegistryStore& store)
{
    store.Batch([&] {
        for (const TRegFileOp& op : contents.Ops) {
            switch (op.Kind) {
            case TRegFileOp::rkCreateKey: store.CreateKey(op.Key); break;
            case TRegFileOp::rkDeleteKey: store.DeleteKey(op.Key); break;
            case TRegFileOp::rkSetValue:
                if (!store.WriteValue(op.Key, op.Name, op.Value))
                    throw ERegFileError(op.Line, "не удалось записать параметр"_w);
                break;
            case TRegFileOp::rkDeleteValue: store.DeleteValue(op.Key, op.Name); break;
            }
        }
    });
}

std::string ExportRegKey(TRegistryStore& store, const std::string& key)
{
    std::string path = key;
    for (const char* root : kRoots) {
        const std::string r = root;
        if (upperCase(path.substr(0, r.size())) == r && (path.size() == r.size() || path[r.size()] == '\\')) {
            path.erase(0, r.size());
            break;
        }
    }
    const std::string canon = canonicalRegPath(path);
    if (canon.empty() || !store.KeyExists(canon))
        throw Exception(Format("Раздел не найден: %s"_w, {key}));
    std::string out = std::string(kVersion5) + "\r\n";
    exportKey(store, canon, out);
    out += "\r\n";
    return cp1251ToUtf8(out);
}

} // namespace lm
