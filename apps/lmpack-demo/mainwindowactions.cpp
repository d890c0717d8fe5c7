// The goods screen's commands: record form, filter, search, sort, colours, printing, export,
// import, the report builder, the settings and the documents.
#include "mainwindow.h"

#include <filesystem>
#include <map>

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "app/docmanager.h"
#include "app/globals.h"
#include "app/hooks.h"
#include "app/lmtranslate.h"
#include "controls/ui/qtcheckcombo.h"
#include "datawindow.h"
#include "db/fibquery.h"
#include "democonnection.h"
#include "export/excelexport.h"
#include "export/excelimport.h"
#include "export/opoffice.h"
#include "export/sheetreader.h"
#include "forms/progressbox.h"
#include "goodscard.h"
#include "goodsdocmodule.h"
#include "goodsprinting.h"
#include "goodsreport.h"
#include "host/memdataset.h"
#include "host/ui/qtdbgrid.h"
#include "reportbuilder.h"
#include "settingsdialog.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr const char* kCaption = "Товары"_w;

// Asks for a file; "" when the user cancelled.
std::string chooseFile(TFileDialogKind kind, const std::string& caption, const std::string& filter,
                       const std::string& proposal)
{
    TFileDialogRequest request;
    request.Kind = kind;
    request.Caption = caption;
    request.Filter = filter;
    request.FileName = proposal;
    return ShowFileDialog(request) ? request.FileName : std::string();
}

// An EAN-13 barcode's text: thirteen digits.
bool isBarcode(const std::string& text)
{
    return text.size() == 13 && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string documentsDir()
{
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/" : std::string();
}

} // namespace

bool TfrmGoods::guarded(const std::function<void()>& job)
{
    try {
        job();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        ShowMessageBox(e.what(), kCaption, MB_OK | MB_ICONERROR);
        return false;
    }
}

bool TfrmGoods::EditGoods(int id)
{
    TpFIBDataSet& goods = m_data.Goods();
    if (!m_data.LocateID(id)) {
        ShowMessageBox(Format("Товар с кодом %d не найден в списке"_w, {id}), kCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!guarded([&] { goods.Edit(); }))
        return false;
    TfrmGoodsCard card(&m_data.Source(), false, this);
    // a write the server refuses keeps the form open with the user's values
    while (card.exec() == QDialog::Accepted) {
        if (guarded([&] {
                goods.Post();
                m_connection.Write().Commit();
            })) {
            UpdateState();
            return true;
        }
        if (goods.State() == dsBrowse)
            goods.Edit();
    }
    goods.Cancel();
    return false;
}

int TfrmGoods::NewGoods()
{
    TpFIBDataSet& goods = m_data.Goods();
    int id = 0;
    if (!guarded([&] {
            id = SelectValue("select coalesce(max(ID), 0) + 1 from GOODS", {}, &m_connection.Write()).AsInteger();
            goods.Append();
            goods.FieldByName("ID")->SetAsInteger(id);
            goods.FieldByName("ACTIVE")->SetAsInteger(1);
            goods.FieldByName("RECIPE")->SetValue(Variant(false));
            goods.FieldByName("QUANTITY")->SetAsInteger(0);
            goods.FieldByName("REG_DATE")->SetAsDateTime(Date());
        }))
        return 0;
    TfrmGoodsCard card(&m_data.Source(), true, this);
    while (card.exec() == QDialog::Accepted) {
        if (guarded([&] {
                goods.Post();
                m_connection.Write().Commit();
            })) {
            UpdateState();
            return id;
        }
        if (goods.State() == dsBrowse)
            return 0;
    }
    goods.Cancel();
    return 0;
}

bool TfrmGoods::DeleteGoods(int id)
{
    if (!m_data.LocateID(id))
        return false;
    const std::string name = m_data.Goods().FieldByName("NAME")->AsString();
    if (ShowMessageBox(Format("Удалить товар \"%s\"?"_w, {name}), kCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    const bool done = guarded([&] {
        m_data.Goods().Delete();
        m_connection.Write().Commit();
    });
    UpdateState();
    return done;
}

void TfrmGoods::editCurrent()
{
    if (const int id = m_data.CurrentID())
        EditGoods(id);
}

void TfrmGoods::deleteCurrent()
{
    if (const int id = m_data.CurrentID())
        guarded([&] { DocManager()->DeleteDoc(kDocGoods, Currency::FromDouble(id)); });
}

void TfrmGoods::documentEdit()
{
    if (const int id = m_data.CurrentID())
        guarded([&] { DocManager()->EditDoc(kDocGoods, Currency::FromDouble(id), 0); });
}

void TfrmGoods::refresh()
{
    guarded([this] { m_data.Reopen(); });
    UpdateState();
}

void TfrmGoods::filterDialog()
{
    guarded([this] { m_data.Filter().Customize(); });
    UpdateState();
}

void TfrmGoods::filterSwitch()
{
    TUFilter& filter = m_data.Filter();
    guarded([&] { filter.SetActive(!filter.Active()); });
    UpdateState();
}

void TfrmGoods::fillFilterMenu()
{
    m_savedFilters->clear();
    TUFilter& filter = m_data.Filter();
    std::vector<std::string> names;
    guarded([&] { filter.ReadFilterList(true, names); });
    if (names.empty())
        m_savedFilters->addAction(ToQString("(нет сохранённых фильтров)"_w))->setEnabled(false);
    for (const std::string& name : names) {
        QAction* a = m_savedFilters->addAction(ToQString(name).trimmed());
        connect(a, &QAction::triggered, this, [this, name] {
            guarded([&] { m_data.Filter().SetFilterByName(name); });
            UpdateState();
        });
    }
}

void TfrmGoods::searchDialog()
{
    TField* field = nullptr;
    const QModelIndex current = m_gridView->currentIndex();
    if (current.isValid() && current.column() < m_data.Grid().Columns().Count())
        field = m_data.Grid().Columns().Items(current.column())->Field();
    guarded([&] { m_data.Search().ExecDlg(field); });
    UpdateState();
}

void TfrmGoods::searchClear()
{
    guarded([this] { m_data.Search().Clear(); });
    UpdateState();
}

void TfrmGoods::sortDialog()
{
    guarded([this] { m_data.Sort().ExecDlg("Сортировка товаров"_w, true); });
    UpdateState();
}

void TfrmGoods::colorsDialog()
{
    guarded([this] { m_data.Colors().Customize(); });
    m_gridView->viewport()->update();
}

void TfrmGoods::vendorsChosen()
{
    const std::string keys = m_vendors->ComboDB().AllChecked() ? std::string() : m_vendors->ComboDB().CheckedKeys();
    if (keys == m_data.VendorKeys())
        return;
    guarded([&] {
        m_data.SetVendorKeys(keys);
        m_data.Reopen();
    });
    UpdateState();
}

std::string TfrmGoods::ExportGrid(bool ods)
{
    const std::string file =
        chooseFile(fdSave, ods ? "Экспорт в Calc"_w : "Экспорт в Excel"_w,
                   ods ? "Документ OpenDocument|*.ods"_w : "Книга Excel|*.xlsx"_w,
                   documentsDir() + (ods ? "goods.ods" : "goods.xlsx"));
    if (file.empty())
        return {};
    const std::string title = "Список товаров"_w;
    bool done = false;
    if (ods) {
        // the Calc-style export reports its own errors
        done = OpExcelOleCopyGrideh(&m_data.Grid(), nullptr, title, kCaption, true, std::string(), true, true, true,
                                    false, std::string(), file, true, false, 0);
    } else {
        done = guarded([&] { ExcelCopyGridDDE(&m_data.Grid(), kCaption, title, file, true); });
    }
    return done ? file : std::string();
}

int TfrmGoods::ImportPriceList()
{
    const std::string file = chooseFile(fdOpen, "Импорт прайс-листа"_w, "Таблицы|*.xlsx;*.ods"_w, documentsDir());
    if (file.empty())
        return -1;
    auto rows = std::make_unique<TMemDataSet>();
    auto add = [&](TField* f, const char* name, const char* label, int column) {
        f->SetFieldName(name);
        f->SetDisplayLabel(label);
        f->SetTag(column);
        f->SetDataSet(rows.get());
        return f;
    };
    // the columns of the goods export: name, barcode, ..., price in the fifth
    add(new TStringField(rows.get()), "NAME", "Прайс-лист|Наименование"_w, 1)->SetDisplayWidth(44);
    add(new TStringField(rows.get()), "BARCODE", "Прайс-лист|Штрихкод"_w, 2)->SetDisplayWidth(17);
    auto* price = static_cast<TFloatField*>(add(new TFloatField(rows.get()), "PRICE", "Прайс-лист|Цена"_w, 5));
    auto* dbPrice = static_cast<TFloatField*>(add(new TFloatField(rows.get()), "DB_PRICE", "В базе|Цена"_w, 0));
    add(new TStringField(rows.get()), "STATUS", "В базе|Сверка"_w, 0)->SetDisplayWidth(16);
    price->SetDisplayFormat(",0.00");
    dbPrice->SetDisplayFormat(",0.00");
    bool ok = guarded([&] {
        // the data starts at the first row whose second column holds a barcode
        int start = 0;
        {
            auto book = TSheetFile::Open(file);
            const TReadSheet& sheet = book->Sheet(book->ActiveSheet());
            for (const auto& [row, cells] : sheet.Rows()) {
                const TReadCell* code = sheet.Cell(row, 1);
                if (code && isBarcode(code->Text)) {
                    start = row + 1;
                    break;
                }
            }
        }
        if (start == 0)
            throw Exception("В файле нет строк со штрихкодом во второй колонке"_w);
        rows->CreateDataSet();
        TProgressBox box;
        box.SetCaption("Импорт прайс-листа"_w);
        ExcelToDataSet(file, rows.get(), start, 2, [&](int count, int num) {
            if (num == 0)
                box.Show(count);
            else
                box.Step();
        });
        box.Close();
    });
    if (!ok)
        return -1;
    // the prices the database holds for those barcodes
    std::map<std::string, Variant> known;
    guarded([&] {
        TpFIBQuery q;
        q.SetTransaction(&m_connection.Read());
        q.SetOptions(TpFIBQuery::qoStartTransaction);
        q.SetSQL("select BARCODE, PRICE from GOODS");
        for (q.ExecQuery(); !q.Eof(); q.Next())
            known[q.Fields(0).AsString()] = q.Fields(1);
    });
    // rows without a barcode (a totals row, notes under the table) are not goods
    for (rows->First(); !rows->Eof();) {
        if (isBarcode(rows->FieldByName("BARCODE")->AsString()))
            rows->Next();
        else
            rows->Delete();
    }
    for (rows->First(); !rows->Eof(); rows->Next()) {
        const auto found = known.find(rows->FieldByName("BARCODE")->AsString());
        rows->Edit();
        if (found == known.end()) {
            rows->FieldByName("STATUS")->SetAsString("нет в базе"_w);
        } else {
            dbPrice->SetValue(found->second);
            const bool same = found->second.IsNull() || price->IsNull()
                                  ? found->second.IsNull() && price->IsNull()
                                  : Currency::FromDouble(price->AsFloat()) == found->second.AsCurrency();
            rows->FieldByName("STATUS")->SetAsString(same ? "совпадает"_w : "цена изменилась"_w);
        }
        rows->Post();
    }
    rows->First();
    const int count = rows->RecordCount();
    auto* window = new TfrmDataWindow(std::move(rows), "Импорт прайс-листа"_w, this);
    window->setObjectName("frmImport");
    showResult(window);
    return count;
}

int TfrmGoods::PrintListToPdf()
{
    const std::string form = GoodsReportFile(m_printing->Folder());
    const std::string pdf = chooseFile(fdSave, "Печать в PDF"_w, "Документ PDF|*.pdf"_w, documentsDir() + "goods.pdf");
    if (pdf.empty())
        return 0;
    int pages = 0;
    guarded([&] {
        TProgressBox box;
        box.SetCaption("Печать списка товаров"_w);
        box.SetAbortBtn(false);
        box.Show(0);
        m_data.Goods().DisableControls();
        try {
            pages = PrintReportToPdf(form, m_data.Goods(), pdf,
                                     [&](int page) { box.SetNote(Format("Страница %d"_w, {page})); });
        } catch (...) {
            m_data.Goods().EnableControls();
            throw;
        }
        m_data.Goods().EnableControls();
        box.Close();
    });
    if (pages > 0 && OpenPrintedFiles)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(pdf)));
    return pages;
}

void TfrmGoods::RunReportBuilder()
{
    auto builder = CreateGoodsReportBuilder();
    TfrmReportBuilder dialog(*builder, this);
    dialog.CheckFields({"VENDOR_NAME", "QTY_SUM", "STOCK_SUM"});
    if (dialog.exec() != QDialog::Accepted)
        return;
    guarded([&] {
        TProgressBox box;
        box.SetCaption("Отчёт по товарам"_w);
        box.SetAbortBtn(false);
        box.Show(0);
        box.SetNote("Выполнение запроса..."_w);
        TfrmDataWindow* window = ShowReportResult(m_connection, *builder, builder->BuildSQL(), this);
        box.Close();
        showResult(window);
    });
}

void TfrmGoods::showResult(QWidget* window)
{
    m_lastResult = window;
    window->resize(window->sizeHint().expandedTo(QSize(width() * 3 / 4, height() * 2 / 3)));
    window->show();
}

void TfrmGoods::EditSettings()
{
    if (!TfrmSettings::Execute(m_settings, this))
        return;
    guarded([this] { m_settings.Save(); });
    ApplySettings();
}

void TfrmGoods::ApplySettings()
{
    if (glVars)
        glVars->UseOpenOffice = m_settings.UseOpenOffice;
    toggleKazakh(m_settings.KazakhKeyboard);
    QFont font = m_gridView->font();
    font.setPointSize(m_settings.GridFontSize);
    m_gridView->setFont(font);
    m_data.SetShowFooters(m_settings.ShowFooters);
    m_data.SetExpensivePrice(m_settings.ExpensivePrice);
    Action("actExport")->setText(ToQString(m_settings.UseOpenOffice ? "&Экспорт (ods)..."_w : "&Экспорт (xlsx)..."_w));
    UpdateState();
}

void TfrmGoods::toggleKazakh(bool on)
{
    SetTranslateLocale(on ? "KZ" : "RU");
    Action("actKazakh")->setChecked(on);
}

} // namespace lm
