// A host form for the print menu tests: goods in an in-memory dataset shown in a grid, both
// report components with their master datasets, a user sort, and a report folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "filter/usersort.h"
#include "host/datasource.h"
#include "host/field.h"
#include "host/gridmodel.h"
#include "host/memdataset.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/frxreport.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lmtest {

using lm::operator""_w;

class PrintForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("lmpack-print-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        lm::TfrPrintMenu::SetBaseFolder(folder.string());
        form.SetName("frmGoods");
        goods = new lm::TMemDataSet(&form);
        goods->SetName("Goods");
        goods->FieldDefs().Add("ID", lm::ftInteger);
        goods->FieldDefs().Add("NAME", lm::ftString, 60);
        goods->FieldDefs().Add("COUNTRY", lm::ftString, 30);
        goods->FieldDefs().Add("PRICE", lm::ftFloat);
        goods->FieldDefs().Add("QTY", lm::ftInteger);
        goods->FieldDefs().Add("DOC_DATE", lm::ftDate);
        goods->CreateDataSet();
        const char* countries[] = {"Россия", "Германия", "Россия", "Индия", "Германия"};
        for (int i = 1; i <= 5; ++i)
            goods->AppendRecord({i, std::string("Товар "_w) + std::to_string(i), lm::utf8ToCp1251(countries[i - 1]), i * 10.5, i,
                                 lm::Variant::FromDate(lm::EncodeDate(2026, 12, i))});
        goods->First();
        goods->FieldByName("NAME")->SetDisplayLabel("Наименование|товара"_w);
        goods->FieldByName("COUNTRY")->SetDisplayLabel("Страна"_w);
        goods->FieldByName("PRICE")->SetDisplayLabel("Цена"_w);
        goods->FieldByName("QTY")->SetDisplayLabel("Количество"_w);
        goods->FieldByName("DOC_DATE")->SetDisplayLabel("Дата"_w);
        source = new lm::TDataSource(&form);
        source->SetDataSet(goods);
        grid = new lm::TDBGridEh(&form);
        grid->SetDataSource(source);
        sort = new lm::TUserSort(&form);
        frData = new lm::TfrDBDataSet(&form);
        frData->SetName("frRepDataSet");
        frData->SetDataSet(goods);
        report = new lm::TfrReport(&form);
        report->SetName("frReport");
        report->SetDataset(frData);
    }
    void TearDown() override
    {
        lm::TfrPrintMenu::SetBaseFolder({});
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    std::string dir() const { return folder.string() + "/"; }
    // An empty version-2 report file in the report folder.
    void addReport(const std::string& name)
    {
        std::filesystem::create_directories(folder);
        lm::TfrReport r;
        r.AddPage();
        r.SaveToFile(dir() + name);
    }
    // The IDs the report dataset walks.
    static std::vector<int> walk(lm::TfrCustomDBDataSet& data)
    {
        std::vector<int> ids;
        for (data.First(); !data.Eof() && ids.size() < 20; data.Next())
            ids.push_back(data.DataSet()->FieldByName("ID")->AsInteger());
        return ids;
    }
    void select(std::initializer_list<int> recNos)
    {
        for (int n : recNos) {
            goods->SetRecNo(n);
            grid->SelectedRows().SetCurrentRowSelected(true);
        }
    }

    std::filesystem::path folder;
    lm::TComponent form;
    lm::TMemDataSet* goods;
    lm::TDataSource* source;
    lm::TDBGridEh* grid;
    lm::TUserSort* sort;
    lm::TfrDBDataSet* frData;
    lm::TfrReport* report;
};

} // namespace lmtest
