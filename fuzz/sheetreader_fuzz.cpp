// Fuzz target: the xlsx/ods reader. An input that starts with "PK" is read as a zip archive as
// it stands; any other input lists archive parts as text, each introduced by a line
// "@@ <part name>", and is packed into a zip first, so the fuzzer reaches the XML of the parts
// without having to forge checksums. Every sheet is read and every cell visited. Errors must
// arrive as lm::Exception; anything else is a finding.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/sheetreader.h"
#include "util/exceptions.h"

namespace {

struct Part {
    std::string name;
    std::string_view data;
};

std::vector<Part> splitParts(std::string_view text)
{
    std::vector<Part> parts;
    size_t pos = 0;
    while ((pos = text.find("@@ ", pos)) != std::string_view::npos) {
        const size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos)
            break;
        const size_t next = text.find("\n@@ ", eol);
        const size_t end = next == std::string_view::npos ? text.size() : next;
        parts.push_back({std::string(text.substr(pos + 3, eol - pos - 3)), text.substr(eol + 1, end - eol - 1)});
        pos = end;
    }
    return parts;
}

// The parts packed into a zip in memory; empty when libzip refuses them.
std::string packParts(const std::vector<Part>& parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* za = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    std::string out;
    if (za) {
        zip_source_keep(buffer);
        for (const Part& part : parts)
            if (zip_source_t* src = zip_source_buffer(za, part.data.data(), part.data.size(), 0))
                if (zip_file_add(za, part.name.c_str(), src, ZIP_FL_OVERWRITE) < 0)
                    zip_source_free(src);
        if (zip_close(za) != 0)
            zip_discard(za);
        else if (zip_source_open(buffer) == 0) {
            char chunk[4096];
            zip_int64_t n;
            while ((n = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
                out.append(chunk, static_cast<size_t>(n));
            zip_source_close(buffer);
        }
        zip_source_free(buffer);
    } else if (buffer) {
        zip_source_free(buffer);
    }
    zip_error_fini(&error);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string packed = input.starts_with("PK") ? std::string(input) : packParts(splitParts(input));
    try {
        auto file = lm::TSheetFile::FromMemory(packed.data(), packed.size(), "fuzz");
        for (int i = 0; i < file->SheetCount(); ++i) {
            const lm::TReadSheet& sheet = file->Sheet(i);
            size_t text = 0;
            for (const auto& [row, cells] : sheet.Rows())
                for (const auto& [col, cell] : cells)
                    text += cell.Text.size() + cell.Value.AsString().size();
            (void)text;
        }
    } catch (const lm::Exception&) {
    }
    return 0;
}
