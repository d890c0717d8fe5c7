// The export tests' shared data and file helpers.
#include "exportfixture.h"

#include <zip.h>

#include <cstdlib>

#include "export/excelimport.h"
#include "export/sheetreader.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm::test {

namespace {

void defineGoods(TMemDataSet& ds)
{
    ds.FieldDefs().Add("ID", ftInteger);
    ds.FieldDefs().Add("NAME", ftString, 60);
    ds.FieldDefs().Add("PRICE", ftBCD, 2);
    ds.FieldDefs().Add("DOC_DATE", ftDate);
    ds.FieldDefs().Add("CODE", ftString, 20);
    ds.CreateDataSet();
}

} // namespace

GoodsGrid::GoodsGrid()
{
    defineGoods(goods);
    goods.FieldByName("NAME")->SetDisplayLabel("Товар|Название"_w);
    goods.FieldByName("PRICE")->SetDisplayLabel("Товар|Цена"_w);
    goods.FieldByName("DOC_DATE")->SetDisplayLabel("Дата"_w);
    add(1, "Аспирин"_w, 12.5, EncodeDate(2026, 12, 1), "12/5");
    add(2, "Ёлка \"Зимняя\""_w, 1500.75, EncodeDate(2009, 3, 5), " 7");
    add(3, "Йод"_w, Variant::Null(), Variant::Null(), "0012");
    source.SetDataSet(&goods);
    grid.SetDataSource(&source);
    goods.First();
}

void GoodsGrid::add(int id, const std::string& name, const Variant& price, const Variant& date, const std::string& code)
{
    goods.AppendRecord({id, name, price, date.IsNull() ? date : Variant::FromDate(date.AsFloat()), code});
}

std::vector<std::string> importedGoods(const std::string& file)
{
    TMemDataSet ds;
    defineGoods(ds);
    for (int i = 0; i < ds.FieldCount(); ++i)
        ds.Fields(i)->SetTag(i + 1);
    ExcelToDataSet(file, &ds, 2, 1);
    std::vector<std::string> rows;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        std::string line;
        for (int i = 0; i < ds.FieldCount(); ++i)
            line += (i ? "|" : "") + ds.Fields(i)->AsString();
        rows.push_back(line);
    }
    return rows;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lmexportXXXXXX").string();
    path = ::mkdtemp(pattern.data());
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::vector<std::pair<std::string, bool>> zipEntries(const std::string& file)
{
    std::vector<std::pair<std::string, bool>> out;
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_RDONLY, &err);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
        out.emplace_back(st.name, st.comp_method == ZIP_CM_STORE);
    }
    zip_discard(za);
    return out;
}

void writeZip(const std::string& file, const std::vector<std::pair<std::string, std::string>>& parts)
{
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    for (size_t i = 0; za && i < parts.size(); ++i) {
        zip_source_t* src = zip_source_buffer(za, parts[i].second.data(), parts[i].second.size(), 0);
        const zip_int64_t idx = zip_file_add(za, parts[i].first.c_str(), src, 0);
        if (i == 0)
            zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), ZIP_CM_STORE, 0);
    }
    if (za)
        zip_close(za);
}

std::string zipPart(const std::string& file, const std::string& part)
{
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_RDONLY, &err);
    if (!za)
        return std::string();
    std::string out;
    if (zip_file_t* f = zip_fopen(za, part.c_str(), 0)) {
        char buf[8192];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            out.append(buf, static_cast<size_t>(n));
        zip_fclose(f);
    }
    zip_discard(za);
    return out;
}

std::vector<std::vector<std::string>> sheetTexts(const std::string& file, int sheet)
{
    auto book = TSheetFile::Open(file);
    std::vector<std::vector<std::string>> rows;
    for (const auto& [row, cells] : book->Sheet(sheet).Rows()) {
        if (rows.size() <= static_cast<size_t>(row))
            rows.resize(static_cast<size_t>(row) + 1);
        for (const auto& [col, cell] : cells) {
            auto& r = rows[static_cast<size_t>(row)];
            if (r.size() <= static_cast<size_t>(col))
                r.resize(static_cast<size_t>(col) + 1);
            r[static_cast<size_t>(col)] = cell.Text;
        }
    }
    return rows;
}

} // namespace lm::test
