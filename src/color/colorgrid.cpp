// TColorGrid: colour calculation, rule templates, the dialog's working copy, storage and the
// script glue of the formula rules.
#include "color/colorgrid.h"

#include <algorithm>

#include "host/dataset.h"
#include "host/field.h"
#include "script/script.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

TColorGrid::TDialogRunner& dialogRunner()
{
    static TColorGrid::TDialogRunner runner;
    return runner;
}

// Sub-key names in the order of their numbers; a name that is not a number counts as 1000.
void sortRuleKeys(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return StrToIntDef(a, 1000) < StrToIntDef(b, 1000);
    });
}

} // namespace

TColorGrid::TColorGrid(TComponent* owner) : TComponent(owner) {}

TColorGrid::~TColorGrid() = default;

void TColorGrid::SetItemTypeHolder(int type, std::unique_ptr<TObject> holder)
{
    if (type < 0)
        return;
    if (static_cast<size_t>(type) >= m_typeHolders.size())
        m_typeHolders.resize(static_cast<size_t>(type) + 1);
    m_typeHolders[static_cast<size_t>(type)] = std::move(holder);
}

TObject* TColorGrid::GetItemTypeHolder(int type) const
{
    if (type < 0 || static_cast<size_t>(type) >= m_typeHolders.size())
        return nullptr;
    return m_typeHolders[static_cast<size_t>(type)].get();
}

void TColorGrid::CalcColors(TColor& fontColor, TColor& backColor)
{
    fontColor = clWindowText;
    backColor = clWindow;
    if (!m_dataSet || !m_dataSet->Active() || m_dataSet->IsEmpty())
        return;
    bool fontSet = false, backSet = false;
    for (int i = 0; i < m_items.Count() && !(fontSet && backSet); ++i) {
        TColorItem* item = m_items.GetItem(i);
        const bool wantFont = !fontSet && item->FontColor() != clWindowText;
        const bool wantBack = !backSet && item->BackColor() != clWindow;
        if ((!wantFont && !wantBack) || !item->IsTrue())
            continue;
        if (wantFont) {
            fontColor = item->FontColor();
            fontSet = true;
        }
        if (wantBack) {
            backColor = item->BackColor();
            backSet = true;
        }
    }
}

void TColorGrid::SetDialogRunner(TDialogRunner runner)
{
    dialogRunner() = std::move(runner);
}

bool TColorGrid::Customize()
{
    if (!dialogRunner())
        throw Exception("TColorGrid: Диалог настройки недоступен"_w);
    std::unique_ptr<TColorItemList> templates = CreateAllItemList();
    m_work = std::make_unique<TColorItemList>();
    m_work->Assign(m_items);
    struct Cleanup {
        TColorGrid* grid;
        ~Cleanup()
        {
            grid->m_work.reset();
            grid->m_checkScript.reset();
        }
    } cleanup{this};
    bool defaults = false;
    const bool ok = dialogRunner()(*this, *m_work, *templates, defaults);
    if (ok) {
        m_items.Assign(defaults ? m_defItems : *m_work);
        Save(defaults || m_items.ListEqual(m_defItems));
    }
    return ok;
}

std::string TColorGrid::RootKey() const
{
    if (m_regPath.empty())
        throw Exception("TColorGrid.Save: Не указано св-во RegPath"_w);
    return m_regPath + (m_regPath.back() == '\\' ? "" : "\\") + "ColorGrid";
}

TRegistry& TColorGrid::registry()
{
    if (!m_registry)
        m_registry = std::make_unique<TRegistry>();
    return *m_registry;
}

void TColorGrid::Save(bool isDefault)
{
    const std::string root = RootKey();
    TRegistry& reg = registry();
    reg.CloseKey();
    if (reg.KeyExists(root))
        reg.DeleteKey(root);
    if (isDefault)
        return;
    reg.OpenKey(root, true);
    reg.CloseKey();
    for (int i = 0; i < m_items.Count(); ++i) {
        reg.OpenKey(root + "\\" + std::to_string(i), true);
        m_items.GetItem(i)->SaveItem(reg);
        reg.CloseKey();
    }
}

void TColorGrid::Load()
{
    if (OnPopulateDefItems) {
        m_defItems.Clear();
        OnPopulateDefItems(this, m_defItems);
    }
    m_items.Clear();
    const std::string root = RootKey();
    TRegistry& reg = registry();
    reg.CloseKey();
    if (!reg.KeyExists(root)) {
        m_items.Assign(m_defItems);
        return;
    }
    std::vector<std::string> names;
    reg.OpenKey(root, false);
    reg.GetKeyNames(names);
    reg.CloseKey();
    sortRuleKeys(names);

    std::unique_ptr<TColorItemList> templates;  // made when the first non-formula rule needs it
    for (const std::string& name : names) {
        if (!reg.OpenKey(root + "\\" + name, false))
            continue;
        std::unique_ptr<TColorItem> item;
        try {
            const int type = reg.ReadInteger("Type");
            if (type == citExpr) {
                item = std::make_unique<TExprItem>(this, citExpr, std::string(), std::string());
            } else {
                if (!templates)
                    templates = CreateAllItemList();
                if (TColorItem* t = templates->FindItem(type, reg.ReadString("ID")))
                    item = t->Clone();
            }
        } catch (const ERegistryException&) {
            // a rule without a readable type is skipped
        }
        if (item) {
            item->LoadItem(reg);
            m_items.Add(std::move(item));
        }
        reg.CloseKey();
    }
}

TDataSet* TColorGrid::CheckDS() const
{
    if (!m_dataSet)
        throw Exception("TColorGrid: Не указан датасет"_w);
    return m_dataSet;
}

std::unique_ptr<TColorItemList> TColorGrid::CreateAllItemList()
{
    TDataSet* ds = CheckDS();
    auto list = std::make_unique<TColorItemList>();
    for (int i = 0; i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        bool doAdd = f->Visible();
        if (OnAddFieldItem)
            OnAddFieldItem(this, f->FieldName(), doAdd);
        if (doAdd)
            list->Add(std::make_unique<TFieldItem>(this, citField, f->FieldName(), f->DisplayLabel()));
    }
    if (OnPopulateAllItems)
        OnPopulateAllItems(this, *list);
    for (int i = 0; i < m_defItems.Count(); ++i) {
        TColorItem* def = m_defItems.GetItem(i);
        if (!list->FindItem(def->Type(), def->ID()))
            list->Add(def->Clone());
    }
    return list;
}

TColorItem* TColorGrid::CreateCustomItem(TColorItem* templ)
{
    if (!m_work)
        throw Exception("TColorGrid: Данная операция (CreateItem) доступна только в режиме настройки."_w);
    std::unique_ptr<TColorItem> item;
    if (templ) {
        item = templ->Clone();
        item->SetDefValues();
    } else {
        item = std::make_unique<TExprItem>(this, citExpr, std::string(), std::string());
    }
    return m_work->Add(std::move(item));
}

void TColorGrid::CheckExpr(const std::string& expr)
{
    // the flag is cleared however the check ends, so that later colouring reads unknown
    // references as Null again
    m_checking = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_checking};
    if (TrimRight(expr).empty())
        throw Exception("Пустая формула!"_w);
    if (!m_checkScript) {
        m_checkScript = CreateScript();
        m_checkScript->SetText("begin end.");
        m_checkScript->Compile();
    }
    Variant result;
    try {
        result = m_checkScript->Evaluate(expr);
    } catch (const Exception& e) {
        throw Exception("Ошибка в формуле:\r\n"_w + e.Message());
    }
    if (!result.IsNullOrEmpty() && result.VarType() != TVarType::varBoolean)
        throw Exception(Format("Ошибка в формуле:\r\nНе правильный результат %s. Ожидается True или False."_w,
                               {result.AsString()}));
}

std::unique_ptr<TScript> TColorGrid::CreateScript()
{
    auto script = std::make_unique<TScript>();
    script->SetSyntaxType("PascalScript");
    // Get('Name') with a constant name resolves its rule on the first call and keeps it: the
    // reference cache never forgets a name while the grid lives.
    script->AddFunction(
        "Get", [this](const TScriptArgs& args) { return GetScriptValue(args); }, 1, 1,
        [this](const std::vector<Variant>& args) -> std::function<Variant()> {
            const std::string name = args[0].IsNullOrEmpty() ? std::string() : args[0].AsString();
            if (name.empty())
                return [] { return Variant::Null(); };
            auto ref = std::make_shared<std::pair<bool, TColorItem*>>(false, nullptr);
            return [this, name, ref]() -> Variant {
                if (!ref->first) {
                    ref->second = FindScriptRef(name);
                    ref->first = true;
                }
                if (ref->second)
                    return ref->second->GetCurrentValue();
                if (m_checking)
                    throw Exception(Format("Поле <%s> не найдено"_w, {name}));
                return Variant::Null();
            };
        });
    return script;
}

Variant TColorGrid::GetScriptValue(const TScriptArgs& args)
{
    const std::string name = args.Count() == 0 || args[0].IsNullOrEmpty() ? std::string() : args[0].AsString();
    if (name.empty())
        return Variant::Null();
    if (TColorItem* item = FindScriptRef(name))
        return item->GetCurrentValue();
    if (m_checking)
        throw Exception(Format("Поле <%s> не найдено"_w, {name}));
    return Variant::Null();
}

TColorItem* TColorGrid::FindScriptRef(const std::string& name)
{
    const std::string key = upperCase(name);
    if (const auto it = m_refCache.find(key); it != m_refCache.end())
        return it->second.get();
    std::unique_ptr<TColorItemList> list = CreateAllItemList();
    int type = citField;
    std::string rest = name;
    for (const auto& [prefix, prefixType] : {std::pair{"Св-во."_w, citHost}, std::pair{"Доп."_w, citEvent}}) {
        const std::string p = upperCase(prefix);
        if (key.compare(0, p.size(), p) == 0) {
            type = prefixType;
            rest = name.substr(p.size());
            break;
        }
    }
    const std::string wanted = upperCase(rest);
    std::unique_ptr<TColorItem> found;
    for (int i = 0; i < list->Count(); ++i) {
        TColorItem* item = list->GetItem(i);
        if (item->Type() == type && upperCase(item->GetCaption()) == wanted) {
            found = list->Extract(i);
            break;
        }
    }
    TColorItem* result = found.get();
    m_refCache[key] = std::move(found);
    return result;
}

} // namespace lm
