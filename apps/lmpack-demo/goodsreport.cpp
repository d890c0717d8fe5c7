// The goods list report form and printing report forms to PDF.
#include "goodsreport.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "export/atomicfile.h"
#include "host/dataset.h"
#include "report/frdbdataset.h"
#include "report/frxpainter.h"
#include "report/frxreport.h"
#include "report/frxrenderer.h"
#include "report/ui/frxqtpainter.h"
#include "util/cp1251.h"
#include "util/filefunc.h"

namespace lm {

namespace fs = std::filesystem;

namespace {

// The goods list: title with the print date, column heads repeated on every page, one line per
// good, totals, page numbers. Written here in UTF-8 and stored in Windows-1251.
constexpr const char* kGoodsReport = R"(<?xml version="1.0" encoding="windows-1251" standalone="no"?>
<TfrxReport Name="GoodsList" ReportOptions.Name="Список товаров" ScriptText.Text="begin&#13;&#10;end.">
  <TfrxReportPage Name="Page1">
    <TfrxReportTitle Name="ReportTitle1" Left="0" Top="0" Width="718" Height="48">
      <TfrxMemoView Name="Title" Left="0" Top="0" Width="718" Height="28" Text="Список товаров" Font.Name="DejaVu Sans" Font.Height="-18" Font.Style="1" HAlign="haCenter" WordWrap="False"/>
      <TfrxMemoView Name="Printed" Left="0" Top="28" Width="718" Height="18" Text="на [Date]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haCenter" WordWrap="False"/>
    </TfrxReportTitle>
    <TfrxPageHeader Name="PageHeader1" Left="0" Top="56" Width="718" Height="20">
      <TfrxMemoView Name="HName" Left="0" Top="0" Width="330" Height="20" Text="Наименование" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haLeft" WordWrap="False" Frame.Typ="8"/>
      <TfrxMemoView Name="HVendor" Left="334" Top="0" Width="150" Height="20" Text="Производитель" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haLeft" WordWrap="False" Frame.Typ="8"/>
      <TfrxMemoView Name="HPrice" Left="488" Top="0" Width="76" Height="20" Text="Цена" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haRight" WordWrap="False" Frame.Typ="8"/>
      <TfrxMemoView Name="HQty" Left="568" Top="0" Width="50" Height="20" Text="Кол-во" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haRight" WordWrap="False" Frame.Typ="8"/>
      <TfrxMemoView Name="HSum" Left="622" Top="0" Width="96" Height="20" Text="Сумма" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haRight" WordWrap="False" Frame.Typ="8"/>
    </TfrxPageHeader>
    <TfrxMasterData Name="MasterData1" Left="0" Top="84" Width="718" Height="17" DataSet="Товары">
      <TfrxMemoView Name="Name" Left="0" Top="0" Width="330" Height="17" Text="[&lt;Товары.&quot;NAME&quot;&gt;]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haLeft" WordWrap="False"/>
      <TfrxMemoView Name="Vendor" Left="334" Top="0" Width="150" Height="17" Text="[&lt;Товары.&quot;VENDOR&quot;&gt;]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haLeft" WordWrap="False"/>
      <TfrxMemoView Name="Price" Left="488" Top="0" Width="76" Height="17" Text="[&lt;Товары.&quot;PRICE&quot;&gt;]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haRight" WordWrap="False" DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="%2.2n" DisplayFormat.DecimalSeparator=","/>
      <TfrxMemoView Name="Qty" Left="568" Top="0" Width="50" Height="17" Text="[&lt;Товары.&quot;QUANTITY&quot;&gt;]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haRight" WordWrap="False"/>
      <TfrxMemoView Name="Sum" Left="622" Top="0" Width="96" Height="17" Text="[&lt;Товары.&quot;SUMMA&quot;&gt;]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="0" HAlign="haRight" WordWrap="False" DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="%2.2n" DisplayFormat.DecimalSeparator=","/>
    </TfrxMasterData>
    <TfrxReportSummary Name="ReportSummary1" Left="0" Top="110" Width="718" Height="24">
      <TfrxMemoView Name="Count" Left="0" Top="4" Width="330" Height="20" Text="Наименований: [COUNT(MasterData1)]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haLeft" WordWrap="False" Frame.Typ="4"/>
      <TfrxMemoView Name="Total" Left="334" Top="4" Width="384" Height="20" Text="Итого на сумму: [SUM(&lt;Товары.&quot;SUMMA&quot;&gt;, MasterData1)]" Font.Name="DejaVu Sans" Font.Height="-11" Font.Style="1" HAlign="haRight" WordWrap="False" Frame.Typ="4" DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="%2.2n" DisplayFormat.DecimalSeparator=","/>
    </TfrxReportSummary>
    <TfrxPageFooter Name="PageFooter1" Left="0" Top="144" Width="718" Height="20">
      <TfrxMemoView Name="PageNo" Left="418" Top="0" Width="300" Height="20" Text="Страница [Page#] из [TotalPages#]" Font.Name="DejaVu Sans" Font.Height="-10" Font.Style="0" HAlign="haRight" WordWrap="False"/>
    </TfrxPageFooter>
  </TfrxReportPage>
</TfrxReport>
)";

} // namespace

std::string GoodsReportFile(const std::string& dir)
{
    std::string path = dir;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "Список товаров.fr3"_w;
}

void EnsureGoodsReport(const std::string& dir)
{
    const fs::path file = ToSysPath(GoodsReportFile(dir));
    fs::create_directories(file.parent_path());
    if (fs::exists(file))
        return;
    TAtomicFile out(GoodsReportFile(dir));
    {
        std::ofstream stream(out.TempPath(), std::ios::binary);
        stream << utf8ToCp1251(kGoodsReport);
        if (!stream.flush())
            out.Fail("write failed");
    }
    out.Commit();
}

int PrintReportToPdf(const std::string& form, TDataSet& data, const std::string& pdf,
                     const std::function<void(int page)>& progress)
{
    TComponent owner;
    auto* report = new TfrxReport(&owner);
    report->LoadFromFile(form);
    auto* ds = new TfrxDBDataset(&owner);
    ds->SetUserName("Товары"_w);
    ds->SetDataSet(&data);
    const TBookmark position = data.GetBookmark();
    TfrxQtPainter measure;
    TfrxRenderer renderer(*report, measure);
    if (progress)
        renderer.OnProgress = progress;
    TfrxPreparedPages pages;
    renderer.Prepare(pages);
    if (data.BookmarkValid(position))
        data.GotoBookmark(position);
    frxExportPdf(pages, pdf, report->Prop("ReportOptions.Name"));
    return pages.Count();
}

} // namespace lm
