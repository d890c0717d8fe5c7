// The .frf reader and writer: round trips per file version, damaged and truncated streams.
#include <gtest/gtest.h>

#include "report/frfstream.h"
#include "report/frmodel.h"
#include "samplereports.h"
#include "../util/messageof.h"

using namespace lm;
using lm::test::messageOf;
using lmtest::sampleReport;

namespace {

std::unique_ptr<TfrReport> read(const std::string& data)
{
    auto rep = std::make_unique<TfrReport>();
    rep->LoadFromStream(data);
    return rep;
}

TEST(FrfFormat, WrittenReportReadsBackEqualInVersions23To25)
{
    for (uint8_t v : {23, 24, 25}) {
        SCOPED_TRACE(int(v));
        auto rep = sampleReport(v);
        const std::string data = rep->SaveToStream(v);
        auto back = read(data);
        EXPECT_EQ(back->Version(), v);
        if (v == 23) {
            // Version 23 has no object scripts, type bytes or dialog pages: compare what it holds.
            EXPECT_EQ(back->SaveToStream(v), data);
            EXPECT_EQ(back->Pages[0]->Objects.size(), rep->Pages[0]->Objects.size());
        } else {
            EXPECT_TRUE(back->SameAs(*rep));
        }
    }
}

TEST(FrfFormat, Version21FilesGetGeneratedNamesAndReadBackToTheSameBytes)
{
    auto rep = sampleReport(21);
    const std::string data = rep->SaveToStream(21);
    auto back = read(data);
    EXPECT_EQ(back->SaveToStream(21), data);
    const auto& objs = back->Pages[0]->Objects;
    EXPECT_EQ(objs[0]->Name, "Band1");
    EXPECT_EQ(objs[22]->Name, "Memo1");
    EXPECT_EQ(objs[23]->Name, "Memo2");
    EXPECT_EQ(static_cast<TfrMemoView&>(*objs[22]).Charset, 1);
}

TEST(FrfFormat, BadRecordByteAndTruncatedStreamsFailCleanly)
{
    const std::string data = sampleReport(25)->SaveToStream(25);
    // Every prefix either reads (records lost at the cut) or raises the file error.
    for (std::size_t n = 0; n < data.size(); n += 7) {
        TfrReport rep;
        try {
            rep.LoadFromStream(data.substr(0, n));
        } catch (const EFrfError& e) {
            EXPECT_EQ(e.Message(), "Error in frf file");
        }
    }
    std::string bad = TfrReport().SaveToStream(25);
    bad.back() = '\x0B';  // the end record replaced by an unknown record byte
    EXPECT_EQ(messageOf([&] { read(bad); }), "Error in frf file");
}

// Offset of the first object record: after the version, header and the page record.
std::size_t firstObjectAt(const TfrReport& rep, uint8_t v)
{
    TfrReport onlyPage;
    onlyPage.PrintToDefault = rep.PrintToDefault;
    onlyPage.DoublePass = rep.DoublePass;
    onlyPage.PrinterName = rep.PrinterName;
    onlyPage.Pages.push_back(std::make_unique<TfrPage>(*rep.Pages[0]));
    onlyPage.Pages[0]->Objects.clear();
    std::string s = onlyPage.SaveToStream(v);
    // The stream ends with the dictionary (1 + 2 + 3 × 4 bytes) and the end byte.
    return s.size() - 16;
}

TEST(FrfFormat, NextRecordPositionPointingBackOrPastTheEndIsAnError)
{
    TfrReport rep;
    rep.AddPage();
    lmtest::addMemo(*rep.Pages[0], "Memo1", 0, 0, {"a"});
    const std::string data = rep.SaveToStream(25);
    const std::size_t at = firstObjectAt(rep, 25);
    ASSERT_EQ(data[at], 0);  // memo record
    for (int32_t pos : {static_cast<int32_t>(at), 3, static_cast<int32_t>(data.size() + 1)}) {
        std::string bad = data;
        TfrStreamWriter w;
        w.WriteInt32(pos);
        bad.replace(at + 2, 4, w.Data());
        EXPECT_EQ(messageOf([&] { read(bad); }), "Error in frf file") << pos;
    }
}

TEST(FrfFormat, DamagedObjectIsSkippedAndTheRestRead)
{
    TfrReport rep;
    rep.AddPage();
    lmtest::addMemo(*rep.Pages[0], "Memo1", 0, 0, {"a"});
    lmtest::addMemo(*rep.Pages[0], "Memo2", 0, 20, {"b"});
    std::string data = rep.SaveToStream(25);
    const std::size_t at = firstObjectAt(rep, 25);
    // Memo1's string list count made huge: the object cannot be read, its end position is known.
    const std::size_t nameLen = 2 + 5, fixed = 2 + 16 + 2 + 2 + 4 + 4 + 2 + 4 + 4 + 2;
    const std::size_t memoCount = at + 6 + nameLen + fixed;
    data.replace(memoCount, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    auto back = read(data);
    ASSERT_EQ(back->Pages[0]->Objects.size(), 1u);
    EXPECT_EQ(back->Pages[0]->Objects[0]->Name, "Memo2");
}

TEST(FrfFormat, ObjectOnMissingPageIsDropped)
{
    TfrReport rep;
    rep.AddPage();
    lmtest::addMemo(*rep.Pages[0], "Memo1", 0, 0, {"a"});
    std::string data = rep.SaveToStream(25);
    data[firstObjectAt(rep, 25) + 1] = 5;
    EXPECT_TRUE(read(data)->Pages[0]->Objects.empty());
}

TEST(FrfFormat, TypedDictionaryGivesVariablesInTheNamesOrder)
{
    TfrStreamWriter w;
    w.WriteByte(25);
    w.WriteInt16(1);
    w.WriteInt16(0);
    w.WriteString("");
    w.WriteByte(0xFE);
    w.WriteInt32(2);  // entries
    w.WriteByte(1);
    w.WriteInt32(0);
    w.WriteShortString("Price");
    w.WriteShortString("Goods");
    w.WriteShortString("PRICE");
    w.WriteByte(2);
    w.WriteInt32(0);
    w.WriteShortString("Today");
    w.WriteShortString("[Date]");
    w.WriteShortString("");
    w.WriteStrings({" Goods", "Today", "Price"});
    w.WriteByte(0xFD);
    auto rep = read(w.Data());
    ASSERT_EQ(rep->Variables.Count(), 3);
    EXPECT_EQ(rep->Variables.Items(0).Name, " Goods");
    EXPECT_EQ(rep->Variables.Items(1).Value, "[Date]");
    EXPECT_EQ(rep->Variables.Items(2).Value, "Goods.\"PRICE\"");
}

TEST(FrfFormat, SavedFileReadsBack)
{
    const std::string file = testing::TempDir() + "/frf_save.frf";
    auto rep = sampleReport(25);
    rep->SaveToFile(file);
    TfrReport back;
    back.LoadFromFile(file);
    EXPECT_TRUE(back.SameAs(*rep));
    EXPECT_EQ(back.FileName, file);
}

} // namespace
