// The tour's steps and their checks.
#include "tour.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QPushButton>
#include <QTest>

#include "app/docmanager.h"
#include "app/globals.h"
#include "app/lmtranslate.h"
#include "app/ui/cp1251input.h"
#include "color/coloritem.h"
#include "controls/ui/qtcheckcombo.h"
#include "controls/ui/qtzproplist.h"
#include "datawindow.h"
#include "db/fibquery.h"
#include "democonnection.h"
#include "export/sheetreader.h"
#include "goodsdocmodule.h"
#include "goodsprinting.h"
#include "host/registry.h"
#include "host/ui/qtdbgrid.h"
#include "mainwindow.h"
#include "report/ui/frmpreview.h"
#include "report/ui/frmreportdesigner.h"
#include "reportbuilder.h"
#include "settingsdialog.h"
#include "tourdriver.h"
#include "util/cp1251.h"
#include "util/filefunc.h"
#include "util/sysutils.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    Expect(w != nullptr, std::string("no control ") + name + " in " + parent->objectName().toStdString());
    return w;
}

void click(QWidget* parent, const char* button)
{
    QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton);
}

class Tour {
public:
    Tour(TfrmGoods& window, TDemoConnection& connection, const std::string& outDir)
        : m_window(window), m_connection(connection), m_driver(outDir), m_log(outDir + "/tour.log")
    {
    }

    int Run();

private:
    // Runs one step: prints and logs its summary, or its failure.
    void step(const char* title, const std::function<std::string()>& body);
    int count(const std::string& where);
    int rows() const { return m_window.Data().Goods().RecordCount(); }
    void trigger(const char* action);

    std::string start();
    void checkTotals(TGoodsData& data, int all);
    std::string userFilter();
    std::string savedFilters();
    std::string contextSearch();
    std::string userSort();
    std::string colourRules();
    std::string exportWorkbook(bool ods);
    std::string importPriceList();
    std::string reportBuilder();
    std::string recordForm();
    std::string documents();
    std::string vendors();
    std::string printing();
    std::string wizard();
    std::string settings();
    std::string kazakh();
    std::string remembered();

    TfrmGoods& m_window;
    TDemoConnection& m_connection;
    TTourDriver m_driver;
    std::ofstream m_log;
    int m_failed = 0;
    int m_exportedRows = -1;
    std::string m_xlsx;
    std::vector<std::string> m_files;
};

int Tour::count(const std::string& where)
{
    const std::string sql = "select count(*) from GOODS G where " + where;
    return SelectValue(sql, {}, &m_connection.Read()).AsInteger();
}

void Tour::trigger(const char* action)
{
    QAction* a = m_window.Action(action);
    Expect(a != nullptr, std::string("no action ") + action);
    Expect(a->isEnabled(), std::string("action ") + action + " is disabled");
    a->trigger();
    TTourDriver::Settle();
}

void Tour::step(const char* title, const std::function<std::string()>& body)
{
    const auto started = std::chrono::steady_clock::now();
    std::string line;
    try {
        line = std::string("ok    ") + title + ": " + body();
    } catch (const ETourFailure& e) {
        ++m_failed;
        line = std::string("FAIL  ") + title + ": " + e.what();
    } catch (const std::exception& e) {
        // the package's messages are Windows-1251
        ++m_failed;
        line = std::string("FAIL  ") + title + ": " + cp1251ToUtf8(e.what());
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    line += " (" + std::to_string(ms.count()) + " ms)";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    m_log << line << "\n";
    m_log.flush();
}

// The totals row, read by SQL at start-up, against the sums over the rows themselves.
void Tour::checkTotals(TGoodsData& data, int all)
{
    TDBGridEh& grid = data.Grid();
    const std::string shown = grid.GetFooterValue(0, *grid.FieldColumns("NAME")) + " / "
        + grid.GetFooterValue(0, *grid.FieldColumns("QUANTITY")) + " / " + grid.GetFooterValue(0, *grid.FieldColumns("SUMMA"));
    double quantity = 0;
    double summa = 0;
    TpFIBDataSet& goods = data.Goods();
    goods.ScanRecords([&] {
        quantity += goods.FieldByName("QUANTITY")->AsFloat();
        summa += goods.FieldByName("SUMMA")->AsFloat();
    });
    const std::string summed = IntToStr(all) + " / " + FormatFloat(",0", quantity) + " / " + FormatFloat(",0.00", summa);
    Expect(shown == summed, "the totals row shows " + shown + ", the rows sum to " + summed);
}

std::string Tour::start()
{
    m_window.resize(1360, 760);
    m_window.show();
    QTest::qWaitForWindowExposed(&m_window, 5000);
    TTourDriver::Settle(200);
    TGoodsData& data = m_window.Data();
    Expect(!data.Goods().AllFetched(), "the window read every good before it showed");
    const int all = count("1 = 1");
    checkTotals(data, all);
    Expect(rows() == all, "the grid shows " + std::to_string(rows()) + " of " + std::to_string(all) + " goods");
    Expect(m_window.Data().Colors().Items().Count() >= 4, "the default colour rules are missing");
    m_driver.Snap(&m_window, "01-main");
    return std::to_string(all) + " goods in the grid, " + std::to_string(m_window.Data().Colors().Items().Count()) +
           " colour rules, two-level titles and totals";
}

std::string Tour::userFilter()
{
    m_driver.WhenModal([this](QWidget* dialog) {
        auto* memo = child<QPlainTextEdit>(dialog, "mmFilter");
        memo->setFocus();
        memo->selectAll();
        TTourDriver::Type(memo, U("[Цена] > 1000"));
        m_driver.Snap(dialog, "02-filter-dialog");
        click(dialog, "btnOk");
    });
    trigger("actFilter");
    m_driver.CheckAnswered();
    const int expected = count("G.PRICE > 1000");
    Expect(m_window.Data().Filter().Active(), "the filter is not on");
    Expect(rows() == expected, "the filter kept " + std::to_string(rows()) + " rows, the database has " +
                                   std::to_string(expected));
    m_driver.Snap(&m_window, "03-main-filtered");
    return "[Цена] > 1000 kept " + std::to_string(rows()) + " rows (SQL count " + std::to_string(expected) + ")";
}

std::string Tour::savedFilters()
{
    TUFilter& filter = m_window.Data().Filter();
    filter.SaveFilterAs(utf8ToCp1251("Нет на складе"), utf8ToCp1251("[Остаток] = 0"));
    QMenu* menu = m_window.findChild<QMenu*>("mnSavedFilters");
    Expect(menu != nullptr, "no saved filters menu");
    emit menu->aboutToShow();
    QAction* saved = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == U("Нет на складе"))
            saved = a;
    Expect(saved != nullptr, "the saved filter is not in the menu");
    saved->trigger();
    const int zero = count("G.QUANTITY = 0");
    Expect(rows() == zero, "the saved filter kept " + std::to_string(rows()) + " rows, expected " + std::to_string(zero));
    trigger("actFilterOn");
    const int all = count("1 = 1");
    Expect(!filter.Active() && rows() == all, "switching the filter off left " + std::to_string(rows()) + " rows");
    trigger("actFilterOn");
    Expect(filter.Active() && rows() == zero, "switching the filter on again gave " + std::to_string(rows()) + " rows");
    trigger("actFilterOn");
    return "saved filter \"Нет на складе\" kept " + std::to_string(zero) + " rows; off " + std::to_string(all) +
           ", on again " + std::to_string(zero) + ", off";
}

std::string Tour::contextSearch()
{
    const QString fragment = U("аспирин");
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* field = child<QComboBox>(dialog, "cbField");
        const int index = field->findText(U("Наименование"));
        Expect(index >= 0, "no field Наименование in the search");
        field->setCurrentIndex(index);
        emit field->activated(index);
        auto* value = child<QComboBox>(dialog, "lcValue");
        value->setFocus();
        TTourDriver::Type(value->lineEdit() ? static_cast<QWidget*>(value->lineEdit()) : value, fragment);
        m_driver.Snap(dialog, "04-search-dialog");
        click(dialog, "btnSearch");
    });
    trigger("actSearch");
    m_driver.CheckAnswered();
    // the names that hold the fragment, whatever its letter case
    int expected = 0;
    TpFIBQuery q;
    q.SetTransaction(&m_connection.Read());
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL("select NAME from GOODS");
    for (q.ExecQuery(); !q.Eof(); q.Next())
        expected += ToQString(q.Fields(0).AsString()).contains(fragment, Qt::CaseInsensitive);
    Expect(m_window.Data().Search().FilterOn(), "the search is not on");
    Expect(rows() == expected && expected > 0,
           "the search kept " + std::to_string(rows()) + " rows, names holding it: " + std::to_string(expected));
    m_driver.Snap(&m_window, "05-main-search");
    return "\"аспирин\" in Наименование kept " + std::to_string(rows()) + " rows";
}

std::string Tour::userSort()
{
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* fields = child<QListWidget>(dialog, "lbFields");
        const auto found = fields->findItems(U("Цена"), Qt::MatchExactly);
        Expect(!found.isEmpty(), "no field Цена in the sort dialog");
        fields->setCurrentItem(found.first());
        QTest::mouseClick(child<QWidget>(dialog, "btnAdd"), Qt::LeftButton);
        auto* sort = child<QListWidget>(dialog, "lbSort");
        Expect(sort->count() == 1, "the sort list holds " + std::to_string(sort->count()) + " fields");
        sort->item(0)->setCheckState(Qt::Checked);  // descending
        m_driver.Snap(dialog, "06-sort-dialog");
        click(dialog, "btnSave");
    });
    trigger("actSort");
    m_driver.CheckAnswered();
    TpFIBDataSet& goods = m_window.Data().Goods();
    double previous = 1e300;
    int checked = 0;
    bool ordered = true;
    goods.ScanRecords([&] {
        TField* price = goods.FieldByName("PRICE");
        const double p = price->IsNull() ? -1 : price->AsFloat();
        ordered = ordered && p <= previous;
        previous = p;
        ++checked;
    });
    Expect(ordered && checked == rows(), "the rows are not in descending price order");
    m_driver.Snap(&m_window, "07-main-sorted");
    return std::to_string(checked) + " rows in descending price order (saved for the user), sort mark on the title";
}

std::string Tour::colourRules()
{
    trigger("actSearchClear");
    m_driver.WhenModal([&](QWidget* dialog) {
        m_driver.Snap(dialog, "08-colour-rules");
        click(dialog, "btnOk");
    });
    trigger("actColors");
    m_driver.CheckAnswered();
    // the out-of-stock rule paints what the expired-goods rule before it leaves
    TpFIBDataSet& goods = m_window.Data().Goods();
    int painted = 0;
    const TBookmark here = goods.GetBookmark();
    goods.DisableControls();
    for (goods.First(); !goods.Eof(); goods.Next()) {
        TColor font = clWindowText, back = clWindow;
        m_window.Data().Colors().CalcColors(font, back);
        painted += back == clLightOrange;
    }
    goods.GotoBookmark(here);
    goods.EnableControls();
    const int expected = count("G.QUANTITY = 0 and (G.EXPIRY_DATE is null or G.EXPIRY_DATE >= current_date)");
    Expect(painted == expected, std::to_string(painted) + " rows painted as out of stock, expected " +
                                    std::to_string(expected));
    // the default rules are not stored: only a user's own rules are
    Expect(!TRegistry().KeyExists(std::string(kGoodsRegKey) + "\\ColorGrid"), "the default rules were stored");
    return std::to_string(painted) + " rows out of stock painted orange by the default rules";
}

std::string Tour::exportWorkbook(bool ods)
{
    const std::string file = m_driver.OutPath(ods ? "goods.ods" : "goods.xlsx");
    std::filesystem::remove(file);
    m_driver.AnswerFileDialog(file);
    m_driver.ResetProgressWindows();
    trigger(ods ? "actExportOds" : "actExportXlsx");
    Expect(std::filesystem::exists(file), "no file " + file);
    // the rows read back: those with a barcode in the second column
    auto book = TSheetFile::Open(file);
    const TReadSheet& sheet = book->Sheet(book->ActiveSheet());
    int read = 0;
    for (const auto& [row, cells] : sheet.Rows()) {
        const TReadCell* code = sheet.Cell(row, 1);
        read += code && code->Text.size() == 13;
    }
    Expect(read == rows(), "read back " + std::to_string(read) + " rows, the grid has " + std::to_string(rows()));
    Expect(m_driver.ProgressWindows() > 0, "no progress box was shown");
    m_files.push_back(file);
    if (!ods) {
        m_xlsx = file;
        m_exportedRows = read;
    }
    return file + ": " + std::to_string(read) + " rows read back, progress box shown";
}

std::string Tour::importPriceList()
{
    Expect(!m_xlsx.empty(), "no exported workbook to import");
    m_driver.AnswerFileDialog(m_xlsx);
    const int read = m_window.ImportPriceList();
    Expect(read == m_exportedRows, "imported " + std::to_string(read) + " rows of " + std::to_string(m_exportedRows));
    auto* window = qobject_cast<TfrmDataWindow*>(m_window.LastResultWindow());
    Expect(window != nullptr, "the imported rows are not shown");
    int same = 0;
    window->DataSet().ScanRecords([&] { same += window->DataSet().FieldByName("STATUS")->AsString() == "совпадает"_w; });
    Expect(same == read, std::to_string(same) + " of " + std::to_string(read) + " prices match the database");
    QTest::qWaitForWindowExposed(window, 3000);
    m_driver.Snap(window, "09-import");
    window->close();
    return std::to_string(read) + " rows imported from the workbook, every price matches the database";
}

std::string Tour::reportBuilder()
{
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* list = child<QListWidget>(dialog, "lbFields");
        for (int i = 0; i < list->count(); ++i) {
            const QString name = list->item(i)->data(Qt::UserRole).toString();
            const bool on = name == "COUNTRY_NAME" || name == "QTY_SUM" || name == "STOCK_SUM";
            list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        m_driver.Snap(dialog, "10-report-builder");
        click(dialog, "btnOk");
    });
    trigger("actReport");
    m_driver.CheckAnswered();
    auto* window = qobject_cast<TfrmDataWindow*>(m_window.LastResultWindow());
    Expect(window != nullptr, "the report did not open");
    const int countries =
        SelectValue("select count(*) from (select C.NAME from GOODS G left join COUNTRY C on C.ID = G.COUNTRY_ID "
                    "group by C.NAME)",
                    {}, &m_connection.Read())
            .AsInteger();
    const int got = window->DataSet().RecordCount();
    Expect(got == countries, "the report has " + std::to_string(got) + " rows, countries: " + std::to_string(countries));
    QTest::qWaitForWindowExposed(window, 3000);
    m_driver.Snap(window, "11-report-result");
    window->close();
    return "report by country with stock sums: " + std::to_string(got) + " rows in the second grid";
}

std::string Tour::recordForm()
{
    TGoodsData& data = m_window.Data();
    data.Goods().First();
    const int id = data.CurrentID();
    const bool recipe = data.Goods().FieldByName("RECIPE")->AsBoolean();
    const QString note = U("Проверено: хранить при 15-25 °C");
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* edit = child<QLineEdit>(dialog, "edNOTE");
        edit->setFocus();
        edit->selectAll();
        TTourDriver::Type(edit, note);
        QTest::mouseClick(child<QCheckBox>(dialog, "cbRECIPE"), Qt::LeftButton);
        m_driver.Snap(dialog, "12-record-form");
        click(dialog, "btnOk");
    });
    trigger("actEdit");
    m_driver.CheckAnswered();
    const std::string stored =
        SelectValue("select NOTE from GOODS where ID = ?", {Variant(id)}, &m_connection.Write()).AsString();
    Expect(ToQString(stored) == note, "the note stored is \"" + cp1251ToUtf8(stored) + "\"");
    const bool storedRecipe =
        SelectValue("select RECIPE from GOODS where ID = ?", {Variant(id)}, &m_connection.Write()).AsBoolean();
    Expect(storedRecipe != recipe, "the check box did not change RECIPE");
    return "good " + std::to_string(id) + ": note and \"Рецептурный\" saved through the field panels";
}

std::string Tour::documents()
{
    TDocManager* manager = DocManager();
    Expect(manager && manager->FindDocModule(kDocGoods), "the goods module is not registered");
    const int before = count("1 = 1");
    const QString name = U("Тестовый товар тура 10 мг №20");
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* edit = child<QLineEdit>(dialog, "edNAME");
        edit->setFocus();
        TTourDriver::Type(edit, name);
        auto* price = child<QLineEdit>(dialog, "edPRICE");
        price->setFocus();
        price->selectAll();
        TTourDriver::Type(price, U("123,45"));
        m_driver.Snap(dialog, "13-new-document");
        click(dialog, "btnOk");
    });
    Variant params;
    const int id = manager->NewDoc(kDocGoods, params);
    m_driver.CheckAnswered();
    Expect(id > 0 && count("1 = 1") == before + 1, "the new good was not stored");
    Expect(m_window.Data().CurrentID() == id, "the list did not move to the new good");
    const double price =
        SelectValue("select PRICE from GOODS where ID = ?", {Variant(id)}, &m_connection.Write()).AsCurrency().ToDouble();
    Expect(price > 123.44 && price < 123.46, "the price stored is " + std::to_string(price));

    m_driver.ClearMessages();
    manager->DeleteDoc(kDocGoods, Currency::FromDouble(id));
    Expect(!m_driver.Messages().empty(), "no confirmation was asked");
    Expect(count("1 = 1") == before && rows() == before, "the good was not deleted");
    return "NewDoc through the document manager stored good " + std::to_string(id) +
           " (listener moved the grid to it); DeleteDoc asked and removed it";
}

std::string Tour::vendors()
{
    TQtCheckedComboDB* combo = m_window.VendorCombo();
    combo->ShowCheckList();
    TTourDriver::Settle();
    QListWidget* list = combo->CheckList();
    Expect(list->count() >= 3, "the vendor list is short");
    std::set<long long> keys;
    for (int i = 0; i < 2; ++i) {
        list->item(i)->setCheckState(Qt::Checked);
        keys.insert(combo->ComboDB().GetKey(i));
    }
    m_driver.Snap(combo->DropDown(), "14-vendors");
    combo->DropDown()->hide();
    TTourDriver::Settle();
    std::string in;
    for (long long k : keys)
        in += (in.empty() ? "" : ",") + std::to_string(k);
    const int expected = count("G.VENDOR_ID in (" + in + ")");
    Expect(rows() == expected, "the vendor choice kept " + std::to_string(rows()) + " rows, expected " +
                                   std::to_string(expected));
    m_driver.Snap(&m_window, "15-main-vendors");
    combo->ComboDB().SetUnCheckedAll();
    combo->ShowCheckList();
    TTourDriver::Settle();
    combo->DropDown()->hide();
    TTourDriver::Settle();
    Expect(rows() == count("1 = 1"), "clearing the vendor choice left " + std::to_string(rows()) + " rows");
    return "2 vendors checked kept " + std::to_string(expected) + " rows; cleared again";
}

// The entry of `menu` (a print menu shown by the window) whose text is `caption`.
QAction* menuEntry(QWidget* window, const char* menuName, const QString& caption)
{
    auto* menu = window->findChild<QMenu*>(menuName);
    Expect(menu != nullptr, std::string("no menu ") + menuName);
    emit menu->aboutToShow();
    for (QAction* a : menu->actions())
        if (a->text().remove('&') == caption)
            return a;
    throw ETourFailure("no entry \"" + caption.toStdString() + "\" in " + menuName);
}

int pdfPages(const std::string& pdf)
{
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(pdf)});
    int pages = 0;
    if (info.waitForFinished(20000))
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
            if (line.startsWith("Pages:"))
                pages = line.mid(6).trimmed().toInt();
    return pages;
}

QString pdfText(const std::string& pdf)
{
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(pdf), "-"});
    Expect(text.waitForFinished(20000), "pdftotext did not finish");
    return QString::fromUtf8(text.readAllStandardOutput());
}

std::string Tour::printing()
{
    QAction* entry = menuEntry(&m_window, "mnPrint", U("Список товаров"));
    // the expensive goods: a list of a few pages
    m_window.Data().Filter().SetSource(utf8ToCp1251("[Цена] >= 10000"));
    const int listed = rows();
    const std::string pdf = m_driver.OutPath("goods.pdf");
    std::filesystem::remove(pdf);
    m_driver.AnswerFileDialog(pdf);
    int previewPages = 0;
    m_driver.WhenModal([&](QWidget* dialog) {
        Expect(dialog->objectName() == "frmPreview", "the preview did not open");
        previewPages = static_cast<TfrmPreview*>(dialog)->Pages().Count();
        m_driver.Snap(dialog, "17-preview");
        QTest::mouseClick(child<QWidget>(dialog, "btnNext"), Qt::LeftButton);
        QTest::mouseClick(child<QWidget>(dialog, "btnPdf"), Qt::LeftButton);
        QTest::mouseClick(child<QWidget>(dialog, "btnClose"), Qt::LeftButton);
    });
    entry->trigger();
    m_driver.CheckAnswered();
    m_window.Data().Filter().SetActive(false);
    Expect(std::filesystem::exists(pdf), "the preview wrote no PDF");
    const int pages = pdfPages(pdf);
    Expect(pages > 1 && pages == previewPages,
           "the PDF has " + std::to_string(pages) + " pages, the preview " + std::to_string(previewPages));
    const QString body = pdfText(pdf);
    Expect(body.contains(U("Список товаров")) && body.contains(U("Наименований: ") + QString::number(listed)),
           "the PDF text lacks the title or the count of " + std::to_string(listed));
    m_files.push_back(pdf);
    return "print menu -> preview (" + std::to_string(previewPages) + " pages) -> " + pdf + ": " +
           std::to_string(listed) + " goods listed, read back with pdftotext";
}

std::string Tour::wizard()
{
    QAction* entry = menuEntry(&m_window, "mnDesign", U("Мастер печатных форма"));
    const std::string report = ToSysPath(m_window.Printing().Folder()) + "Товары по странам.frf";
    std::filesystem::remove(report);
    m_driver.AnswerFileDialog(report);
    bool designed = false;
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* all = child<QListWidget>(dialog, "lbAllFields");
        auto add = [&](const QString& text, const char* button, QListWidget* from) {
            const auto found = from->findItems(text, Qt::MatchContains);
            Expect(!found.isEmpty(), "no field " + text.toStdString() + " in the wizard");
            from->setCurrentItem(found.first());
            QTest::mouseClick(child<QWidget>(dialog, button), Qt::LeftButton);
        };
        for (const char* field : {"Страна", "Наименование", "Цена", "Остаток"})
            add(U(field), "bbAddPrint", all);
        auto* print = child<QListWidget>(dialog, "lbPrint");
        add(U("Страна"), "bbAddGroup", print);
        add(U("Остаток"), "bbAddSumm", print);
        m_driver.Snap(dialog, "18-print-wizard");
        // the new report opens in the designer, as a user would go on to adjust it there
        auto* designer = new QTimer(dialog);
        QObject::connect(designer, &QTimer::timeout, [&, designer] {
            auto* window = qobject_cast<TfrmReportDesigner*>(QApplication::activeModalWidget());
            if (!window)
                return;
            designer->stop();
            TTourDriver::Settle(100);
            m_driver.Snap(window, "18b-report-designer");
            designed = window->Save();
            static_cast<QDialog*>(window)->reject();
        });
        designer->start(50);
        click(dialog, "bbCreate");
    });
    entry->trigger();
    m_driver.CheckAnswered();
    TTourDriver::Settle(100);
    Expect(designed, "the designer did not open the wizard's report");
    Expect(std::filesystem::exists(report), "the wizard saved no report");
    QAction* made = menuEntry(&m_window, "mnPrint", U("Товары по странам"));
    m_window.Data().Filter().SetSource(utf8ToCp1251("[Цена] >= 14000"));
    int pages = 0;
    m_driver.WhenModal([&](QWidget* dialog) {
        Expect(dialog->objectName() == "frmPreview", "the preview did not open");
        pages = static_cast<TfrmPreview*>(dialog)->Pages().Count();
        m_driver.Snap(dialog, "19-wizard-report");
        QTest::mouseClick(child<QWidget>(dialog, "btnClose"), Qt::LeftButton);
    });
    made->trigger();
    m_driver.CheckAnswered();
    m_window.Data().Filter().SetActive(false);
    Expect(pages > 0, "the wizard's report printed no pages");
    return "the wizard made \"Товары по странам\" (grouped by country, stock summed) and opened it in "
           "the designer; "
           "the print menu lists it and "
           "its preview has " + std::to_string(pages) + " pages";
}

std::string Tour::settings()
{
    m_driver.WhenModal([&](QWidget* dialog) {
        auto* list = child<TQtZPropList>(dialog, "plSettings");
        TZPropList& props = list->List();
        const int footers = props.Editors().IndexOfPropName("Показывать итоги в таблице"_w);
        Expect(footers >= 0, "no footers setting");
        list->setFocus();
        props.InitCurrent(footers);
        props.SetValue(footers, "Нет"_w);
        props.MoveCurrent(footers + 1);
        list->viewport()->update();
        m_driver.Snap(dialog, "16-settings");
        click(dialog, "btnOk");
    });
    trigger("actSettings");
    m_driver.CheckAnswered();
    Expect(!m_window.Settings().ShowFooters && m_window.Data().Grid().FooterRowCount() == 0,
           "the totals row is still shown");
    Expect(LMReadRegInt("ShowFooters", 1, "Settings") == 0, "the setting was not stored");
    m_window.Settings().ShowFooters = true;
    m_window.Settings().Save();
    m_window.ApplySettings();
    return "\"Показывать итоги\" set to Нет in the property list: totals hidden and stored; set back";
}

std::string Tour::kazakh()
{
    const QString letter = QString(QChar(0x04D9));  // Kazakh schwa
    trigger("actKazakh");
    Expect(TranslateLocale() == "KZ" && TypedToCp1251(letter).has_value(), "Kazakh letters are not taken");
    trigger("actKazakh");
    Expect(TranslateLocale() != "KZ" && !TypedToCp1251(letter).has_value(), "Kazakh letters are still taken");
    return "Kazakh keyboard on (\"ә\" typed into a private code point), then off";
}

std::string Tour::remembered()
{
    m_window.close();
    TRegistry reg;
    for (const char* key : {"\\Filter", "\\Filter\\FilterList", "\\Sort"})
        Expect(reg.KeyExists(std::string(kGoodsRegKey) + key), std::string("nothing stored under ") + key);
    Expect(!LMReadRegStr("MainWindow", "", "Forms").empty(), "the window placement was not stored");
    Expect(LMReadRegInt("GridFontSize", 0, "Settings") > 0, "the settings were not stored");
    return "filters, the saved sort, the settings and the window placement are in the user's settings store";
}

int Tour::Run()
{
    step("start", [this] { return start(); });
    step("user filter", [this] { return userFilter(); });
    step("saved filters", [this] { return savedFilters(); });
    step("context search", [this] { return contextSearch(); });
    step("user sort", [this] { return userSort(); });
    step("colour rules", [this] { return colourRules(); });
    step("export xlsx", [this] { return exportWorkbook(false); });
    step("export ods", [this] { return exportWorkbook(true); });
    step("import", [this] { return importPriceList(); });
    step("SQL builder", [this] { return reportBuilder(); });
    step("record form", [this] { return recordForm(); });
    step("document manager", [this] { return documents(); });
    step("vendors", [this] { return vendors(); });
    step("print", [this] { return printing(); });
    step("print wizard", [this] { return wizard(); });
    step("settings", [this] { return settings(); });
    step("Kazakh keyboard", [this] { return kazakh(); });
    m_driver.Snap(&m_window, "99-main-final");
    step("remembered", [this] { return remembered(); });

    std::printf("\nFiles written:\n");
    for (const std::string& f : m_files)
        std::printf("  %s\n", f.c_str());
    for (const std::string& f : m_driver.Screenshots())
        std::printf("  %s\n", f.c_str());
    std::printf("  %s\n", m_driver.OutPath("tour.log").c_str());
    std::printf("%s\n", m_failed == 0 ? "Tour passed." : ("Tour FAILED: " + std::to_string(m_failed) + " steps").c_str());
    return m_failed == 0 ? 0 : 1;
}

} // namespace

int RunTour(TfrmGoods& window, TDemoConnection& connection, const std::string& outDir)
{
    Tour tour(window, connection, outDir);
    return tour.Run();
}

} // namespace lm
