// Bounded little-endian reads and the matching writes of the version-2 report stream.
#include "report/frfstream.h"

#include <cstring>

namespace lm {

EFrfError::EFrfError() : Exception("Error in frf file") {}

void TfrStreamReader::need(std::size_t count) const
{
    if (count > m_data.size() - m_pos)
        throw EFrfError();
}

void TfrStreamReader::Seek(std::size_t pos)
{
    if (pos > m_data.size())
        throw EFrfError();
    m_pos = pos;
}

uint8_t TfrStreamReader::ReadByte()
{
    need(1);
    return static_cast<uint8_t>(m_data[m_pos++]);
}

uint16_t TfrStreamReader::ReadWord()
{
    need(2);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.data() + m_pos);
    m_pos += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int16_t TfrStreamReader::ReadInt16()
{
    return static_cast<int16_t>(ReadWord());
}

int32_t TfrStreamReader::ReadInt32()
{
    need(4);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.data() + m_pos);
    m_pos += 4;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

double TfrStreamReader::ReadDouble()
{
    need(8);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(static_cast<unsigned char>(m_data[m_pos + i])) << (8 * i);
    m_pos += 8;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string TfrStreamReader::ReadBytes(std::size_t count)
{
    need(count);
    std::string out(m_data.substr(m_pos, count));
    m_pos += count;
    return out;
}

std::string TfrStreamReader::ReadString()
{
    return ReadBytes(ReadWord());
}

std::string TfrStreamReader::ReadShortString()
{
    return ReadBytes(ReadByte());
}

std::vector<std::string> TfrStreamReader::ReadStrings()
{
    const int32_t count = ReadInt32();
    if (count < 0 || static_cast<std::size_t>(count) > Remaining() / 2)
        throw EFrfError();
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        list.push_back(ReadString());
    return list;
}

void TfrStreamWriter::WriteWord(uint16_t v)
{
    m_data.push_back(static_cast<char>(v & 0xFF));
    m_data.push_back(static_cast<char>(v >> 8));
}

void TfrStreamWriter::WriteInt32(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        m_data.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void TfrStreamWriter::WriteDouble(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        m_data.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void TfrStreamWriter::WriteString(std::string_view s)
{
    if (s.size() > 0xFFFF)
        throw Exception("Text too long for a report file: " + std::to_string(s.size()) + " bytes");
    WriteWord(static_cast<uint16_t>(s.size()));
    m_data.append(s);
}

void TfrStreamWriter::WriteShortString(std::string_view s)
{
    if (s.size() > 0xFF)
        throw Exception("Text too long for a report file: " + std::to_string(s.size()) + " bytes");
    WriteByte(static_cast<uint8_t>(s.size()));
    m_data.append(s);
}

void TfrStreamWriter::WriteStrings(const std::vector<std::string>& list)
{
    WriteInt32(static_cast<int32_t>(list.size()));
    for (const std::string& s : list)
        WriteString(s);
}

void TfrStreamWriter::Patch32(std::size_t at, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        m_data[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

} // namespace lm
