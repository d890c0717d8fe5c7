// Little-endian binary reading and writing over a byte buffer, with the string forms of the
// version-2 report files (16-bit length strings, 32-bit counted string lists).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/exceptions.h"

namespace lm {

// Raised by TfrStreamReader for any read past the end of the buffer or a seek outside it. It
// carries the converter's own message, so an unreadable file reports "Error in frf file".
class EFrfError : public Exception {
public:
    EFrfError();
};

// Reads a buffer it does not own; every read is checked against the end.
class TfrStreamReader {
public:
    explicit TfrStreamReader(std::string_view data) : m_data(data) {}

    std::size_t Position() const { return m_pos; }
    std::size_t Size() const { return m_data.size(); }
    bool AtEnd() const { return m_pos >= m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_pos; }
    // Raises EFrfError for a position beyond the end.
    void Seek(std::size_t pos);

    uint8_t ReadByte();
    int16_t ReadInt16();
    uint16_t ReadWord();
    int32_t ReadInt32();
    double ReadDouble();
    std::string ReadBytes(std::size_t count);
    // A 16-bit length and that many bytes.
    std::string ReadString();
    // A string with a one-byte length.
    std::string ReadShortString();
    // A 32-bit count and that many strings. A count that the remaining bytes cannot hold is an
    // error, so a damaged count never allocates more than the buffer's size.
    std::vector<std::string> ReadStrings();

private:
    void need(std::size_t count) const;
    std::string_view m_data;
    std::size_t m_pos = 0;
};

// Appends to a growing buffer; Patch32 fills in a position written earlier as a placeholder.
class TfrStreamWriter {
public:
    const std::string& Data() const { return m_data; }
    std::size_t Position() const { return m_data.size(); }

    void WriteByte(uint8_t v) { m_data.push_back(static_cast<char>(v)); }
    void WriteInt16(int16_t v) { WriteWord(static_cast<uint16_t>(v)); }
    void WriteWord(uint16_t v);
    void WriteInt32(int32_t v);
    void WriteDouble(double v);
    void WriteBytes(std::string_view bytes) { m_data.append(bytes); }
    // Longer texts than the 16-bit (8-bit) length can describe raise lm::Exception.
    void WriteString(std::string_view s);
    void WriteShortString(std::string_view s);
    void WriteStrings(const std::vector<std::string>& list);
    void Patch32(std::size_t at, int32_t v);

private:
    std::string m_data;
};

} // namespace lm
