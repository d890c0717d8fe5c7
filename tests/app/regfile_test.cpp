// Registry export files: both file forms read into a store, malformed files refused with their
// line and nothing changed, and a key exported and read back through the SQLite store.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "host/regfile.h"
#include "host/registrystore.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"
#include "../util/messageof.h"

namespace {

using namespace lm;
using lm::test::messageOf;

std::string utf16File(const std::string& utf8)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : cp1251ToUtf16(utf8ToCp1251(utf8))) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string str(TRegistryStore& s, const std::string& key, const std::string& name)
{
    const auto v = s.ReadValue(key, name);
    return !v ? "<none>" : v->Type == TRegValue::rdInteger ? "int:" + std::to_string(v->Int) : v->Str;
}

TEST(RegFile, ReadsBothFormsIntoTheStore)
{
    const std::string text =
        "[HKEY_CURRENT_USER\\Software\\Lumora\\Цвета]\r\n"
        "; a comment\r\n"
        "@=\"по умолчанию\"\r\n"
        "\"Путь\"=\"C:\\\\Program Files\\\\\\\"LM\\\"\"\r\n"
        "\"Count\"=dword:0000000a\r\n"
        "\"Minus\"=dword:FFFFFFFF\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03,04\r\n"
        "\"Old\"=-\r\n"
        "\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Lumora\\Stale]\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
        "\"Ignored\"=\"x\"\r\n";
    for (const std::string& bytes : {"REGEDIT4\r\n\r\n" + utf8ToCp1251(text),
                                     utf16File("Windows Registry Editor Version 5.00\r\n\r\n" + text)}) {
        TMemoryRegistryStore store;
        store.CreateKey("Software\\Lumora\\Stale\\Deep");
        store.CreateKey("Software\\Lumora\\Цвета"_w);
        store.WriteValue("Software\\Lumora\\Цвета"_w, "Old", TRegValue::String("gone"));
        const TRegFileContents contents = ParseRegFile(bytes);
        ApplyRegFile(contents, store);
        const std::string key = "Software\\Lumora\\Цвета"_w;
        EXPECT_EQ(str(store, key, ""), "по умолчанию"_w);
        EXPECT_EQ(str(store, key, "Путь"_w), "C:\\Program Files\\\"LM\"");
        EXPECT_EQ(str(store, key, "Count"), "int:10");
        EXPECT_EQ(str(store, key, "Minus"), "int:-1");
        EXPECT_EQ(str(store, key, "Old"), "<none>");
        EXPECT_EQ(str(store, key, "Blob"), "<none>");
        EXPECT_FALSE(store.KeyExists("Software\\Lumora\\Stale"));
        EXPECT_FALSE(store.KeyExists("Software\\Other"));
        EXPECT_EQ(contents.Skipped,
                  (std::vector<std::string>{
                      "Строка 9: параметр Blob пропущен: двоичные и прочие типы не поддерживаются"_w,
                      "Строка 14: раздел HKEY_LOCAL_MACHINE\\Software\\Other пропущен: импортируется только HKEY_CURRENT_USER"_w}));
    }
}

TEST(RegFile, MalformedFilesNameTheirLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"REGEDIT5\r\n", "Строка 1: неизвестный формат файла реестра"},
        {"", "Строка 1: неизвестный формат файла реестра"},
        {"REGEDIT4\r\n\"a\"=\"b\"\r\n", "Строка 2: параметр вне раздела"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A\r\n", "Строка 2: ожидается ']'"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"b\r\n", "Строка 3: незакрытая кавычка"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"b\\n\"\r\n", "Строка 3: недопустимая escape-последовательность"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"b\"c\r\n", "Строка 3: лишний текст после строки"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=dword:1234567890\r\n", "Строка 3: недопустимое значение dword"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=dword:xyz\r\n", "Строка 3: недопустимое значение dword"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=qword:1\r\n", "Строка 3: неизвестный тип значения"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=hex:1,zz\r\n", "Строка 3: недопустимые двоичные данные"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"\r\n", "Строка 3: ожидается '='"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\r\nvalue\r\n", "Строка 4: ожидается раздел или параметр"},
        {"REGEDIT4\r\n[-HKEY_CURRENT_USER]\r\n", "Строка 2: нельзя удалить корень HKEY_CURRENT_USER"},
    };
    for (const auto& [file, message] : cases)
        EXPECT_EQ(messageOf<ERegFileError>([&] { ParseRegFile(file); }), utf8ToCp1251(message)) << file;
}

class RegFileSqlite : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-regfile-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        store = std::make_unique<TSqliteRegistryStore>((dir / "registry.db").string());
    }
    void TearDown() override
    {
        store.reset();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    std::unique_ptr<TSqliteRegistryStore> store;
};

TEST_F(RegFileSqlite, AFailingBatchLeavesNothingBehind)
{
    store->CreateKey("Keep");
    EXPECT_THROW(store->Batch([&] {
        store->CreateKey("New\\Key");
        store->WriteValue("Keep", "v", TRegValue::Integer(1));
        store->DeleteKey("Keep");
        throw Exception("stop");
    }), Exception);
    EXPECT_TRUE(store->KeyExists("Keep"));
    EXPECT_FALSE(store->KeyExists("New"));
    EXPECT_FALSE(store->ReadValue("Keep", "v"));
    // and a batch that ends well keeps everything, with later single changes working as before
    store->Batch([&] { store->CreateKey("New\\Key"); });
    store->WriteValue("New\\Key", "x", TRegValue::String("y"));
    EXPECT_EQ(str(*store, "New\\Key", "x"), "y");
}

TEST_F(RegFileSqlite, ExportReadsBackTheSameTree)
{
    store->CreateKey("Software\\Lumora\\Цвета\\0"_w);
    store->WriteValue("Software\\Lumora\\Цвета"_w, "", TRegValue::String("def"));
    store->WriteValue("Software\\Lumora\\Цвета\\0"_w, "Value", TRegValue::String("<Цена> > \"1\" \\ 2"_w));
    store->WriteValue("Software\\Lumora\\Цвета\\0"_w, "Type", TRegValue::Integer(-16777211));
    const std::string text = ExportRegKey(*store, "HKEY_CURRENT_USER\\Software\\Lumora");
    EXPECT_EQ(text,
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Lumora]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Lumora\\Цвета]\r\n@=\"def\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Lumora\\Цвета\\0]\r\n\"Type\"=dword:ff000005\r\n"
              "\"Value\"=\"<Цена> > \\\"1\\\" \\\\ 2\"\r\n\r\n");
    EXPECT_EQ(ExportRegKey(*store, "\\Software\\Lumora"), text);
    TMemoryRegistryStore copy;
    ApplyRegFile(ParseRegFile(text), copy);
    EXPECT_EQ(ExportRegKey(copy, "\\Software\\Lumora"), text);
    EXPECT_EQ(messageOf([&] { ExportRegKey(*store, "\\Software\\Nothing"); }), "Раздел не найден: \\Software\\Nothing"_w);
}

} // namespace
