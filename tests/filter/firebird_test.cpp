// Both statement forms against a real embedded Firebird database: the SQL form run by the server
// and the local form evaluated by the dataset must select the same records.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <unistd.h>

#include "db/demodb.h"
#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "filter/ufilter.h"
#include "goodsquery.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

const char* const kQuery =
    "select G.ID, G.NAME, G.VENDOR_ID, G.PRICE, G.QUANTITY, G.REG_DATE, G.EXPIRY_DATE, G.ACTIVE, "
    "G.RECIPE, G.BARCODE, G.NOTE, C.NAME as COUNTRY_NAME "
    "from GOODS G left join COUNTRY C on C.ID = G.COUNTRY_ID";

class FirebirdFilter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                        ("h8filter_" + std::to_string(getpid())));
        std::filesystem::create_directories(*dir);
        CreateDemoDatabase((*dir / "demo.fdb").string(), 2000);
    }
    static void TearDownTestSuite()
    {
        std::filesystem::remove_all(*dir);
        delete dir;
    }

    void SetUp() override
    {
        db.SetDatabaseName((*dir / "demo.fdb").string());
        db.Open();
        tr.SetDefaultDatabase(&db);
        lmtest::openGoodsWithVendor(goods, vendors, db, tr, kQuery);
        const std::pair<const char*, const char*> labels[] = {
            {"ID", "Код"}, {"NAME", "Наименование"}, {"VENDOR_ID", "Код поставщика"}, {"PRICE", "Цена"},
            {"QUANTITY", "Кол"}, {"REG_DATE", "Дата"}, {"EXPIRY_DATE", "Годен"}, {"ACTIVE", "Активен"},
            {"RECIPE", "Рецепт"}, {"BARCODE", "Штрихкод"}, {"NOTE", "Примечание"}, {"COUNTRY_NAME", "Страна"}};
        lmtest::setLabels(goods, labels);
        filter.SetDataSet(&goods);
        filter.Prepare();
    }

    // The statement of `text` (UTF-8) in the form the options choose; "<fail>" when it fails.
    std::string statement(const std::string& text, TUFilterOptions options)
    {
        filter.SetOptions(options);
        return filter.Compile(utf8ToCp1251(text)) ? filter.FilterSQL() : "<fail>";
    }

    std::set<int> serverRows(const std::string& condition)
    {
        TpFIBDataSet q;
        q.SetDatabase(&db);
        q.SetTransaction(&tr);
        q.SetSelectSQL(std::string(kQuery) + " where 1=1 " + condition);
        q.Open();
        std::set<int> ids;
        for (q.First(); !q.Eof(); q.Next())
            ids.insert(q.FieldByName("ID")->AsInteger());
        return ids;
    }

    std::set<int> localRows(const std::string& filterText)
    {
        goods.SetFiltered(false);
        goods.SetFilter(filterText);
        goods.SetFiltered(true);
        std::set<int> ids;
        for (goods.First(); !goods.Eof(); goods.Next())
            ids.insert(goods.FieldByName("ID")->AsInteger());
        goods.SetFiltered(false);
        return ids;
    }

    static std::filesystem::path* dir;
    TFIBDatabase db;
    TFIBTransaction tr;
    TpFIBDataSet vendors;
    TpFIBDataSet goods;
    TUFilter filter;
};

std::filesystem::path* FirebirdFilter::dir = nullptr;

TEST_F(FirebirdFilter, EntriesTakeTheirColumnsFromTheQuery)
{
    EXPECT_EQ(statement("[Наименование] = 'А*'", {ufoSQLEnabled, ufoSQLPrefer}),
              "AND (G.NAME LIKE '\xC0%')");
    EXPECT_EQ(statement("[Страна] = 'Россия'", {ufoSQLEnabled, ufoSQLPrefer}), "AND (C.NAME='\xD0\xEE\xF1\xF1\xE8\xFF')");
    EXPECT_EQ(statement("[Поставщик] = 'Фармстандарт'", {ufoSQLEnabled, ufoSQLPrefer}), "AND (G.VENDOR_ID=1)");
}

TEST_F(FirebirdFilter, NativeBooleanPrintsTrueFalseAndBooleanDomainKeepsOneZero)
{
    const TUFilterOptions sql{ufoSQLEnabled, ufoSQLPrefer};
    EXPECT_EQ(statement("[Рецепт]", sql), "AND (G.RECIPE=TRUE)");
    EXPECT_EQ(statement("[Рецепт] = 'нет'", sql), "AND (G.RECIPE=FALSE)");
    EXPECT_EQ(statement("[Активен]", sql), "AND (G.ACTIVE=1)");
    EXPECT_EQ(statement("[Активен] = 'нет'", sql), "AND (G.ACTIVE=0)");
    EXPECT_EQ(statement("[Рецепт]", {}), "RECIPE=1");
}

TEST_F(FirebirdFilter, ServerAndLocalFormsSelectTheSameRecords)
{
    struct Case {
        const char* text;
        bool ignoreCase;
    };
    const Case corpus[] = {
        {"[Наименование] = 'Аспирин*'", false}, {"[Наименование] = '*мазь*'", false},
        {"[Наименование] <> '*таблетки*'", false}, {"[Наименование] = '*№10'", false},
        {"[Наименование] = 'аспирин*'", false}, {"[Наименование] < 'Б'", false},
        {"[Наименование] >= 'Ц'", false}, {"[Наименование] = 'Ёршик*'", false},
        {"[Наименование] = 'Но-шпа*' ИЛИ [Наименование] = 'Ношпалгин*'", false},
        {"[Примечание] = ПУСТО", false}, {"НЕ [Примечание] = ПУСТО", false},
        {"[Примечание] = \"Товар 'под заказ'\"", false}, {"[Примечание] = '*10%*'", false},
        {"[Цена] > 1500,5", false}, {"[Цена] <= 100", false}, {"[Цена] = ПУСТО", false},
        {"НЕ [Цена] = ПУСТО И [Цена] < 50", false}, {"[Цена] >= 20,25 И [Цена] < 30,75", false},
        {"[Цена] > -1", false}, {"[Цена] > 1500, ИЛИ [Цена] < ,5", false}, {"[Кол] = 0", false}, {"[Кол] > 100 ИЛИ [Кол] = ПУСТО", false},
        {"[Кол] > 100 И [Цена] < 500 ИЛИ [Кол] < 5", false},
        {"[Кол] > 100 И ([Цена] < 500 ИЛИ [Кол] < 5)", false},
        {"НЕ ([Кол] > 100 ИЛИ [Цена] > 1000)", false},
        {"[Кол] >= 10 И [Кол] <= 20 ИЛИ [Кол] >= 480 И [Цена] > 100", false},
        {"[Цена] * [Кол] > 100000", false}, {"([Цена] + 10) * 2 > 3000", false},
        {"[Цена] - [Кол] < 0", false}, {"100 < [Кол]", false}, {"-5 < [Кол] - 10", false},
        {"[Кол] > [Код]", false}, {"[Кол] / 2 > 100", false},
        {"[Активен]", false}, {"НЕ [Активен]", false}, {"[Активен] = 'да'", false},
        {"[Активен] = 'нет'", false}, {"[Рецепт]", false}, {"[Рецепт] = 'Нет'", false},
        {"[Рецепт] И [Активен]", false}, {"[Рецепт] ИЛИ [Цена] > 2000", false},
        {"[Рецепт] = ПУСТО", false}, {"([Рецепт]) И НЕ [Активен]", false},
        {"[Поставщик] = 'Фармстандарт'", false}, {"[Поставщик] <> 'Байер'", false},
        {"[Поставщик] = 'Д-р Реддис' ИЛИ [Поставщик] = ПУСТО", false},
        {"НЕ [Поставщик] = ПУСТО И [Цена] > 1000", false},
        {"[Дата] >= {NOW-400}", false}, {"[Дата] < {NOW-2000}", false}, {"[Годен] > NOW", false},
        {"[Годен] <= {NOW+30} И НЕ [Годен] = ПУСТО", false}, {"[Годен] = ПУСТО", false},
        {"[Дата] >= {NOW - 1 0 0 0} И [Рецепт]", false}, {"[Дата] = '01.03.2021'", false},
        {"[Дата] > '31.12.2024'", false}, {"[Штрихкод] = '4601*'", false}, {"[Штрихкод] = '*7'", false},
        {"[Страна] = 'Россия'", false}, {"[Страна] <> 'Германия'", false}, {"[Код] = 77", false},
        {"[Код] < 10 ИЛИ [Код] > 1990", false}, {"[Код] > 100 И [Код] < 200 И НЕ [Кол] = ПУСТО", false},
        {"НЕ (НЕ [Код] < 50)", false}, {"([Код] < 10)", false},
        {"[Наименование] = 'аспирин*'", true}, {"[Наименование] = '*МАЗЬ*'", true},
        {"[Наименование] = 'ёршик*'", true}, {"[Примечание] = 'хранить*'", true},
        {"[Страна] = 'россия'", true}, {"[Наименование] <> '*таблетки*' И [Цена] < 100", true},
        {"[Поставщик] = 'Фармстандарт'", true}, {"[Активен] = 'ДА'", true},
        {"[Наименование] >= 'ц' И [Наименование] < 'я'", true},
    };
    int selective = 0;
    for (const Case& c : corpus) {
        TUFilterOptions extra;
        if (c.ignoreCase)
            extra.Include(ufoIgnoreCase);
        const std::string sql = statement(c.text, extra + TUFilterOptions{ufoSQLEnabled, ufoSQLPrefer});
        const std::string local = statement(c.text, extra);
        ASSERT_NE(sql, "<fail>") << c.text;
        ASSERT_NE(local, "<fail>") << c.text;
        ASSERT_EQ(sql.rfind("AND (", 0), 0u) << c.text;
        std::set<int> server, mine;
        try {
            server = serverRows(sql);
            mine = localRows(local);
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.text << ": " << cp1251ToUtf8(e.what()) << "\n  sql: " << cp1251ToUtf8(sql)
                          << "\n  local: " << cp1251ToUtf8(local);
            continue;
        }
        EXPECT_EQ(server, mine) << c.text << "\n  sql: " << cp1251ToUtf8(sql) << " (" << server.size()
                                << " rows)\n  local: " << cp1251ToUtf8(local) << " (" << mine.size() << " rows)";
        if (!server.empty() && server.size() < 2000)
            ++selective;
    }
    EXPECT_GE(std::size(corpus), 60u);
    // The corpus is worth something only when most expressions pick some but not all records.
    EXPECT_GE(selective, 55);
}

} // namespace
