// The sort dialog.
#include "filter/ui/frmsort.h"

#include <QDialogButtonBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/hooks.h"
#include "filter/usersort.h"
#include "forms/ui/qtdialoghost.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

QToolButton* moveButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

} // namespace

TfrmSort::TfrmSort(TSortDlgModel& model, QWidget* parent)
    : TfrmPackRoot(parent), m_model(model), m_fields(new QListWidget(this)), m_sort(new QListWidget(this))
{
    setObjectName("frmSort");
    setWindowTitle(ToQString(model.Caption()));
    m_fields->setObjectName("lbFields");
    m_sort->setObjectName("lbSort");
    m_sort->setToolTip(ToQString("Если  'галочка' -  сортировать по убыванию"_w));
    for (QListWidget* list : {m_fields, m_sort}) {
        list->setMinimumWidth(24 * fontMetrics().averageCharWidth());
        list->setDragDropMode(QAbstractItemView::DragDrop);
        list->setDefaultDropAction(Qt::MoveAction);
        list->viewport()->installEventFilter(this);
    }
    auto* fieldsLabel = new QLabel(ToQString("Сп&исок полей"_w), this);
    fieldsLabel->setBuddy(m_fields);
    auto* sortLabel = new QLabel(ToQString("Поля &сортировки"_w), this);
    sortLabel->setBuddy(m_sort);

    auto* middle = new QVBoxLayout;
    QToolButton* add = moveButton(this, "btnAdd", ">", {});
    QToolButton* remove = moveButton(this, "btnRemove", "<", {});
    QToolButton* clear = moveButton(this, "btnClear", "<<", {});
    middle->addStretch(1);
    for (QToolButton* b : {add, remove, clear})
        middle->addWidget(b);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    QToolButton* top = moveButton(this, "btnTop", QString(QChar(0x2912)), ToQString("В начало"_w));
    QToolButton* up = moveButton(this, "btnUp", QString(QChar(0x2191)), ToQString("Вверх"_w));
    QToolButton* down = moveButton(this, "btnDown", QString(QChar(0x2193)), ToQString("Вниз"_w));
    QToolButton* bottom = moveButton(this, "btnBottom", QString(QChar(0x2913)), ToQString("В конец"_w));
    right->addStretch(1);
    for (QToolButton* b : {top, up, down, bottom})
        right->addWidget(b);
    right->addStretch(1);

    auto* lists = new QGridLayout;
    lists->addWidget(fieldsLabel, 0, 0);
    lists->addWidget(sortLabel, 0, 2);
    lists->addWidget(m_fields, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(m_sort, 1, 2);
    lists->addLayout(right, 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    auto addButton = [&](const char* name, const std::string& caption, QDialogButtonBox::ButtonRole role) {
        QPushButton* b = buttons->addButton(ToQString(caption), role);
        b->setObjectName(name);
        return b;
    };
    QPushButton* saveFile = addButton("btnSaveToFile", "Сохранить в &файл"_w, QDialogButtonBox::ActionRole);
    saveFile->setVisible(model.SaveToFileVisible());
    QPushButton* apply = addButton("btnOk", "&Применить"_w, QDialogButtonBox::AcceptRole);
    QPushButton* save = addButton("btnSave", "&Сохранить"_w, QDialogButtonBox::AcceptRole);
    QPushButton* byDefault = addButton("btnDefault", "По &умолчанию"_w, QDialogButtonBox::AcceptRole);
    QPushButton* cancel = addButton("btnCancel", "Отмена"_w, QDialogButtonBox::RejectRole);
    apply->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    setTabOrder(m_fields, m_sort);
    setTabOrder(m_sort, apply);

    connect(add, &QToolButton::clicked, this, [this] {
        const int at = m_model.AddToSort(m_fields->currentRow());
        if (at >= 0)
            refill(at, m_fields->currentRow());
    });
    connect(m_fields, &QListWidget::itemDoubleClicked, add, &QToolButton::click);
    connect(remove, &QToolButton::clicked, this, [this] {
        if (m_sort->currentRow() < 0)
            return;
        m_model.RemoveFromSort(m_sort->currentRow());
        refill(m_sort->currentRow(), m_fields->currentRow());
    });
    connect(m_sort, &QListWidget::itemDoubleClicked, remove, &QToolButton::click);
    connect(clear, &QToolButton::clicked, this, [this] {
        m_model.ClearSort();
        refill(-1, 0);
    });
    connect(top, &QToolButton::clicked, this, [this] { moveSelected(&TSortDlgModel::MoveTop); });
    connect(up, &QToolButton::clicked, this, [this] { moveSelected(&TSortDlgModel::MoveUp); });
    connect(down, &QToolButton::clicked, this, [this] { moveSelected(&TSortDlgModel::MoveDown); });
    connect(bottom, &QToolButton::clicked, this, [this] { moveSelected(&TSortDlgModel::MoveBottom); });
    connect(m_sort, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        m_model.SetDescending(m_sort->row(item), item->checkState() == Qt::Checked);
    });
    connect(saveFile, &QPushButton::clicked, this, &TfrmSort::saveToFile);
    connect(apply, &QPushButton::clicked, this, [this] { close(TSortDlgModel::srApply); });
    connect(save, &QPushButton::clicked, this, [this] { close(TSortDlgModel::srSave); });
    connect(byDefault, &QPushButton::clicked, this, [this] { close(TSortDlgModel::srDefault); });
    connect(cancel, &QPushButton::clicked, this, &TfrmSort::reject);
    refill(0, 0);
    m_fields->setFocus();
}

void TfrmSort::refill(int sortCurrent, int fieldCurrent)
{
    const QSignalBlocker blockSort(m_sort);
    m_fields->clear();
    for (const TSortDlgModel::TItem& item : m_model.Fields())
        m_fields->addItem(ToQString(item.Label));
    m_sort->clear();
    for (const TSortDlgModel::TItem& item : m_model.SortFields()) {
        auto* row = new QListWidgetItem(ToQString(item.Label), m_sort);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(item.Descending ? Qt::Checked : Qt::Unchecked);
    }
    m_fields->setCurrentRow(std::min(fieldCurrent, m_fields->count() - 1));
    m_sort->setCurrentRow(std::min(sortCurrent, m_sort->count() - 1));
}

void TfrmSort::moveSelected(int (TSortDlgModel::*move)(int))
{
    const int at = (m_model.*move)(m_sort->currentRow());
    if (at >= 0)
        refill(at, m_fields->currentRow());
}

// Drops go through the model: between the lists a field changes list, within the sort list it moves.
bool TfrmSort::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Drop)
        return TfrmPackRoot::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    auto* target = watched == m_sort->viewport() ? m_sort : m_fields;
    auto* source = qobject_cast<QListWidget*>(drop->source());
    QListWidgetItem* over = target->itemAt(drop->position().toPoint());
    const int at = over ? target->row(over) : -1;
    if (source == m_fields && target == m_sort) {
        const int placed = m_model.AddToSort(m_fields->currentRow(), at);
        refill(placed, m_fields->currentRow());
    } else if (source == m_sort && target == m_fields) {
        m_model.RemoveFromSort(m_sort->currentRow());
        refill(m_sort->currentRow(), m_fields->currentRow());
    } else if (source == m_sort && target == m_sort) {
        refill(m_model.MoveSort(m_sort->currentRow(), at < 0 ? m_sort->count() - 1 : at), m_fields->currentRow());
    }
    drop->setDropAction(Qt::IgnoreAction);
    drop->accept();
    return true;
}

void TfrmSort::saveToFile()
{
    if (!RunShowingErrors([&] { m_model.CheckCanSave(); }))
        return;
    TFileDialogRequest request;
    request.Kind = fdSave;
    request.Caption = TSortDlgModel::SaveTitle();
    request.Filter = TSortDlgModel::SaveFilter();
    request.FileName = TSortDlgModel::SaveInitialDir();
    if (!ShowFileDialog(request))
        return;
    std::string file = request.FileName;
    if (file.find('.', file.find_last_of('/') == std::string::npos ? 0 : file.find_last_of('/')) == std::string::npos)
        file += TSortDlgModel::SaveDefaultExt();
    RunShowingErrors([&] { m_model.SaveToFile(file); });
}

void TfrmSort::close(TSortDlgModel::TSortResult result)
{
    m_result = result;
    accept();
}

void TfrmSort::Execute(TSortDlgModel& model, QWidget* parent)
{
    TfrmSort dialog(model, parent);
    dialog.exec();
    RunShowingErrors([&] { model.Finish(dialog.Result()); });
}

void TfrmSort::Install()
{
    SetSortDialog([](TSortDlgModel& model) { Execute(model, nullptr); });
}

} // namespace lm
