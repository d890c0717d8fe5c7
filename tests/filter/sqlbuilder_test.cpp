// The SQL builder without a database: the statement's exact layout, where joins and filters
// go, the validation messages, filters, categories and report files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "../util/messageof.h"
#include "demobuilder.h"
#include "filter/sqlbuilder.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"

using namespace lm;
using namespace lm::sqlbuilder;

namespace {

class SQLBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builder.LoadFromDfm(*ReadDfmText(utf8ToCp1251(lmtest::kDemoBuilderDfm)).FindClass("TSQLBuilder"));
    }

    TFieldItem* activate(const char* name) { return builder.AddToActive(*builder.Fields().FindByName(name)); }

    TSQLBuilder builder;
};

TEST_F(SQLBuilderTest, ReadsTheBuilderOfAFormFile)
{
    EXPECT_EQ(builder.Name(), "SQLBuilder1");
    EXPECT_EQ(builder.Directory(), "Goods");
    ASSERT_EQ(builder.Tables().Count(), 4);
    EXPECT_EQ(builder.Tables().Items(0)->TableName(), "G");  // names are upper-cased
    EXPECT_EQ(builder.Tables().Items(3)->JoinKind(), jkOuter);
    EXPECT_EQ(builder.Fields().FindByName("vendor_id")->DisplayName(), "Товар.Поставщик товара"_w);
    std::vector<std::string> categories{"x"};
    builder.FieldCategories(categories);
    EXPECT_EQ(categories, (std::vector<std::string>{"x", "Товар"_w, "Поставщик"_w}));
}

TEST_F(SQLBuilderTest, OneTableNeedsNoJoin)
{
    activate("NAME");
    EXPECT_EQ(builder.BuildSQL(), "select \r\n\tG.NAME as NAME\r\nfrom \tGOODS G\r\ngroup by\r\n\tG.NAME");
    EXPECT_TRUE(builder.Fields().FindByName("NAME")->IsActive());
    EXPECT_FALSE(builder.Fields().FindByName("QTY")->IsActive());
}

TEST_F(SQLBuilderTest, AFieldOfAThirdTableJoinsItsParentChain)
{
    activate("VENDOR_COUNTRY")->SortKind = skDesc;
    activate("QTY");
    activate("NAME")->SortKind = skAsc;
    EXPECT_EQ(builder.BuildSQL(),
              "select \r\n\tC.NAME as VENDOR_COUNTRY,\r\n\tsum(G.QUANTITY) as QTY,\r\n\tG.NAME as NAME\r\n"
              "from \tGOODS G\r\n\tinner join VENDOR V on (V.ID = G.VENDOR_ID) \r\n"
              "\tinner join COUNTRY C on (C.ID = V.COUNTRY_ID) \r\n"
              "group by\r\n\tC.NAME,\r\n\tG.NAME\r\norder by 1 desc, 3");
}

TEST_F(SQLBuilderTest, FiltersGoToTheJoinOrToWhere)
{
    builder.Tables().Items(0)->SetJoinSQL("G.ACTIVE = 1");
    activate("NAME")->AddFilter(" 'Аспирин'  "_w);
    // no inner join: the first table's condition and filter go to WHERE
    EXPECT_EQ(builder.BuildSQL(), "select \r\n\tG.NAME as NAME\r\nfrom \tGOODS G\r\n"
                                  "where\r\n\t(G.ACTIVE = 1) and (G.NAME in ('Аспирин'))\r\ngroup by\r\n\tG.NAME"_w);
    activate("GOODS_COUNTRY")->SetFilters({"'Россия'"_w, " ", "'Индия'"_w});
    activate("VENDOR_NAME")->AddFilter("'Озон'"_w);
    builder.OnTableFilterSQL = [](TTableItem* t, std::string& sql) {
        if (t->TableName() == "V")
            sql = "V.CITY is not null";
    };
    EXPECT_EQ(builder.BuildSQL(),
              "select \r\n\tG.NAME as NAME,\r\n\tGC.NAME as GOODS_COUNTRY,\r\n\tV.NAME as VENDOR_NAME\r\n"
              "from \tGOODS G\r\n"
              "\tinner join VENDOR V on (V.ID = G.VENDOR_ID)  and ((V.CITY is not null) and (V.NAME in ('Озон')))"
              " and ((G.ACTIVE = 1) and (G.NAME in ('Аспирин')))\r\n"
              "\tleft outer join COUNTRY GC on (GC.ID = G.COUNTRY_ID) \r\n"
              "where\r\n\tGC.NAME in ('Россия', 'Индия')\r\n"
              "group by\r\n\tG.NAME,\r\n\tGC.NAME,\r\n\tV.NAME"_w);
}

TEST_F(SQLBuilderTest, SumsAreRoundedOnlyToZeroToFourDecimals)
{
    TFieldItem* sum = activate("PRICE_SUM");
    const auto select = [&] {
        const std::string sql = builder.BuildSQL();
        return sql.substr(10, sql.find("\r\nfrom") - 10);
    };
    EXPECT_EQ(select(), "cast(sum(G.PRICE) as numeric(15,2)) as PRICE_SUM");
    sum->RoundSumTo = -1;
    EXPECT_EQ(select(), "sum(G.PRICE) as PRICE_SUM");
    sum->RoundSumTo = 5;
    EXPECT_EQ(select(), "sum(G.PRICE) as PRICE_SUM");
    builder.RemoveFromActive(sum);
    TFieldItem* month = activate("REG_MONTH");
    EXPECT_EQ(builder.BuildSQL(), "select \r\n\tcast(fdt(G.REG_DATE, '01.mm.yyyy') as DATE) as REG_MONTH\r\n"
                                  "from \tGOODS G\r\ngroup by\r\n\tcast(fdt(G.REG_DATE, '01.mm.yyyy') as DATE)");
    month->DateDetail = dtDate;
    EXPECT_EQ(select(), "cast(G.REG_DATE as date) as REG_MONTH");
    month->SelectSQL = "min(G.REG_DATE) as REG_MONTH";
    builder.OnGroupBySQL = [](TFieldItem*, std::string& sql) { sql.clear(); };
    EXPECT_EQ(select(), "min(G.REG_DATE) as REG_MONTH");
}

TEST_F(SQLBuilderTest, ValidationNamesTheObjectAndTheFault)
{
    const auto message = [&] { return test::messageOf([&] { builder.BuildSQL(); }); };
    EXPECT_EQ(message(), "Не выбрано ни одного поля!"_w);
    activate("NAME");
    TTableItem* v = builder.Tables().Items(1);
    v->SetParentTable("NOPE");
    EXPECT_EQ(message(), "V :\r\nНе надена таблица ParentTable: NOPE"_w);
    v->SetParentTable("C");
    EXPECT_EQ(message(), "V :\r\nСвойство ParentTable должно указывать на таблицу с меньшим индексом"_w);
    v->SetParentTable("");
    EXPECT_EQ(message(), "V :\r\nНе указано свойство ParentSQL"_w);
    v->SetParentTable("G");
    v->SetJoinSQL(" ");
    EXPECT_EQ(message(), "V :\r\nНе указано свойство JoinSQL"_w);
    v->SetJoinSQL("V.ID = G.VENDOR_ID");
    v->SetTableName("g");
    EXPECT_EQ(message(), "G :\r\nСвойство TableName: Имя таблицы должно быть уникально"_w);
    v->SetTableName("V");
    builder.Tables().Items(2)->SetJoinKind(jkOuter);
    builder.Tables().Add()->SetTableName("X");  // copies the outer join of the table before it
    builder.Tables().Items(4)->SetParentTable("G");
    builder.Tables().Items(4)->SetJoinSQL("1=1");
    EXPECT_EQ(message(), "(no exception)");
    builder.Tables().Items(4)->SetJoinKind(jkInner);
    EXPECT_EQ(message(), "X :\r\nСвойство JoinKind : таблица с INNER JOIN не может следовать за OUTER JOIN"_w);
    builder.Tables().Items(4)->SetTableName("");
    EXPECT_EQ(message(), "SQLBuilder1 :\r\nНе указано свойство TableName"_w);
    builder.Tables().Clear();
    EXPECT_EQ(message(), "SQLBuilder1 :\r\nСписок таблиц пуст"_w);
}

TEST_F(SQLBuilderTest, FieldValidation)
{
    activate("NAME");
    const auto message = [&] { return test::messageOf([&] { builder.CheckAllItems(); }); };
    TFieldItem* lookup = builder.Fields().FindByName("VENDOR_ID");
    lookup->LookupResultField.clear();
    EXPECT_EQ(message(), "Товар.Поставщик товара :\r\nНе указано свойство LookupResultField"_w);
    lookup->LookupResultField = "NAME";
    lookup->SetTable("W");
    EXPECT_EQ(message(), "Товар.Поставщик товара :\r\nСвойство Table: не найдена таблица W"_w);
    lookup->SetTable("");
    EXPECT_EQ(message(), "Товар.Поставщик товара :\r\nНе указано свойство TableName"_w);
    lookup->SetTable("G");
    lookup->SetFieldName("name");
    EXPECT_EQ(message(), "Товар.Поставщик товара :\r\nСвойство FieldName: Имя поля (алиас) должно быть уникально"_w);
    lookup->SetFieldName("");
    lookup->Category.clear();
    lookup->DisplayLabel.clear();
    EXPECT_EQ(message(), "SQLBuilder1 :\r\nНе указано свойство FieldName"_w);
    builder.Fields().Clear();
    EXPECT_EQ(message(), "SQLBuilder1 :\r\nСписок полей пуст"_w);
    TSQLBuilder unnamed;
    EXPECT_EQ(test::messageOf([&] { unnamed.CheckAllItems(); }), "TSQLBuilder :\r\nСписок таблиц пуст"_w);
}

TEST_F(SQLBuilderTest, AThousandFilterValuesAtMost)
{
    TFieldItem* f = activate("QTY");
    for (int i = 0; i < 1000; ++i)
        f->AddFilter(std::to_string(i));
    f->AddFilter("  ");
    EXPECT_EQ(test::messageOf([&] { f->AddFilter("1000"); }),
              "Слишком много значений фильтра. Максимально допустимое количество значений 1000."_w);
    EXPECT_EQ(f->Filters().size(), 1000u);
    f->RemoveFilter(" 5 ");
    EXPECT_FALSE(f->HasFilter("5"));
    f->AddFilter("1000");
    EXPECT_TRUE(f->HasFilter("1000"));
}

TEST_F(SQLBuilderTest, ReportsRoundTripAndADamagedOneChangesNothing)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("lmpack-rpt-" + std::to_string(getpid()));
    fs::create_directories(dir);
    activate("NAME")->SortKind = skDesc;
    TFieldItem* month = activate("REG_MONTH");
    month->DateDetail = dtDate;
    month->AddFilter("'01.02.2021'");
    builder.SetUserData("ширина=10"_w);
    const std::string sql = builder.BuildSQL();
    const std::string file = (dir / "month.RPT").string();
    builder.SaveReport(file);
    EXPECT_EQ(builder.ReportFileName(), file);

    TSQLBuilder other;
    other.LoadFromDfm(*ReadDfmText(utf8ToCp1251(lmtest::kDemoBuilderDfm)).FindClass("TSQLBuilder"));
    other.LoadReport(file);
    EXPECT_EQ(other.BuildSQL(), sql);
    EXPECT_EQ(other.UserData(), "ширина=10"_w);

    const std::string bad = (dir / "bad.rpt").string();
    std::ofstream(bad, std::ios::binary) << "object S: TSQLBuilderState\r\n  Fields = <\r\n    item\r\n      Kind = fikNope\r\n    end>\r\nend\r\n";
    EXPECT_EQ(test::messageOf([&] { other.LoadReport(bad); }),
              "Ошибка загрузки отчета \""_w + bad + "\" :\r\nНеверное значение свойства fikNope"_w);
    EXPECT_EQ(other.BuildSQL(), sql);
    EXPECT_EQ(other.ReportFileName(), file);
    EXPECT_NE(test::messageOf([&] { other.LoadReport((dir / "none.rpt").string()); }).find("Ошибка загрузки отчета"_w),
              std::string::npos);
    fs::remove_all(dir);
}

TEST_F(SQLBuilderTest, ReportFolderLivesBesideTheProgram)
{
    namespace fs = std::filesystem;
    const std::string exeDir = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(builder.FullDir(), exeDir + "CustomReports/Goods/");
    builder.SetDirectory("/Sub");
    EXPECT_EQ(builder.FullDir(), exeDir + "CustomReports/Sub/");
    builder.SetDirectory("");
    EXPECT_EQ(builder.FullDir(), exeDir + "CustomReports/");
    builder.SetDirectory("test-" + std::to_string(getpid()));
    activate("NAME");
    builder.UpdateReportList();  // creates the folder
    EXPECT_TRUE(builder.ReportList().empty());
    builder.SaveReport(builder.FullDir() + "b.rpt");
    builder.SaveReport(builder.FullDir() + "a.rpt");
    builder.SaveReport(builder.FullDir() + "c.txt");
    builder.UpdateReportList();
    EXPECT_EQ(builder.ReportList(), (std::vector<std::string>{builder.FullDir() + "a.rpt", builder.FullDir() + "b.rpt"}));
    fs::remove_all(builder.FullDir());
}

} // namespace
