// The goods screen's window: its grid, menus, tool bar and status bar.
#include "mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/docmanager.h"
#include "app/globals.h"
#include "controls/ui/qtcheckcombo.h"
#include "democonnection.h"
#include "filter/ui/gridfilterlinks.h"
#include "goodsdocmodule.h"
#include "goodsprinting.h"
#include "host/ui/qtdbgrid.h"
#include "report/ui/qtmenuview.h"
#include "util/filefunc.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmGoods::TfrmGoods(TDemoConnection& connection, QWidget* parent)
    : QMainWindow(parent)
    , m_connection(connection)
    , m_data(connection)
{
    setObjectName("frmGoods");
    setWindowTitle(ToQString("Товары - LMPack Аптека"_w));
    m_settings.Load();
    m_data.SetExpensivePrice(m_settings.ExpensivePrice);
    m_data.Open();
    m_printing = std::make_unique<TGoodsPrinting>(m_data, FromSysPath(TDemoConnection::DataDir() + "PrintForms"));

    m_gridView = new TQtDBGrid(&m_data.Grid(), this);
    m_gridView->setObjectName("grGoods");
    m_gridView->SetOnGetRowColors([this](TColor& font, TColor& back) { m_data.Colors().CalcColors(font, back); });
    LinkGridSearch(*m_gridView, m_data.Search());
    LinkGridSort(*m_gridView, m_data.Sort());
    setCentralWidget(m_gridView);

    buildActions();
    buildMenus();
    buildToolBar();
    m_rowsLabel = new QLabel(this);
    m_rowsLabel->setObjectName("lbRows");
    m_filterLabel = new QLabel(this);
    m_filterLabel->setObjectName("lbFilter");
    statusBar()->addWidget(m_rowsLabel);
    statusBar()->addWidget(m_filterLabel, 1);

    m_docModule = std::make_unique<TGoodsDocModule>(*this);
    RegistryDocModule(m_docModule.get());
    m_listener = std::make_unique<TGoodsListener>();
    m_listener->SetName("GoodsListener");
    m_listener->OnChange = [this](int type, Currency id, TUpdateKind kind) {
        if (type != kDocGoods)
            return;
        guarded([&] {
            m_data.Reopen();
            if (kind != ukDelete)
                m_data.LocateID(static_cast<int>(id.ToDouble()));
        });
        UpdateState();
    };
    DocManager()->AddListener(m_listener.get());

    m_data.Filter().OnChange = [this](TUFilter*) { UpdateState(); };
    m_data.Search().OnChange = [this](TContextFilter*) { UpdateState(); };
    m_data.Sort().OnChange = [this](TUserSort*) { UpdateState(); };

    const std::string geometry = LMReadRegStr("MainWindow", "", "Forms");
    if (geometry.empty() || !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry))))
        resize(QSize(m_gridView->horizontalHeader()->length() + 40, fontMetrics().height() * 40));
    ApplySettings();
}

void TfrmGoods::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_countDeferred)
        return;
    // after the first paint of the list
    QTimer::singleShot(0, this, [this] {
        m_countDeferred = false;
        guarded([&] { UpdateState(); });
        m_gridView->viewport()->update();
    });
}

TfrmGoods::~TfrmGoods()
{
    m_printView.reset();
    m_designView.reset();
    m_data.Filter().OnChange = nullptr;
    m_data.Search().OnChange = nullptr;
    m_data.Sort().OnChange = nullptr;
    delete m_gridView;
    m_gridView = nullptr;
}

QAction* TfrmGoods::Action(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

QAction* TfrmGoods::addAction(const char* name, const std::string& caption, const char* shortcut,
                              void (TfrmGoods::*slot)())
{
    auto* action = new QAction(ToQString(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    if (shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    if (slot)
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return action;
}

void TfrmGoods::buildActions()
{
    addAction("actEdit", "&Карточка товара..."_w, "F4", &TfrmGoods::editCurrent);
    addAction("actNew", "&Новый товар..."_w, "Ins", &TfrmGoods::newGoods);
    addAction("actDelete", "&Удалить товар"_w, "Ctrl+Del", &TfrmGoods::deleteCurrent);
    addAction("actRefresh", "&Обновить"_w, "F5", &TfrmGoods::refresh);
    addAction("actFilter", "&Фильтр..."_w, "Ctrl+F", &TfrmGoods::filterDialog);
    QAction* on = addAction("actFilterOn", "Фильтр &включён"_w, "Ctrl+Shift+F", &TfrmGoods::filterSwitch);
    on->setCheckable(true);
    addAction("actSearch", "&Поиск..."_w, "F7", &TfrmGoods::searchDialog);
    addAction("actSearchClear", "&Отменить поиск"_w, "Shift+F7", &TfrmGoods::searchClear);
    addAction("actSort", "&Сортировка..."_w, "Ctrl+S", &TfrmGoods::sortDialog);
    addAction("actColors", "&Цвета строк..."_w, nullptr, &TfrmGoods::colorsDialog);
    addAction("actExportXlsx", "Экспорт в &Excel (xlsx)..."_w, nullptr, &TfrmGoods::exportXlsx);
    addAction("actExportOds", "Экспорт в &Calc (ods)..."_w, nullptr, &TfrmGoods::exportOds);
    addAction("actExport", "&Экспорт..."_w, "Ctrl+E", nullptr);
    connect(Action("actExport"), &QAction::triggered, this, [this] { ExportGrid(m_settings.UseOpenOffice); });
    addAction("actImport", "&Импорт прайс-листа..."_w, "Ctrl+I", &TfrmGoods::importPrices);
    addAction("actPrintPdf", "Список товаров в P&DF..."_w, "Ctrl+P", &TfrmGoods::printPdf);
    addAction("actReport", "&Конструктор отчёта..."_w, "Ctrl+R", &TfrmGoods::RunReportBuilder);
    addAction("actSettings", "&Настройки..."_w, nullptr, &TfrmGoods::EditSettings);
    addAction("actDocEdit", "&Открыть документ товара..."_w, "Ctrl+O", &TfrmGoods::documentEdit);
    QAction* kz = addAction("actKazakh", "&Казахская раскладка"_w, "Ctrl+K", nullptr);
    kz->setCheckable(true);
    connect(kz, &QAction::triggered, this, [this](bool on) {
        m_settings.KazakhKeyboard = on;
        guarded([&] { m_settings.Save(); });
        toggleKazakh(on);
    });
    addAction("actExit", "&Выход"_w, "Alt+X", nullptr);
    connect(Action("actExit"), &QAction::triggered, this, &QWidget::close);
}

void TfrmGoods::buildMenus()
{
    QMenu* file = menuBar()->addMenu(ToQString("&Файл"_w));
    m_printMenu = file->addMenu(ToQString("&Печать"_w));
    m_printMenu->setObjectName("mnPrint");
    m_printView = std::make_unique<TQtMenuView>(m_printing->PrintMenu(), m_printMenu);
    file->addAction(Action("actPrintPdf"));
    file->addSeparator();
    for (const char* name : {"actExport", "actExportXlsx", "actExportOds", "actImport"})
        file->addAction(Action(name));
    file->addSeparator();
    file->addAction(Action("actExit"));

    QMenu* goods = menuBar()->addMenu(ToQString("&Товар"_w));
    for (const char* name : {"actEdit", "actNew", "actDelete", "actRefresh"})
        goods->addAction(Action(name));

    QMenu* list = menuBar()->addMenu(ToQString("&Список"_w));
    list->addAction(Action("actFilter"));
    list->addAction(Action("actFilterOn"));
    m_savedFilters = list->addMenu(ToQString("&Сохранённые фильтры"_w));
    m_savedFilters->setObjectName("mnSavedFilters");
    connect(m_savedFilters, &QMenu::aboutToShow, this, &TfrmGoods::fillFilterMenu);
    list->addSeparator();
    for (const char* name : {"actSearch", "actSearchClear", "actSort", "actColors"})
        list->addAction(Action(name));

    QMenu* reports = menuBar()->addMenu(ToQString("&Отчёты"_w));
    reports->addAction(Action("actReport"));
    QMenu* design = reports->addMenu(ToQString("&Печатные формы"_w));
    design->setObjectName("mnDesign");
    m_designView = std::make_unique<TQtMenuView>(m_printing->DesignMenu(), design);
    // the menus list the folder as it is now: reports the wizard or the designer saved show up
    for (QMenu* menu : {m_printMenu, design})
        connect(menu, &QMenu::aboutToShow, this, [this] { guarded([this] { m_printing->Refresh(); }); });

    QMenu* service = menuBar()->addMenu(ToQString("С&ервис"_w));
    QMenu* docs = service->addMenu(ToQString("&Документы"_w));
    docs->addAction(Action("actDocEdit"));
    service->addAction(Action("actKazakh"));
    service->addSeparator();
    service->addAction(Action("actSettings"));
}

void TfrmGoods::buildToolBar()
{
    QToolBar* bar = addToolBar(ToQString("Команды"_w));
    bar->setObjectName("tbMain");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const char* name, const std::string& text) {
        QAction* a = Action(name);
        bar->addAction(a);
        // the menus keep their longer captions; the bar shows a short one
        if (QWidget* button = bar->widgetForAction(a))
            static_cast<QToolButton*>(button)->setText(ToQString(text));
    };
    add("actEdit", "Карточка"_w);
    add("actNew", "Новый"_w);
    bar->addSeparator();
    add("actFilter", "Фильтр"_w);
    add("actFilterOn", "Вкл."_w);
    add("actSearch", "Поиск"_w);
    add("actSort", "Сортировка"_w);
    add("actColors", "Цвета"_w);
    bar->addSeparator();
    QAction* print = m_printMenu->menuAction();
    bar->addAction(print);
    if (auto* button = static_cast<QToolButton*>(bar->widgetForAction(print))) {
        button->setPopupMode(QToolButton::InstantPopup);
        button->setText(ToQString("Печать"_w));
    }
    add("actExport", "Экспорт"_w);
    add("actImport", "Импорт"_w);
    add("actReport", "Отчёт"_w);
    bar->addSeparator();
    auto* label = new QLabel(ToQString(" &Поставщики: "_w), bar);
    m_vendors = new TQtCheckedComboDB(bar);
    m_vendors->setObjectName("ccVendors");
    label->setBuddy(m_vendors);
    TCheckedComboDB& combo = m_vendors->ComboDB();
    combo.DataSet = &m_data.Vendors();
    combo.KeyField = "ID";
    combo.ResultField = "NAME";
    combo.EmptyValue = "все"_w;
    combo.AllValue = "все"_w;
    combo.FillItems(false);
    m_vendors->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    m_vendors->OnCloseUp = [this](QWidget*) { vendorsChosen(); };
    bar->addWidget(label);
    bar->addWidget(m_vendors);
}

void TfrmGoods::UpdateState()
{
    if (!m_rowsLabel)
        return;
    TpFIBDataSet& goods = m_data.Goods();
    if (m_countDeferred) {
        m_rowsLabel->setText(ToQString("Товаров: ..."_w));
    } else {
        const int rows = goods.Active() ? m_data.RowCount() : 0;  // also refreshes the totals row
        m_rowsLabel->setText(ToQString("Товаров: "_w) + QString::number(rows));
    }
    QStringList state;
    const TUFilter& filter = m_data.Filter();
    if (filter.Active() && !filter.FilterSource().empty())
        state << ToQString("Фильтр: "_w) + ToQString(filter.FilterSource()).simplified();
    if (m_data.Search().FilterOn())
        state << ToQString("Поиск: "_w) + ToQString(m_data.Search().GetFiltersText()).simplified().replace('\n', "; ");
    if (!m_data.VendorKeys().empty())
        state << ToQString("Поставщики: "_w) + ToQString(m_vendors->Combo().GetText());
    m_filterLabel->setText(state.join(QStringLiteral("   ")));
    Action("actFilterOn")->setChecked(filter.Active());
    Action("actFilterOn")->setEnabled(!filter.FilterSource().empty());
    Action("actSearchClear")->setEnabled(m_data.Search().FilterOn());
    m_gridView->Refresh();
}

void TfrmGoods::closeEvent(QCloseEvent* event)
{
    guarded([this] {
        m_data.Filter().SaveFilter(true);
        LMWriteRegStr("MainWindow", saveGeometry().toBase64().toStdString(), "Forms");
    });
    QMainWindow::closeEvent(event);
}

} // namespace lm
