// TColorGrid: colours the rows of a grid by rules over field values, host events and script
// formulas (the first matching rule decides each colour), and keeps the rules per user.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "color/coloritem.h"
#include "color/lmcolors.h"
#include "host/registry.h"
#include "util/component.h"
#include "util/object.h"

namespace lm {

class TDataSet;
class TScript;
class TScriptArgs;

class TColorGrid : public TComponent {
public:
    using TEventItemEvent = std::function<void(TColorGrid* Sender, const std::string& ItemID, bool& IsTrue)>;
    using TPopulateItemsEvent = std::function<void(TColorGrid* Sender, TColorItemList& Items)>;
    using TOnAddFieldItemEvent = std::function<void(TColorGrid* Sender, const std::string& FieldName, bool& DoAdd)>;
    // The rules dialog: edits `work`, offering `templates`; returns OK and sets `defaults` when
    // the user chose the default rules. The widgets install it.
    using TDialogRunner = std::function<bool(TColorGrid& grid, TColorItemList& work, TColorItemList& templates, bool& defaults)>;

    explicit TColorGrid(TComponent* owner = nullptr);
    ~TColorGrid() override;

    TEventItemEvent OnEventItem;
    TPopulateItemsEvent OnPopulateAllItems;
    TPopulateItemsEvent OnPopulateDefItems;
    TOnAddFieldItemEvent OnAddFieldItem;

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet) { m_dataSet = dataSet; }
    const std::string& RegPath() const { return m_regPath; }
    void SetRegPath(const std::string& path) { m_regPath = path; }

    TColorItemList& Items() { return m_items; }
    TColorItemList& DefItems() { return m_defItems; }
    // The working copy while the dialog runs, else null.
    TColorItemList* WorkItems() const { return m_work.get(); }

    // Host objects by item type (owned): the slots grow as needed; a type beyond them gives null.
    void SetItemTypeHolder(int type, std::unique_ptr<TObject> holder);
    TObject* GetItemTypeHolder(int type) const;

    // The colours for the dataset's current record: clWindowText and clWindow unless a rule
    // sets them; the first matching rule decides each colour separately.
    void CalcColors(TColor& fontColor, TColor& backColor);

    // Runs the rules dialog; on OK takes its rules (or the defaults) and saves them.
    bool Customize();
    static void SetDialogRunner(TDialogRunner runner);

    // RegPath + "\" (when missing) + "ColorGrid"; an empty RegPath raises
    // "TColorGrid.Save: Не указано св-во RegPath".
    std::string RootKey() const;
    // Replaces the stored rules; with isDefault the key is only deleted.
    void Save(bool isDefault);
    // Reads the rules (the defaults when nothing is stored).
    void Load();

    // Every rule template the user may pick from; the caller owns the list.
    std::unique_ptr<TColorItemList> CreateAllItemList();
    // A new rule in the working copy: a copy of `templ` with default values, or an empty
    // formula rule. Raises outside the dialog.
    TColorItem* CreateCustomItem(TColorItem* templ);

    // The dataset, or "TColorGrid: Не указан датасет".
    TDataSet* CheckDS() const;
    // Checks a formula: raises "Пустая формула!", "Ошибка в формуле:\r\n..." or the wrong-result
    // message.
    void CheckExpr(const std::string& expr);

    // A script with Get(Name) registered and bound to this grid; the caller owns it.
    std::unique_ptr<TScript> CreateScript();
    // The rule a formula reference names (field caption, "Св-во.X", "Доп.X"), cached per name
    // (misses too) for the grid's lifetime; null when there is none.
    TColorItem* FindScriptRef(const std::string& name);
    // Get(Name): the referenced rule's current value; Null when there is none, except during a
    // check, which raises "Поле <%s> не найдено".
    Variant GetScriptValue(const TScriptArgs& args);

    // The colour table (unit functions, here for the dialog's convenience).
    static int GetColorCount() { return lm::GetColorCount(); }
    static TColor GetColor(int index) { return lm::GetColor(index); }
    static std::string GetColorName(int index) { return lm::GetColorName(index); }
    static int ColorIndex(TColor color) { return lm::ColorIndex(color); }

private:
    // The registry object, made on first use so that a grid that never stores opens no store.
    TRegistry& registry();

    TDataSet* m_dataSet = nullptr;
    std::string m_regPath;
    TColorItemList m_items;
    std::unique_ptr<TColorItemList> m_work;
    TColorItemList m_defItems;
    std::unique_ptr<TRegistry> m_registry;
    std::vector<std::unique_ptr<TObject>> m_typeHolders;
    bool m_checking = false;
    std::map<std::string, std::unique_ptr<TColorItem>> m_refCache;  // by upper-cased name
    std::unique_ptr<TScript> m_checkScript;
};

} // namespace lm
