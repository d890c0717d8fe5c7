// Building the demo pharmacy database.
#include "db/demodb.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "db/fibdatabase.h"
#include "db/fibstatement.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// A small deterministic generator (splitmix64), so every run makes the same data.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

struct Country { const char* name; const char* code; };
const Country kCountries[] = {
    {"Россия"_w, "RU"}, {"Казахстан"_w, "KZ"}, {"Беларусь"_w, "BY"}, {"Венгрия"_w, "HU"},
    {"Словения"_w, "SI"}, {"Германия"_w, "DE"}, {"Франция"_w, "FR"}, {"Швейцария"_w, "CH"},
    {"Индия"_w, "IN"}, {"Польша"_w, "PL"}, {"Израиль"_w, "IL"}, {"Украина"_w, "UA"},
};

struct Vendor { const char* name; int country; const char* city; };
const Vendor kVendors[] = {
    {"Фармстандарт"_w, 1, "Москва"_w},          {"Отисифарм"_w, 1, "Москва"_w},
    {"Валента Фарм"_w, 1, "Щёлково"_w},          {"Верофарм"_w, 1, "Белгород"_w},
    {"Акрихин"_w, 1, "Старая Купавна"_w},        {"Биохимик"_w, 1, "Саранск"_w},
    {"Татхимфармпрепараты"_w, 1, "Казань"_w},    {"Озон"_w, 1, "Жигулёвск"_w},
    {"Канонфарма продакшн"_w, 1, "Щёлково"_w},   {"Химфарм"_w, 2, "Шымкент"_w},
    {"Нобел Алматинская фабрика"_w, 2, "Алматы"_w}, {"Борисовский завод"_w, 3, "Борисов"_w},
    {"Гедеон Рихтер"_w, 4, "Будапешт"_w},        {"Эгис"_w, 4, "Будапешт"_w},
    {"КРКА"_w, 5, "Ново-Место"_w},              {"Берлин-Хеми"_w, 6, "Берлин"_w},
    {"Штада"_w, 6, "Бад-Фильбель"_w},            {"Байер"_w, 6, "Леверкузен"_w},
    {"Санофи"_w, 7, "Париж"_w},                  {"Сервье"_w, 7, "Сюрен"_w},
    {"Сандоз"_w, 8, "Хольцкирхен"_w},            {"Д-р Реддис"_w, 9, "Хайдарабад"_w},
    {"Ранбакси"_w, 9, "Гургаон"_w},              {"Польфарма"_w, 10, "Старогард-Гданьски"_w},
    {"Тева"_w, 11, "Петах-Тиква"_w},             {"Фармак"_w, 12, "Киев"_w},
};

// Each drug comes in the forms listed by their indices in kForms.
struct Drug { const char* name; const char* forms; };
const Drug kDrugs[] = {
    {"Аспирин"_w, "0"}, {"Парацетамол"_w, "03"}, {"Ибупрофен"_w, "013"}, {"Но-шпа"_w, "05"},
    {"Анальгин"_w, "05"}, {"Цитрамон"_w, "0"}, {"Корвалол"_w, "6"}, {"Валидол"_w, "0"},
    {"Фестал"_w, "1"}, {"Мезим форте"_w, "1"}, {"Активированный уголь"_w, "0"}, {"Нурофен"_w, "13"},
    {"Арбидол"_w, "02"}, {"Ингавирин"_w, "2"}, {"Лоратадин"_w, "03"}, {"Супрастин"_w, "05"},
    {"Амоксициллин"_w, "28"}, {"Азитромицин"_w, "12"}, {"Омепразол"_w, "2"}, {"Эналаприл"_w, "0"},
    {"Аторвастатин"_w, "1"}, {"Метформин"_w, "1"}, {"Диклофенак"_w, "145"}, {"Кеторол"_w, "15"},
    {"Називин"_w, "67"}, {"Граммидин"_w, "0"}, {"Терафлю"_w, "8"}, {"Колдрекс"_w, "8"},
    {"Ренни"_w, "0"}, {"Смекта"_w, "8"}, {"Линекс"_w, "2"}, {"Энтерофурил"_w, "23"},
    {"Афобазол"_w, "0"}, {"Глицин"_w, "0"}, {"Пантогам"_w, "03"}, {"Эссенциале форте"_w, "2"},
    {"Карсил"_w, "1"}, {"Йодомарин"_w, "0"}, {"Цетиризин"_w, "16"}, {"Лизиноприл"_w, "0"},
    {"Бисопролол"_w, "1"}, {"Амлодипин"_w, "0"}, {"Валерианы экстракт"_w, "1"}, {"Пустырник"_w, "06"},
    {"Ношпалгин"_w, "0"}, {"Магне B6"_w, "1"}, {"Аскорбиновая кислота"_w, "08"}, {"Звёздочка бальзам"_w, "4"},
    {"Хлоргексидин"_w, "7"}, {"Мирамистин"_w, "7"}, {"Левомеколь"_w, "4"}, {"Бепантен"_w, "4"},
    {"Фенистил"_w, "46"}, {"Цинковая мазь"_w, "4"}, {"Дротаверин"_w, "05"}, {"Ацикловир"_w, "04"},
    {"Флуконазол"_w, "2"}, {"Кагоцел"_w, "0"}, {"Полисорб"_w, "8"}, {"Регидрон"_w, "8"},
};

// A form with the strengths and packs it is sold in ("" when the name carries no strength).
struct Form { const char* name; const char* doses[3]; const char* packs[3]; };
const Form kForms[] = {
    {"таблетки"_w, {"50 мг"_w, "200 мг"_w, "500 мг"_w}, {"№10"_w, "№20"_w, "№30"_w}},
    {"таблетки п/о"_w, {"5 мг"_w, "10 мг"_w, "20 мг"_w}, {"№14"_w, "№28"_w, "№56"_w}},
    {"капсулы"_w, {"100 мг"_w, "250 мг"_w, "400 мг"_w}, {"№10"_w, "№20"_w, "№60"_w}},
    {"сироп"_w, {"100 мг/5 мл"_w, "", ""}, {"100 мл"_w, "150 мл"_w, "200 мл"_w}},
    {"мазь"_w, {"5%", "10%", ""}, {"15 г"_w, "30 г"_w, "50 г"_w}},
    {"р-р д/ин."_w, {"20 мг/мл"_w, "40 мг/мл"_w, "50 мг/мл"_w}, {"амп. 2 мл №5"_w, "амп. 2 мл №10"_w, "амп. 5 мл №5"_w}},
    {"капли"_w, {"0,05%", "0,1%", ""}, {"10 мл"_w, "25 мл"_w, "50 мл"_w}},
    {"спрей"_w, {"0,05%", "0,1%", ""}, {"15 мл"_w, "20 мл"_w, "30 мл"_w}},
    {"порошок"_w, {"", "3 г"_w, "5 г"_w}, {"пак. №10"_w, "пак. №20"_w, "фл. 100 г"_w}},
};

const char* const kNotes[] = {
    "Хранить при температуре не выше 25 °C"_w, "Отпуск по рецепту"_w, "Хранить в холодильнике"_w,
    "Беречь от детей"_w, "Акция: скидка 10%"_w, "Новая упаковка"_w, "Товар 'под заказ'"_w,
};

const char* const kSchema[] = {
    "create domain D_BOOL as smallint default 0 not null check (value in (0, 1))",
    "create table COUNTRY (ID integer not null primary key, NAME varchar(60) not null, CODE char(2))",
    "create table VENDOR (ID integer not null primary key, NAME varchar(100) not null, "
    "COUNTRY_ID integer references COUNTRY (ID), CITY varchar(60))",
    "create table GOODS (ID integer not null primary key, NAME varchar(150) not null, "
    "VENDOR_ID integer references VENDOR (ID), COUNTRY_ID integer references COUNTRY (ID), "
    "PRICE numeric(15, 2), QUANTITY integer, REG_DATE date, EXPIRY_DATE date, ACTIVE D_BOOL, "
    "RECIPE boolean, BARCODE varchar(13), NOTE varchar(200), UPDATED timestamp)",
    "create table PR_LOCALE (COUNTRY_ID integer not null, COUNTRY varchar(2) not null)",
    // The date-formatting function report queries group months with: fdt(d, '01.mm.yyyy').
    "create function FDT(V timestamp, FMT varchar(30)) returns varchar(30) as "
    "begin "
    "  return replace(replace(replace(FMT, 'yyyy', lpad(extract(year from V), 4, '0')), "
    "    'mm', lpad(extract(month from V), 2, '0')), 'dd', lpad(extract(day from V), 2, '0')); "
    "end",
};

// Runs `sql` with each row of `rows` as its parameters through one prepared statement.
void insertRows(TFIBDatabase& db, TFIBTransaction& tr, const std::string& sql,
                const std::vector<std::vector<Variant>>& rows)
{
    fib::FibStatement st;
    st.prepare(&db, &tr, sql);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            st.setParam(i, row[i]);
        st.execute();
    }
}

std::string barcode(Random& rnd)
{
    // EAN-13 with a Russian prefix and a valid check digit
    std::string digits = "460";
    for (int i = 0; i < 9; ++i)
        digits += static_cast<char>('0' + rnd.below(10));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
    digits += static_cast<char>('0' + (10 - sum % 10) % 10);
    return digits;
}

void fill(TFIBDatabase& db, int goodsCount)
{
    TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    tr.StartTransaction();

    std::vector<std::vector<Variant>> rows;
    int id = 0;
    for (const Country& c : kCountries)
        rows.push_back({Variant(++id), Variant(c.name), Variant(c.code)});
    insertRows(db, tr, "insert into COUNTRY (ID, NAME, CODE) values (?, ?, ?)", rows);

    rows.clear();
    id = 0;
    for (const Vendor& v : kVendors)
        rows.push_back({Variant(++id), Variant(v.name), Variant(v.country), Variant(v.city)});
    insertRows(db, tr, "insert into VENDOR (ID, NAME, COUNTRY_ID, CITY) values (?, ?, ?, ?)", rows);

    insertRows(db, tr, "insert into PR_LOCALE (COUNTRY_ID, COUNTRY) values (?, ?)",
               {{Variant(1), Variant("RU")}});

    fib::FibStatement ins;
    ins.prepare(&db, &tr,
                "insert into GOODS (ID, NAME, VENDOR_ID, COUNTRY_ID, PRICE, QUANTITY, REG_DATE, "
                "EXPIRY_DATE, ACTIVE, RECIPE, BARCODE, NOTE, UPDATED) "
                "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Random rnd(20261206);
    const int vendorCount = static_cast<int>(std::size(kVendors));
    const TDateTime base = EncodeDate(2020, 1, 1);
    for (int g = 1; g <= goodsCount; ++g) {
        const Drug& drug = kDrugs[rnd.below(static_cast<int>(std::size(kDrugs)))];
        const std::string_view forms = drug.forms;
        const Form& form = kForms[forms[rnd.below(static_cast<int>(forms.size()))] - '0'];
        std::string name = drug.name;
        name += ' ';
        name += form.name;
        const char* dose = form.doses[rnd.below(3)];
        if (*dose) {
            name += ' ';
            name += dose;
        }
        name += ' ';
        name += form.packs[rnd.below(3)];

        const int vendor = rnd.below(vendorCount);
        const bool noVendor = rnd.chance(2);
        const int priceCents = 1500 + rnd.below(300000) * (rnd.chance(10) ? 5 : 1);
        const TDateTime reg = base + rnd.below(6 * 365);
        const Variant expiry = rnd.chance(7) ? Variant::Null() : Variant::FromDate(reg + 365 + rnd.below(4 * 365));
        const Variant note = rnd.chance(80) ? Variant::Null() : Variant(kNotes[rnd.below(static_cast<int>(std::size(kNotes)))]);
        const Variant price = rnd.chance(1) ? Variant::Null() : Variant(Currency::FromRaw(int64_t(priceCents) * 100));
        const Variant quantity = rnd.chance(3) ? Variant::Null() : Variant(rnd.below(500));

        ins.setParam(0, Variant(g));
        ins.setParam(1, Variant(name));
        ins.setParam(2, noVendor ? Variant::Null() : Variant(vendor + 1));
        ins.setParam(3, Variant(kVendors[vendor].country));
        ins.setParam(4, price);
        ins.setParam(5, quantity);
        ins.setParam(6, Variant::FromDate(reg));
        ins.setParam(7, expiry);
        ins.setParam(8, Variant(rnd.chance(85) ? 1 : 0));
        ins.setParam(9, Variant(rnd.chance(30)));
        ins.setParam(10, Variant(barcode(rnd)));
        ins.setParam(11, note);
        ins.setParam(12, Variant::FromDate(reg + rnd.below(1000) + rnd.below(86400) / 86400.0));
        ins.execute();
    }
    tr.Commit();
}

} // namespace

namespace {

// Creates an empty database under a temporary name of its own beside `path` and returns that
// name. The engine creates files exclusively, so a name taken by anything else is skipped,
// never overwritten.
std::string createTemporary(TFIBDatabase& db, const std::string& path)
{
    std::random_device seed;
    for (int attempt = 0;; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%d-%06x.tmp", static_cast<int>(getpid()), seed() & 0xFFFFFFu);
        const std::string temp = path + suffix;
        std::error_code ec;
        if (std::filesystem::exists(temp, ec))
            continue;
        db.SetDatabaseName(temp);
        try {
            db.CreateDatabase();
            return temp;
        } catch (const Exception&) {
            if (attempt >= 5 || !std::filesystem::exists(temp, ec))
                throw;  // not a clash of names
        }
    }
}

} // namespace

void CreateDemoDatabase(const std::string& path, int goodsCount)
{
    namespace fs = std::filesystem;
    if (goodsCount < 0)
        throw Exception(Format("Invalid number of goods: %d", {goodsCount}));
    std::error_code ec;
    if (fs::exists(path, ec))
        throw Exception(Format("File already exists: %s", {path}));
    TFIBDatabase db;
    const std::string temp = createTemporary(db, path);
    try {
        for (const char* ddl : kSchema)
            db.ExecImmediate(ddl);
        fill(db, goodsCount);
        db.Close();
        // a link fails when `path` appeared meanwhile, where a rename would replace it
        if (link(temp.c_str(), path.c_str()) != 0)
            throw Exception(Format("Cannot create %s: %s", {path, std::string(std::strerror(errno))}));
    } catch (...) {
        if (db.Connected()) {
            try {
                db.DropDatabase();
            } catch (const Exception&) {
                // removed below
            }
        }
        fs::remove(temp, ec);
        throw;
    }
    fs::remove(temp, ec);
}

} // namespace lm
