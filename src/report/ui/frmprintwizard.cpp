// The print wizard's window.
#include "report/ui/frmprintwizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/hooks.h"
#include "forms/ui/qtdialoghost.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/reporthooks.h"
#include "util/cp1251.h"
#include "util/filefunc.h"
#include "util/sysutils.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

const int kSizes[] = {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

QToolButton* tool(QWidget* parent, const char* name, const QString& text, const std::string& hint, int tag,
                  bool checkable)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(ToQString(hint));
    b->setCheckable(checkable);
    b->setProperty("tag", tag);
    b->setAutoRaise(true);
    return b;
}

QToolButton* arrow(QWidget* parent, const char* name, const char* text, const std::string& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(ToQString(hint));
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

} // namespace

TfrmPrintWizard::TfrmPrintWizard(TfrPrintMenu& menu, QWidget* parent)
    : TfrmPackRoot(parent), m_wizard(menu)
{
    setObjectName("frmPrintWizard");
    setWindowTitle(ToQString("Мастер создания отчетов"_w));
    auto* strip = new QScrollArea(this);
    strip->setObjectName("sbStrip");
    m_strip = new QSplitter(Qt::Horizontal);
    m_strip->setObjectName("spStrip");
    m_strip->setChildrenCollapsible(false);
    strip->setWidget(m_strip);
    strip->setWidgetResizable(false);
    strip->setMinimumHeight(5 * fontMetrics().height());
    strip->setMinimumWidth(80 * fontMetrics().averageCharWidth());
    m_status = new QLabel(this);
    m_status->setObjectName("sbStatus");
    m_status->setFrameShape(QFrame::StyledPanel);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* create = buttons->addButton(ToQString("&Создать отчет"_w), QDialogButtonBox::AcceptRole);
    create->setObjectName("bbCreate");
    QPushButton* close = buttons->addButton(ToQString("Закрыть"_w), QDialogButtonBox::RejectRole);
    close->setObjectName("bbClose");
    create->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildToolbar());
    layout->addWidget(strip);
    layout->addWidget(buildLists(), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(create, &QPushButton::clicked, this, [this] { RunShowingErrors([this] { pCreateReport(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_strip, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = m_strip->sizes();
        for (int i = 0; i < sizes.size() && i < static_cast<int>(m_wizard.Print().size()); ++i) {
            TObjField* e = m_wizard.Print()[i];
            if (e->FieldWidth != sizes[i]) {
                m_wizard.SetColumnWidth(e->Npp, sizes[i]);
                m_status->setText(ToQString("Длина "_w + IntToStr(sizes[i])));
            }
        }
        m_strip->setFixedWidth(m_strip->sizeHint().width());
    });
    refill();
}

TfrmPrintWizard::~TfrmPrintWizard() = default;

QWidget* TfrmPrintWizard::buildToolbar()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_fontName = new QFontComboBox(bar);
    m_fontName->setObjectName("C2");
    m_fontSize = new QComboBox(bar);
    m_fontSize->setObjectName("C3");
    m_fontSize->setEditable(true);
    for (int size : kSizes)
        m_fontSize->addItem(QString::number(size));
    row->addWidget(m_fontName);
    row->addWidget(m_fontSize);
    m_styleButtons = {tool(bar, "FnB1", ToQString("Ж"_w), "Жирный"_w, 1, true),
                      tool(bar, "FnB2", ToQString("К"_w), "Курсив"_w, 2, true),
                      tool(bar, "FnB3", ToQString("Ч"_w), "Подчеркнутый"_w, 3, true)};
    QFont f = m_styleButtons[0]->font();
    f.setBold(true);
    m_styleButtons[0]->setFont(f);
    f.setBold(false);
    f.setItalic(true);
    m_styleButtons[1]->setFont(f);
    f.setItalic(false);
    f.setUnderline(true);
    m_styleButtons[2]->setFont(f);
    for (QToolButton* b : m_styleButtons)
        row->addWidget(b);
    row->addSpacing(fontMetrics().averageCharWidth());
    m_alignButtons = {tool(bar, "AlB1", QString(QChar(0x2190)), "По левому краю"_w, 11, true),
                      tool(bar, "AlB2", QString(QChar(0x2192)), "По правому краю"_w, 12, true),
                      tool(bar, "AlB3", QString(QChar(0x2194)), "По центру"_w, 13, true),
                      tool(bar, "AlB8", QString(QChar(0x2261)), "По ширине"_w, 18, true),
                      tool(bar, "AlB4", QString(QChar(0x21BB)), "Повернуть текст"_w, 14, true),
                      tool(bar, "AlB5", QString(QChar(0x2912)), "Сверху"_w, 15, true),
                      tool(bar, "AlB6", QString(QChar(0x2195)), "По центру по вертикали"_w, 16, true),
                      tool(bar, "AlB7", QString(QChar(0x2913)), "Снизу"_w, 17, true)};
    for (QToolButton* b : m_alignButtons) {
        row->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, b] { applyFormat(b->property("tag").toInt()); });
    }
    for (QToolButton* b : m_styleButtons)
        connect(b, &QToolButton::clicked, this, [this, b] { applyFormat(b->property("tag").toInt()); });
    connect(m_fontName, &QFontComboBox::activated, this, [this] { applyFormat(0); });
    connect(m_fontSize, &QComboBox::activated, this, [this] { applyFormat(0); });
    connect(m_fontSize->lineEdit(), &QLineEdit::editingFinished, this, [this] { applyFormat(0); });

    auto* titleLabel = new QLabel(ToQString("&Заголовок:"_w), bar);
    m_title = new QLineEdit(bar);
    m_title->setObjectName("EdTitle");
    titleLabel->setBuddy(m_title);
    row->addSpacing(fontMetrics().averageCharWidth());
    row->addWidget(titleLabel);
    row->addWidget(m_title, 1);
    connect(m_title, &QLineEdit::editingFinished, this, [this] {
        const auto text = FromQString(m_title->text());
        if (!text || m_selected.empty())
            return;
        m_wizard.SetColumnLabel(m_selected.front(), *text);
        rebuildStrip();
    });
    auto* load = new QPushButton(ToQString("З&агрузить"_w), bar);
    load->setObjectName("bbLoadForm");
    row->addWidget(load);
    connect(load, &QPushButton::clicked, this, [this] { RunShowingErrors([this] { loadSettings(); }); });
    return bar;
}

QWidget* TfrmPrintWizard::buildLists()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    auto list = [&](const char* name, const std::string& caption, int column) {
        auto* w = new QListWidget(box);
        w->setObjectName(name);
        w->setMinimumWidth(22 * fontMetrics().averageCharWidth());
        auto* label = new QLabel(ToQString(caption), box);
        label->setBuddy(w);
        grid->addWidget(label, 0, column);
        grid->addWidget(w, 1, column);
        return w;
    };
    m_all = list("lbAllFields", "&Все поля"_w, 0);
    m_print = list("lbPrint", "&Поля для печати"_w, 2);
    m_groups = list("lbGroupFields", "&Группировать по"_w, 4);
    m_sums = list("lbSummReport", "Поля для с&уммирования"_w, 6);

    auto column = [&](int at, std::initializer_list<QToolButton*> buttons) {
        auto* v = new QVBoxLayout;
        v->addStretch(1);
        for (QToolButton* b : buttons)
            v->addWidget(b);
        v->addStretch(1);
        grid->addLayout(v, 1, at);
    };
    QToolButton* add = arrow(box, "bbAddPrint", ">", "Добавить поле для печати"_w);
    QToolButton* addAll = arrow(box, "BitBtn1", ">>", "Добавить все поля"_w);
    QToolButton* del = arrow(box, "bbDelPrintItem", "<", "Убрать поле"_w);
    QToolButton* clear = arrow(box, "bbClearLbPrint", "<<", "Убрать все поля"_w);
    column(1, {add, addAll, del, clear});
    QToolButton* up = arrow(box, "bbUp", "\xE2\x86\x91", "Выше"_w);
    QToolButton* down = arrow(box, "bbDown", "\xE2\x86\x93", "Ниже"_w);
    QToolButton* addGroup = arrow(box, "bbAddGroup", ">", "Группировать по полю"_w);
    QToolButton* removeGroup = arrow(box, "bbRemoveGroup", "<", "Убрать группировку"_w);
    QToolButton* clearGroups = arrow(box, "BitBtn12", "<<", "Убрать все группировки"_w);
    column(3, {up, down, addGroup, removeGroup, clearGroups});
    QToolButton* addSum = arrow(box, "bbAddSumm", ">", "Суммировать поле"_w);
    QToolButton* removeSum = arrow(box, "bbRemoveSumm", "<", "Не суммировать"_w);
    column(5, {addSum, removeSum});

    m_sumOnlyGroup = new QCheckBox(ToQString("Считать только итоги по группам"_w), box);
    m_sumOnlyGroup->setObjectName("cbSumOnlyGroup");
    m_sumOnlyGroup->setToolTip(ToQString("Строки данных не печатаются, только суммы по группам"_w));
    m_rs = new QCheckBox(ToQString("Подавлять итоги снизу"_w), box);
    m_rs->setObjectName("cbRS");
    m_noSumAfterOne = new QCheckBox(ToQString("Ставить итог после одной записи"_w), box);
    m_noSumAfterOne->setObjectName("cbNoSumAfterOne");
    auto* checks = new QHBoxLayout;
    for (QCheckBox* c : {m_sumOnlyGroup, m_rs, m_noSumAfterOne})
        checks->addWidget(c);
    checks->addStretch(1);
    grid->addLayout(checks, 2, 0, 1, 7);

    auto act = [this](auto change) {
        return [this, change] {
            change();
            refill();
        };
    };
    connect(add, &QToolButton::clicked, this, act([this] { m_wizard.AddPrint(current(m_all, m_wizard.AllFields())); }));
    connect(m_all, &QListWidget::itemDoubleClicked, add, &QToolButton::click);
    connect(addAll, &QToolButton::clicked, this, act([this] { m_wizard.AddAllPrint(); }));
    connect(del, &QToolButton::clicked, this, act([this] { m_wizard.DelPrint(current(m_print, m_wizard.Print())); }));
    connect(m_print, &QListWidget::itemDoubleClicked, del, &QToolButton::click);
    connect(clear, &QToolButton::clicked, this, act([this] { m_wizard.ClearPrint(); }));
    connect(up, &QToolButton::clicked, this, act([this] {
        const int row = m_print->currentRow();
        m_wizard.MovePrint(row, row - 1);
    }));
    connect(down, &QToolButton::clicked, this, act([this] {
        const int row = m_print->currentRow();
        m_wizard.MovePrint(row, row + 1);
    }));
    connect(addGroup, &QToolButton::clicked, this, act([this] { m_wizard.AddGroup(current(m_print, m_wizard.Print())); }));
    connect(removeGroup, &QToolButton::clicked, this,
            act([this] { m_wizard.RemoveGroup(current(m_groups, m_wizard.GroupFields())); }));
    connect(m_groups, &QListWidget::itemDoubleClicked, removeGroup, &QToolButton::click);
    connect(clearGroups, &QToolButton::clicked, this, act([this] { m_wizard.ClearGroups(); }));
    connect(addSum, &QToolButton::clicked, this, act([this] { m_wizard.AddSumm(current(m_print, m_wizard.Print())); }));
    connect(removeSum, &QToolButton::clicked, this,
            act([this] { m_wizard.RemoveSumm(current(m_sums, m_wizard.SummReport())); }));
    connect(m_sums, &QListWidget::itemDoubleClicked, removeSum, &QToolButton::click);
    connect(m_sumOnlyGroup, &QCheckBox::clicked, this, act([this] { m_wizard.SetSumOnlyGroup(m_sumOnlyGroup->isChecked()); }));
    connect(m_rs, &QCheckBox::clicked, this, act([this] { m_wizard.SetRS(m_rs->isChecked()); }));
    connect(m_noSumAfterOne, &QCheckBox::clicked, this,
            act([this] { m_wizard.SetNoSumAfterOne(m_noSumAfterOne->isChecked()); }));

    const std::pair<QListWidget*, const TPrintWizard::TList*> lists[] = {
        {m_all, &m_wizard.AllFields()}, {m_print, &m_wizard.Print()}, {m_groups, &m_wizard.GroupFields()},
        {m_sums, &m_wizard.SummReport()}};
    for (const auto& [w, entries] : lists)
        connect(w, &QListWidget::itemClicked, this, [this, w = w, entries = entries] {
            TObjField* e = current(w, *entries);
            showStatus(e);
            if (e && w == m_print)
                SelectColumn(e->Npp, false);
        });

    m_all->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_all, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu popup(this);
        QAction* alpha = popup.addAction(ToQString("Сортировать по алфавиту"_w));
        QAction* none = popup.addAction(ToQString("Без сортировки"_w));
        alpha->setCheckable(true);
        none->setCheckable(true);
        alpha->setChecked(m_wizard.AlphabeticalOrder());
        none->setChecked(!m_wizard.AlphabeticalOrder());
        if (QAction* chosen = popup.exec(m_all->viewport()->mapToGlobal(at))) {
            m_wizard.SortAllFields(chosen == alpha);
            refill();
        }
    });
    m_print->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_print, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu popup(this);
        QAction* reset = popup.addAction(ToQString("Значения по умолчанию"_w));
        TObjField* e = current(m_print, m_wizard.Print());
        reset->setEnabled(e != nullptr);
        if (popup.exec(m_print->viewport()->mapToGlobal(at)) == reset && e) {
            m_wizard.ResetDefaults(e->Npp);
            refill();
        }
    });
    return box;
}

TObjField* TfrmPrintWizard::current(QListWidget* list, const TPrintWizard::TList& entries) const
{
    const int row = list->currentRow();
    return row >= 0 && row < static_cast<int>(entries.size()) ? entries[row] : nullptr;
}

void TfrmPrintWizard::fillList(QListWidget* list, const TPrintWizard::TList& entries)
{
    const int row = list->currentRow();
    const QSignalBlocker block(list);
    list->clear();
    for (const TObjField* e : entries)
        list->addItem(ToQString(e->Caption));
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void TfrmPrintWizard::refill()
{
    fillList(m_all, m_wizard.AllFields());
    fillList(m_print, m_wizard.Print());
    fillList(m_groups, m_wizard.GroupFields());
    fillList(m_sums, m_wizard.SummReport());
    m_sumOnlyGroup->setChecked(m_wizard.SumOnlyGroup());
    m_rs->setChecked(m_wizard.RS());
    m_noSumAfterOne->setChecked(m_wizard.NoSumAfterOne());
    std::erase_if(m_selected, [this](int npp) {
        return std::none_of(m_wizard.Print().begin(), m_wizard.Print().end(),
                            [npp](const TObjField* e) { return e->Npp == npp; });
    });
    rebuildStrip();
}

void TfrmPrintWizard::rebuildStrip()
{
    while (m_strip->count() > 0)
        delete m_strip->widget(0);
    QList<int> sizes;
    for (const TObjField* e : m_wizard.Print()) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("pnCol%1").arg(e->Npp));
        panel->setFrameShape(QFrame::Box);
        panel->setMinimumWidth(8);
        panel->setText(ToQString(e->PrintLabel) + "\n" + ToQString(e->Sample));
        QFont font(ToQString(e->Font.Name()), e->Font.Size());
        font.setBold(e->Font.Style() & fsBold);
        font.setItalic(e->Font.Style() & fsItalic);
        font.setUnderline(e->Font.Style() & fsUnderline);
        panel->setFont(font);
        const int h = e->Alignment & 3;
        const Qt::Alignment horizontal = h == 1 ? Qt::AlignRight : h == 2 ? Qt::AlignHCenter : h == 3 ? Qt::AlignJustify : Qt::AlignLeft;
        const Qt::Alignment vertical = e->Alignment & 8 ? Qt::AlignVCenter : e->Alignment & 16 ? Qt::AlignBottom : Qt::AlignTop;
        panel->setAlignment(horizontal | vertical);
        panel->setAutoFillBackground(true);
        panel->setBackgroundRole(std::find(m_selected.begin(), m_selected.end(), e->Npp) != m_selected.end()
                                     ? QPalette::Highlight
                                     : QPalette::Base);
        panel->setForegroundRole(panel->backgroundRole() == QPalette::Highlight ? QPalette::HighlightedText
                                                                               : QPalette::Text);
        panel->installEventFilter(this);
        panel->setProperty("npp", e->Npp);
        m_strip->addWidget(panel);
        sizes.push_back(e->FieldWidth);
    }
    m_strip->setSizes(sizes);
    int width = 0;
    for (int s : sizes)
        width += s + m_strip->handleWidth();
    m_strip->setFixedSize(std::max(width, 1), 4 * fontMetrics().height());
    showFormat();
}

bool TfrmPrintWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->property("npp").isValid()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        SelectColumn(watched->property("npp").toInt(), mouse->modifiers() & Qt::ControlModifier);
        return true;
    }
    return TfrmPackRoot::eventFilter(watched, event);
}

void TfrmPrintWizard::SelectColumn(int npp, bool add)
{
    if (!add)
        m_selected.clear();
    if (std::find(m_selected.begin(), m_selected.end(), npp) == m_selected.end())
        m_selected.push_back(npp);
    if (TObjField* e = m_wizard.FindObjNpp(npp)) {
        showStatus(e);
        m_title->setText(ToQString(e->PrintLabel));
    }
    rebuildStrip();
}

void TfrmPrintWizard::showStatus(const TObjField* entry)
{
    if (entry)
        m_status->setText(ToQString(TPrintWizard::StatusText(*entry)));
}

void TfrmPrintWizard::showFormat()
{
    const TObjField* e = m_selected.empty() ? nullptr : m_wizard.FindObjNpp(m_selected.front());
    if (!e)
        return;
    const QSignalBlocker b1(m_fontName), b2(m_fontSize);
    m_fontName->setCurrentFont(QFont(ToQString(e->Font.Name())));
    m_fontSize->setEditText(QString::number(e->Font.Size()));
    const TFontStyle styles[] = {fsBold, fsItalic, fsUnderline};
    for (int i = 0; i < 3; ++i)
        m_styleButtons[i]->setChecked(e->Font.Style() & styles[i]);
    const int h = e->Alignment & 3;
    const bool checks[] = {h == 0, h == 1, h == 2, h == 3, (e->Alignment & 4) != 0,
                           (e->Alignment & 24) == 0, (e->Alignment & 8) != 0, (e->Alignment & 16) != 0};
    for (int i = 0; i < 8; ++i)
        m_alignButtons[i]->setChecked(checks[i]);
}

void TfrmPrintWizard::applyFormat(int tag)
{
    for (int npp : m_selected) {
        TObjField* e = m_wizard.FindObjNpp(npp);
        if (!e)
            continue;
        TFont font = e->Font;
        if (const auto name = FromQString(m_fontName->currentFont().family()))
            font.SetName(*name);
        int size = 0;
        if (const auto text = FromQString(m_fontSize->currentText()); text && TryStrToInt(*text, size) && size > 0)
            font.SetSize(size);
        TFontStyles style = 0;
        const TFontStyle styles[] = {fsBold, fsItalic, fsUnderline};
        for (int i = 0; i < 3; ++i)
            if (m_styleButtons[i]->isChecked())
                style |= styles[i];
        font.SetStyle(style);
        m_wizard.SetColumnFont(npp, font);
        int a = e->Alignment;
        if (tag >= 11 && tag <= 13)
            a = (a & ~3) | (tag - 11);
        else if (tag == 18)
            a = (a & ~3) | 3;
        else if (tag == 14)
            a ^= 4;
        else if (tag == 15)
            a &= ~24;
        else if (tag == 16)
            a = (a & ~24) | 8;
        else if (tag == 17)
            a = (a & ~24) | 16;
        m_wizard.SetColumnAlignment(npp, a);
    }
    rebuildStrip();
}

bool TfrmPrintWizard::saveReport()
{
    TFileDialogRequest request;
    request.Kind = fdSave;
    request.Filter = "Файлы отчета|*.frf|Все файлы |*.*"_w;
    request.FileName = ToSysPath(m_wizard.Menu().FullDir());
    if (!ShowFileDialog(request))
        return false;
    m_wizard.SaveReport(FromSysPath(request.FileName));
    return true;
}

bool TfrmPrintWizard::pCreateReport()
{
    if (!m_wizard.CreateReport())
        return false;
    TfrReport& report = *m_wizard.Menu().Report();
    if (frDesignerInstalled()) {
        TDesignRun run;
        run.Folder = m_wizard.Menu().FullDir();
        run.OnSave = [this](bool) { return saveReport(); };
        frDesignReport(report, run);
    } else {
        saveReport();
    }
    report.Pages.clear();
    accept();
    return true;
}

void TfrmPrintWizard::loadSettings()
{
    TFileDialogRequest request;
    request.Kind = fdOpen;
    request.Filter = "Файлы формы|*.wzd.xml|Все файлы |*.*"_w;
    request.FileName = ToSysPath(m_wizard.Menu().FullDir());
    if (!ShowFileDialog(request))
        return;
    m_wizard.LoadFormFromXML(FromSysPath(request.FileName));
    m_selected.clear();
    refill();
}

void TfrmPrintWizard::Execute(TfrPrintMenu& menu, QWidget* parent)
{
    TfrmPrintWizard form(menu, parent);
    form.exec();
}

void TfrmPrintWizard::Install()
{
    TfrPrintMenu::SetWizardHook([](TfrPrintMenu* menu) { Execute(*menu, QApplication::activeWindow()); });
}

} // namespace lm
