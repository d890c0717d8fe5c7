// The Calc-style export: sheet names, URLs, the 250-column split with its key column, values,
// cancelling, and saving that keeps an old file when it fails.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/hooks.h"
#include "export/opoffice.h"
#include "export/sheetreader.h"
#include "exportfixture.h"
#include "forms/progressbox.h"
#include "util/cp1251.h"
#include "util/filefunc.h"

using namespace lm;
using lm::test::GoodsGrid;
using lm::test::TempDir;
using lm::test::sheetTexts;

namespace {

// Captures message boxes for the duration of a test.
struct Messages {
    std::vector<std::string> shown;
    Messages()
    {
        SetMessageBoxHook([this](const std::string& text, const std::string&, int) {
            shown.push_back(text);
            return IDOK;
        });
    }
    ~Messages() { SetMessageBoxHook(nullptr); }
};

bool exportTo(TDBGridEh* grid, TDataSet* ds, const std::string& file, const std::string& key = std::string(), bool progress = true)
{
    return OpExcelOleCopyGrideh(grid, ds, "Заголовок"_w, "Лист"_w, false, std::string(), true, true, true, true, key, file,
                                progress, false, 0);
}

} // namespace

TEST(OpOffice, SheetNamesKeepDigitsLettersAndYo)
{
    EXPECT_EQ(CleanSheetName("Остатки 2009/10"_w), "Остатки 200910"_w);
    EXPECT_EQ(CleanSheetName("Ёлки_ёж: [a-Z]*?"_w), "Ёлки_ёж aZ"_w);
    EXPECT_EQ(TOpenOffice::ConvertToURL("C:\\My Files\\a.ods"), "file://localhost/C:/My%20Files/a.ods");
}

TEST(OpOffice, GridExportWritesValuesFormatsAndFooters)
{
    TempDir dir;
    GoodsGrid g;
    g.grid.SetFooterRowCount(1);
    g.grid.Columns().Items(1)->Footer().SetValueType(fvtStaticText);
    g.grid.Columns().Items(1)->Footer().SetValue("Итого"_w);
    g.grid.Columns().Items(2)->Footer().SetValueType(fvtSum);
    g.grid.Columns().Items(2)->SetColor(clRed);
    Messages messages;
    ASSERT_TRUE(exportTo(&g.grid, nullptr, dir.file("a.ods")));
    EXPECT_TRUE(messages.shown.empty());
    const auto rows = sheetTexts(dir.file("a.ods"));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][1], "Товар\nНазвание"_w);
    EXPECT_EQ(rows[1][1], "Аспирин"_w);
    EXPECT_EQ(rows[1][3], "01.12.2026");  // dates travel as their displayed text
    EXPECT_EQ(rows[2][4], " 7");
    EXPECT_EQ(rows[4][1], "Итого"_w);
    EXPECT_EQ(rows[4][2], "1513,25");
    auto book = TSheetFile::Open(dir.file("a.ods"));
    EXPECT_EQ(book->SheetName(0), "Лист"_w);
    EXPECT_DOUBLE_EQ(book->Sheet(0).Cell(1, 2)->Value.AsFloat(), 12.5);
    EXPECT_EQ(book->Sheet(0).Cell(3, 2), nullptr);  // a null price stays empty
}

TEST(OpOffice, WideExportsSplitIntoSheetsWithTheKeyColumnFirst)
{
    TempDir dir;
    TMemDataSet ds;
    for (int c = 1; c <= 251; ++c)
        ds.FieldDefs().Add("F" + std::to_string(c), ftInteger);
    ds.CreateDataSet();
    std::vector<Variant> values;
    for (int c = 1; c <= 251; ++c)
        values.emplace_back(c);
    ds.AppendRecord(values);
    ASSERT_TRUE(exportTo(nullptr, &ds, dir.file("w.ods"), "f2"));
    auto book = TSheetFile::Open(dir.file("w.ods"));
    ASSERT_EQ(book->SheetCount(), 2);
    EXPECT_EQ(book->SheetName(0), "Лист_1"_w);
    EXPECT_EQ(book->SheetName(1), "Лист_2"_w);
    EXPECT_EQ(book->Sheet(0).Cell(0, 249)->Text, "F250");
    EXPECT_EQ(book->Sheet(0).Cell(0, 250), nullptr);
    EXPECT_EQ(book->Sheet(1).Cell(0, 0)->Text, "F2");  // the key column
    EXPECT_EQ(book->Sheet(1).Cell(0, 1)->Text, "F251");
    EXPECT_EQ(book->Sheet(1).Cell(1, 1)->Text, "251");

    ds.Fields(250)->SetVisible(false);
    ASSERT_TRUE(exportTo(nullptr, &ds, dir.file("n.ods")));
    auto narrow = TSheetFile::Open(dir.file("n.ods"));
    ASSERT_EQ(narrow->SheetCount(), 1);
    EXPECT_EQ(narrow->SheetName(0), "Лист"_w);
}

TEST(OpOffice, NumericFractionsAndDisplayFormatsWithTextExportTheirNumbers)
{
    TempDir dir;
    TMemDataSet ds;
    ds.FieldDefs().Add("Q", ftInteger);
    ds.FieldDefs().Add("P", ftFloat);
    ds.CreateDataSet();
    ds.AppendRecord({3, 2.5});
    ds.AppendRecord({Variant::Null(), 4.0});
    ds.FieldByName("Q")->OnGetText = [](TField* f, std::string& text, bool) {
        text = f->IsNull() ? std::string() : IntToStr(f->AsInteger()) + "/4";
    };
    static_cast<TNumericField*>(ds.FieldByName("P"))->SetDisplayFormat("0.00 руб"_w);
    ASSERT_TRUE(exportTo(nullptr, &ds, dir.file("f.ods")));
    auto book = TSheetFile::Open(dir.file("f.ods"));
    EXPECT_DOUBLE_EQ(book->Sheet(0).Cell(1, 0)->Value.AsFloat(), 0.75);
    EXPECT_EQ(book->Sheet(0).Cell(2, 0), nullptr);
    EXPECT_DOUBLE_EQ(book->Sheet(0).Cell(1, 1)->Value.AsFloat(), 2.5);
}

TEST(OpOffice, AFailedSaveKeepsTheOldFileAndIsReported)
{
    TempDir dir;
    GoodsGrid g;
    const std::string target = dir.file("old.ods");
    std::ofstream(target) << "old contents";
    ::chmod(dir.path.c_str(), 0755);
    // As nobody the folder takes no new file, so the save fails after all the work is done.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        Messages messages;
        const bool ok = exportTo(&g.grid, nullptr, target);
        const bool reported = messages.shown.size() == 1 &&
                              messages.shown[0].rfind("Ошибка выгрузки данных : Ошибка записи файла "_w, 0) == 0;
        ::_exit(!ok && reported ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::ifstream in(target);
    std::string old;
    std::getline(in, old);
    EXPECT_EQ(old, "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator()), 1);
}

TEST(OpOffice, ASuccessfulSaveReplacesTheOldFileAndMakesItsFolder)
{
    TempDir dir;
    GoodsGrid g;
    const std::string target = dir.file("new/sub/a.ods");
    ASSERT_TRUE(exportTo(&g.grid, nullptr, target));
    ASSERT_TRUE(exportTo(&g.grid, nullptr, target));
    EXPECT_EQ(sheetTexts(target)[1][1], "Аспирин"_w);
}

TEST(OpOffice, CancellingEndsWithTheInterruptMessage)
{
    struct AbortingWindow : IProgressWindow {
        TProgressBox* box;
        explicit AbortingWindow(TProgressBox* b) : box(b) {}
        ~AbortingWindow() override { box->WindowDestroyed(this); }
        void SetTitle(const std::string&) override {}
        void SetBoxWidth(int) override {}
        void SetNote(const std::string&) override {}
        void SetBarMax(int) override {}
        int BarMax() const override { return 0; }
        int BarPosition() const override { return 0; }
        void SetBarPosition(int) override {}
        void SetAbortVisible(bool) override {}
        bool Aborted() const override { return true; }
        void ShowModeless() override {}
        void Close() override { box->WindowClosed(this); delete this; }
    };
    struct Ui : IProgressUi {
        IProgressWindow* CreateWindow(TProgressBox* box) override { return new AbortingWindow(box); }
        std::unique_ptr<IDisabledForm> DisableActiveForm(std::function<void()>) override { return nullptr; }
        void ProcessMessages() override {}
        void ProcessPaint() override {}
    } ui;
    SetProgressUi(&ui);
    TempDir dir;
    GoodsGrid g;
    Messages messages;
    const bool ok = exportTo(&g.grid, nullptr, dir.file("c.ods"));
    SetProgressUi(nullptr);
    EXPECT_FALSE(ok);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Ошибка выгрузки данных : Выгрузка данных : прервано пользователем "_w);
    EXPECT_FALSE(FileExists(dir.file("c.ods")));
}
