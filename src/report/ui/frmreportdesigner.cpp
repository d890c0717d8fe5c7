// The report designer window.
#include "report/ui/frmreportdesigner.h"

#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/hooks.h"
#include "filter/ui/formulahighlighter.h"
#include "forms/ui/qtdialoghost.h"
#include "report/frmodel.h"
#include "report/frxcomponent.h"
#include "report/frxreport.h"
#include "report/ui/designcanvas.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

QToolButton* tool(QToolBar* bar, const char* name, const QString& text, const std::string& hint, bool checkable = false)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(ToQString(hint));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QPushButton* applyButton(QWidget* parent, const char* name)
{
    auto* b = new QPushButton(ToQString("Применить"_w), parent);
    b->setObjectName(name);
    return b;
}

std::vector<std::string> lines(const QPlainTextEdit* edit)
{
    const auto text = FromQString(edit->toPlainText());
    return text ? frxSplitLines(*text) : std::vector<std::string>();
}

QString joined(const std::vector<std::string>& lines) { return ToQString(frxJoinLines(lines)).replace("\r\n", "\n"); }

} // namespace

TfrmReportDesigner::TfrmReportDesigner(TDesignDoc& doc, TDesignRun& run, const QString& title, QWidget* parent)
    : TfrmPackRoot(parent), m_doc(doc), m_run(run), m_modified(run.Modified)
{
    setObjectName("frmReportDesigner");
    setWindowTitle(ToQString("Дизайнер отчетов"_w) + (title.isEmpty() ? QString() : " - " + title));
    m_canvas = new TDesignCanvas(doc);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("sbPage");
    scroll->setWidget(m_canvas);
    scroll->setBackgroundRole(QPalette::Dark);
    scroll->setMinimumWidth(60 * fontMetrics().averageCharWidth());
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("pcTabs");
    tabs->addTab(buildProperties(), ToQString("&Объект"_w));
    tabs->addTab(buildVariables(), ToQString("&Переменные"_w));
    tabs->addTab(buildScript(), ToQString("С&крипт"_w));
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(scroll);
    split->addWidget(tabs);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildToolbar());
    layout->addWidget(split, 1);

    m_canvas->BeginChange = [this] { m_pending = m_doc.Snapshot(); };
    m_canvas->EndChange = [this](bool changed) {
        if (!changed)
            return;
        m_undo.push_back(std::move(m_pending));
        m_redo.clear();
        m_modified = true;
        showSelection();
    };
    m_canvas->OnSelect = [this](int) { showSelection(); };
    m_canvas->OnMove = [this](int) { showSelection(); };
    m_canvas->OnOpen = [this](int) { m_text->setFocus(); };
    showDocument();
    const QRect avail = screen()->availableGeometry();
    resize(std::min(avail.width() * 9 / 10, m_canvas->sizeHint().width() + tabs->sizeHint().width() + 40),
           avail.height() * 9 / 10);
}

TfrmReportDesigner::~TfrmReportDesigner() = default;

QWidget* TfrmReportDesigner::buildToolbar()
{
    auto* bar = new QToolBar(this);
    QToolButton* save = tool(bar, "btnSave", ToQString("&Сохранить"_w), "Сохранить отчет"_w);
    QToolButton* preview = tool(bar, "btnPreview", ToQString("П&росмотр"_w), "Предварительный просмотр"_w);
    bar->addSeparator();
    m_undoButton = tool(bar, "btnUndo", QString(QChar(0x21B6)), "Отменить"_w);
    m_redoButton = tool(bar, "btnRedo", QString(QChar(0x21B7)), "Вернуть"_w);
    m_undoButton->setShortcut(QKeySequence::Undo);
    m_redoButton->setShortcut(QKeySequence::Redo);
    bar->addSeparator();
    QToolButton* addMemo = tool(bar, "btnAddMemo", ToQString("+ Текст"_w), "Добавить текстовый объект"_w);
    QToolButton* remove = tool(bar, "btnDelete", QString(QChar(0x2715)), "Удалить объект"_w);
    bar->addSeparator();
    m_fontName = new QFontComboBox(bar);
    m_fontName->setObjectName("cbFont");
    bar->addWidget(m_fontName);
    m_fontSize = new QSpinBox(bar);
    m_fontSize->setObjectName("seFontSize");
    m_fontSize->setRange(4, 96);
    bar->addWidget(m_fontSize);
    m_bold = tool(bar, "btnBold", ToQString("Ж"_w), "Жирный"_w, true);
    m_italic = tool(bar, "btnItalic", ToQString("К"_w), "Курсив"_w, true);
    m_underline = tool(bar, "btnUnderline", ToQString("Ч"_w), "Подчеркнутый"_w, true);
    bar->addSeparator();
    m_aligns = {tool(bar, "btnAlignLeft", QString(QChar(0x2190)), "По левому краю"_w, true),
                tool(bar, "btnAlignRight", QString(QChar(0x2192)), "По правому краю"_w, true),
                tool(bar, "btnAlignCenter", QString(QChar(0x2194)), "По центру"_w, true),
                tool(bar, "btnAlignBlock", QString(QChar(0x2261)), "По ширине"_w, true)};
    m_frame = tool(bar, "btnFrame", QString(QChar(0x25A1)), "Рамка"_w, true);

    connect(save, &QToolButton::clicked, this, [this] { RunShowingErrors([this] { Save(); }); });
    connect(preview, &QToolButton::clicked, this, [this] {
        if (m_run.OnPreview)
            RunShowingErrors([this] { m_run.OnPreview(); });
    });
    connect(m_undoButton, &QToolButton::clicked, this, &TfrmReportDesigner::Undo);
    connect(m_redoButton, &QToolButton::clicked, this, &TfrmReportDesigner::Redo);
    connect(addMemo, &QToolButton::clicked, this, [this] {
        if (m_doc.PageCount() == 0)
            return;
        int added = -1;
        Change([&] { added = m_doc.AddMemo(m_canvas->Page(), 0, 0); });
        showDocument();
        m_canvas->Select(added);
    });
    connect(remove, &QToolButton::clicked, this, [this] {
        const int i = m_canvas->Selected();
        if (i < 0)
            return;
        Change([&] { m_doc.Delete(m_canvas->Page(), i); });
        showDocument();
    });
    for (QToolButton* b : {m_bold, m_italic, m_underline})
        connect(b, &QToolButton::clicked, this, &TfrmReportDesigner::applyFont);
    connect(m_fontName, &QFontComboBox::activated, this, &TfrmReportDesigner::applyFont);
    connect(m_fontSize, &QSpinBox::editingFinished, this, &TfrmReportDesigner::applyFont);
    for (int a = 0; a < 4; ++a)
        connect(m_aligns[a], &QToolButton::clicked, this, [this, a] {
            const int i = m_canvas->Selected();
            if (i >= 0)
                Change([&] { m_doc.SetAlign(m_canvas->Page(), i, static_cast<TDesignAlign>(a)); });
        });
    connect(m_frame, &QToolButton::clicked, this, [this] {
        const int i = m_canvas->Selected();
        if (i >= 0)
            Change([&] { m_doc.SetFramed(m_canvas->Page(), i, m_frame->isChecked()); });
    });
    m_page = new QComboBox(bar);
    m_page->setObjectName("cbPage");
    bar->addSeparator();
    bar->addWidget(m_page);
    connect(m_page, &QComboBox::activated, this, [this](int page) {
        m_canvas->SetPage(page);
        showSelection();
    });
    return bar;
}

QWidget* TfrmReportDesigner::buildProperties()
{
    auto* panel = new QWidget(this);
    auto* form = new QFormLayout(panel);
    m_objectName = new QLabel(panel);
    m_objectName->setObjectName("lblObject");
    form->addRow(m_objectName);
    m_text = new QPlainTextEdit(panel);
    m_text->setObjectName("edText");
    m_text->setTabChangesFocus(true);
    form->addRow(ToQString("&Текст:"_w), m_text);
    QPushButton* applyText = applyButton(panel, "btnApplyText");
    form->addRow(QString(), applyText);
    const char* names[] = {"seLeft", "seTop", "seWidth", "seHeight"};
    const char* captions[] = {"&Слева:", "С&верху:", "&Ширина:", "&Высота:"};
    for (int k = 0; k < 4; ++k) {
        auto* spin = new QSpinBox(panel);
        spin->setObjectName(names[k]);
        spin->setRange(k < 2 ? -2000 : 0, 5000);
        form->addRow(ToQString(utf8ToCp1251(captions[k])), spin);
        m_bounds.push_back(spin);
        connect(spin, &QSpinBox::editingFinished, this, [this] {
            const int i = m_canvas->Selected();
            if (i < 0 || m_filling)
                return;
            const TDesignItem item = m_doc.Item(m_canvas->Page(), i);
            const double v[] = {double(m_bounds[0]->value()), double(m_bounds[1]->value()), double(m_bounds[2]->value()),
                                double(m_bounds[3]->value())};
            if (v[0] != static_cast<int>(item.Left) || v[1] != static_cast<int>(item.Top) ||
                v[2] != static_cast<int>(item.Width) || v[3] != static_cast<int>(item.Height)) {
                Change([&] { m_doc.SetBounds(m_canvas->Page(), i, v[0], v[1], v[2], v[3]); });
            }
        });
    }
    m_source = new QLineEdit(panel);
    m_source->setObjectName("edSource");
    form->addRow(ToQString("&Данные/условие:"_w), m_source);
    m_bandScript = new QPlainTextEdit(panel);
    m_bandScript->setObjectName("edObjectScript");
    m_bandScript->setTabChangesFocus(true);
    new TFormulaHighlighter(m_bandScript->document());
    form->addRow(ToQString("Скр&ипт объекта:"_w), m_bandScript);
    QPushButton* applyScript = applyButton(panel, "btnApplyObjectScript");
    form->addRow(QString(), applyScript);

    connect(applyText, &QPushButton::clicked, this, [this] {
        const int i = m_canvas->Selected();
        const auto text = FromQString(m_text->toPlainText());
        if (i < 0 || !text || !m_doc.Item(m_canvas->Page(), i).Memo)
            return;
        std::string value = *text;
        for (std::size_t at = value.find('\n'); at != std::string::npos; at = value.find('\n', at + 2))
            value.insert(at, "\r");
        Change([&] { m_doc.SetText(m_canvas->Page(), i, value); });
    });
    connect(m_source, &QLineEdit::editingFinished, this, [this] {
        const int i = m_canvas->Selected();
        const auto text = FromQString(m_source->text());
        if (i < 0 || !text || m_filling || *text == m_doc.BandSource(m_canvas->Page(), i))
            return;
        Change([&] { m_doc.SetBandSource(m_canvas->Page(), i, *text); });
    });
    connect(applyScript, &QPushButton::clicked, this, [this] {
        const int i = m_canvas->Selected();
        if (i >= 0)
            Change([&] { m_doc.SetObjectScript(m_canvas->Page(), i, lines(m_bandScript)); });
    });
    return panel;
}

QWidget* TfrmReportDesigner::buildVariables()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    m_variables = new QTableWidget(0, 2, panel);
    m_variables->setObjectName("tbVariables");
    m_variables->setHorizontalHeaderLabels({ToQString("Имя"_w), ToQString("Значение"_w)});
    m_variables->horizontalHeader()->setStretchLastSection(true);
    m_variables->setTabKeyNavigation(false);
    layout->addWidget(m_variables, 1);
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(ToQString("&Добавить"_w), panel);
    add->setObjectName("btnAddVariable");
    auto* remove = new QPushButton(ToQString("&Удалить"_w), panel);
    remove->setObjectName("btnDeleteVariable");
    QPushButton* apply = applyButton(panel, "btnApplyVariables");
    row->addWidget(add);
    row->addWidget(remove);
    row->addStretch(1);
    row->addWidget(apply);
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, [this] {
        m_variables->insertRow(m_variables->rowCount());
        m_variables->setItem(m_variables->rowCount() - 1, 0, new QTableWidgetItem);
        m_variables->setItem(m_variables->rowCount() - 1, 1, new QTableWidgetItem);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_variables->currentRow() >= 0)
            m_variables->removeRow(m_variables->currentRow());
    });
    connect(apply, &QPushButton::clicked, this, [this] {
        TDesignDoc::TVariables vars;
        for (int r = 0; r < m_variables->rowCount(); ++r) {
            auto text = [&](int c) {
                const QTableWidgetItem* item = m_variables->item(r, c);
                return item ? FromQString(item->text()).value_or(std::string()) : std::string();
            };
            if (!text(0).empty())
                vars.emplace_back(text(0), text(1));
        }
        Change([&] { m_doc.SetVariables(vars); });
    });
    return panel;
}

QWidget* TfrmReportDesigner::buildScript()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    m_script = new QPlainTextEdit(panel);
    m_script->setObjectName("edScript");
    m_script->setFont(QFont("DejaVu Sans Mono"));
    new TFormulaHighlighter(m_script->document());
    layout->addWidget(m_script, 1);
    QPushButton* apply = applyButton(panel, "btnApplyScript");
    layout->addWidget(apply, 0, Qt::AlignRight);
    connect(apply, &QPushButton::clicked, this, [this] { Change([&] { m_doc.SetReportScript(lines(m_script)); }); });
    return panel;
}

void TfrmReportDesigner::Change(const std::function<void()>& edit)
{
    remember();
    edit();
    m_modified = true;
    m_canvas->update();
    showSelection();
}

void TfrmReportDesigner::remember()
{
    m_undo.push_back(m_doc.Snapshot());
    m_redo.clear();
}

void TfrmReportDesigner::Undo()
{
    if (m_undo.empty())
        return;
    m_redo.push_back(m_doc.Snapshot());
    m_doc.Restore(m_undo.back());
    m_undo.pop_back();
    m_modified = true;
    showDocument();
}

void TfrmReportDesigner::Redo()
{
    if (m_redo.empty())
        return;
    m_undo.push_back(m_doc.Snapshot());
    m_doc.Restore(m_redo.back());
    m_redo.pop_back();
    m_modified = true;
    showDocument();
}

bool TfrmReportDesigner::Save()
{
    if (!m_run.OnSave || !m_run.OnSave(false))
        return false;
    m_modified = false;
    return true;
}

void TfrmReportDesigner::reject()
{
    if (m_modified && m_run.OnSave) {
        const int answer = ShowMessageBox("Отчет был изменен. Сохранить изменения?"_w, "Дизайнер отчетов"_w,
                                          MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL || (answer == IDYES && !RunShowingErrors([this] {
                                                          if (!Save())
                                                              throw EAbort();
                                                      })))
            return;
    }
    TfrmPackRoot::reject();
}

void TfrmReportDesigner::applyFont()
{
    const int i = m_canvas->Selected();
    if (i < 0 || m_filling)
        return;
    TFont font = m_doc.Font(m_canvas->Page(), i);
    if (const auto name = FromQString(m_fontName->currentFont().family()))
        font.SetName(*name);
    font.SetSize(m_fontSize->value());
    font.SetStyle(static_cast<TFontStyles>((m_bold->isChecked() ? fsBold : 0) | (m_italic->isChecked() ? fsItalic : 0) |
                                           (m_underline->isChecked() ? fsUnderline : 0)));
    Change([&] { m_doc.SetFont(m_canvas->Page(), i, font); });
}

void TfrmReportDesigner::showDocument()
{
    {
        const QSignalBlocker block(m_page);
        m_page->clear();
        for (int p = 0; p < m_doc.PageCount(); ++p)
            m_page->addItem(ToQString("Страница "_w) + QString::number(p + 1));
    }
    const int selected = m_canvas->Selected();
    const int page = std::min(m_canvas->Page(), std::max(0, m_doc.PageCount() - 1));
    m_canvas->SetPage(page);
    m_page->setCurrentIndex(page);
    if (selected >= 0 && page < m_doc.PageCount() && selected < m_doc.Count(page))
        m_canvas->Select(selected);
    m_filling = true;
    m_script->setPlainText(joined(m_doc.ReportScript()));
    const TDesignDoc::TVariables vars = m_doc.Variables();
    m_variables->setRowCount(static_cast<int>(vars.size()));
    for (int r = 0; r < static_cast<int>(vars.size()); ++r) {
        m_variables->setItem(r, 0, new QTableWidgetItem(ToQString(vars[r].first)));
        m_variables->setItem(r, 1, new QTableWidgetItem(ToQString(vars[r].second)));
    }
    m_filling = false;
    showSelection();
}

void TfrmReportDesigner::showSelection()
{
    m_undoButton->setEnabled(CanUndo());
    m_redoButton->setEnabled(CanRedo());
    const int i = m_canvas->Selected();
    const bool any = i >= 0;
    const TDesignItem item = any ? m_doc.Item(m_canvas->Page(), i) : TDesignItem();
    m_filling = true;
    m_objectName->setText(any ? ToQString(item.Name + " (" + item.Kind + ")") : ToQString("Ничего не выбрано"_w));
    m_text->setEnabled(item.Memo);
    m_text->setPlainText(item.Memo ? ToQString(m_doc.Text(m_canvas->Page(), i)).replace("\r\n", "\n") : QString());
    const double values[] = {item.Left, item.Top, item.Width, item.Height};
    for (int k = 0; k < 4; ++k) {
        m_bounds[k]->setEnabled(any);
        m_bounds[k]->setValue(static_cast<int>(values[k]));
    }
    m_source->setEnabled(item.Band);
    m_source->setText(item.Band ? ToQString(m_doc.BandSource(m_canvas->Page(), i)) : QString());
    m_bandScript->setPlainText(any ? joined(m_doc.ObjectScript(m_canvas->Page(), i)) : QString());
    const TFont font = any ? m_doc.Font(m_canvas->Page(), i) : TFont();
    m_fontName->setCurrentFont(QFont(ToQString(font.Name())));
    m_fontSize->setValue(font.Size());
    m_bold->setChecked(font.Style() & fsBold);
    m_italic->setChecked(font.Style() & fsItalic);
    m_underline->setChecked(font.Style() & fsUnderline);
    const TDesignAlign align = any ? m_doc.Align(m_canvas->Page(), i) : daLeft;
    for (int a = 0; a < 4; ++a)
        m_aligns[a]->setChecked(item.Memo && a == align);
    m_frame->setChecked(any && m_doc.Framed(m_canvas->Page(), i));
    m_filling = false;
}

void TfrmReportDesigner::Execute(TfrReport& report, TDesignRun& run, QWidget* parent)
{
    auto doc = MakeDesignDoc(report);
    if (report.Pages.empty())
        report.AddPage();
    TfrmReportDesigner form(*doc, run, ToQString(report.Title), parent);
    form.exec();
}

void TfrmReportDesigner::Execute(TfrxReport& report, TDesignRun& run, QWidget* parent)
{
    auto doc = MakeDesignDoc(report);
    if (doc->PageCount() == 0) {
        auto* page = report.Add(frxCreateComponent("TfrxReportPage"));
        page->SetName("Page1");
    }
    TfrmReportDesigner form(*doc, run, ToQString(report.Prop("ReportOptions.Name")), parent);
    form.exec();
}

void TfrmReportDesigner::Install()
{
    SetFRDesignHook([](TfrReport& report, TDesignRun& run) { Execute(report, run, QApplication::activeWindow()); });
    SetFRXDesignHook([](TfrxReport& report, TDesignRun& run) { Execute(report, run, QApplication::activeWindow()); });
}

} // namespace lm
