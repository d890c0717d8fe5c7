// The rules of TColorGrid: the base rule TColorItem (host property rules derive from it), the
// field rule, the event rule, the formula rule and the owning rule list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/graphics.h"
#include "script/script.h"
#include "util/variant.h"

namespace lm {

class TColorGrid;
class TField;
class TRegistry;
class TStrings;

// "1", "ДА", "TRUE" (any case) give true; "0", "НЕТ", "FALSE" false; anything else raises
// "Ошибка преобразования строки %s к типу boolean".
bool StrToBoolean(const std::string& s);
// "Да" or "Нет".
std::string BooleanToStr(bool b);

// Rule types, stored as "Type".
enum : int { citField = 0, citHost = 1, citEvent = 2, citExpr = 3 };

class TColorItem {
public:
    TColorItem(TColorGrid* grid, int type, std::string id, std::string caption);
    virtual ~TColorItem() = default;
    // The copy constructor Create(Source) of every kind: grid, type, ID, GetCaption, colours,
    // operator and GetValue.
    virtual std::unique_ptr<TColorItem> Clone();

    TColorGrid* Grid() const { return m_grid; }
    TColor FontColor() const { return m_fontColor; }
    TColor BackColor() const { return m_backColor; }
    // Only colours of the table; others raise "TColorItem.SetFontColor: Значение цвета
    // отсутствует в списке." (SetBackColor alike).
    void SetFontColor(TColor color);
    void SetBackColor(TColor color);
    int Type() const { return m_type; }
    const std::string& ID() const { return m_id; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    const std::string& Operator() const { return m_operator; }
    void SetOperator(const std::string& op);
    const Variant& Value() const { return m_value; }
    void SetValue(const Variant& value) { m_value = value; }

    // Whether the rule holds for the grid's current record.
    virtual bool IsTrue();
    // The rule's value as text (empty for Null).
    virtual std::string GetAsString();
    // Operator "=", Value Null.
    virtual void SetDefValues();
    // Writes Type, ID, Operator, Value (GetAsString), FontColor, BackColor into the open key.
    virtual void SaveItem(TRegistry& reg);
    // Reads Value and Operator (through SetValues) and the colours that are in the table.
    virtual void LoadItem(TRegistry& reg);
    virtual std::string GetCaption();
    virtual Variant GetValue();
    // The values the user may pick from (none by default).
    virtual void FillPickList(TStrings& strings);
    virtual void SetValues(const std::string& op, const std::string& value);
    // The value the rule compares on the current record (Null by default).
    virtual Variant GetCurrentValue();

    // The comparison of Current with the rule's value by Operator ("ПУСТО", "НЕ ПУСТО", "=",
    // "<>", ">", "<", ">=", "<="); anything that fails gives false.
    bool ConditionIsTrue(const Variant& current);
    // Same class, type, ID (ignoring case), operator, colours and value.
    bool ItemEqual(TColorItem& other);

protected:
    TColorItem(TColorItem& source);

    TColorGrid* m_grid;
    TColor m_fontColor = clWindowText;
    TColor m_backColor = clWindow;
    int m_type;
    std::string m_id;
    std::string m_caption;
    Variant m_value = Variant::Null();

private:
    enum class TOp { opNone, opEmpty, opNotEmpty, opEq, opNe, opGt, opLt, opGe, opLe };

    std::string m_operator;  // set through SetOperator, which also reads it into m_opCode
    TOp m_opCode = TOp::opNone;
};

// A rule comparing a field of the grid's dataset (ID = field name) with a value.
class TFieldItem : public TColorItem {
public:
    TFieldItem(TColorGrid* grid, int type, std::string id, std::string caption);
    // For default rules built by a host: the caption is the field's display label when the
    // field exists.
    TFieldItem(TColorGrid* grid, const std::string& fieldName, const Variant& value, const std::string& op);
    std::unique_ptr<TColorItem> Clone() override;

    bool IsTrue() override;
    std::string GetAsString() override;
    void SetDefValues() override;
    std::string GetCaption() override;
    Variant GetValue() override;
    void FillPickList(TStrings& strings) override;
    // Value converts from the text by the field's type; a text that does not convert leaves
    // Null. While the dataset has no fields the text waits and converts on first use.
    void SetValues(const std::string& op, const std::string& value) override;
    Variant GetCurrentValue() override;

protected:
    TFieldItem(TFieldItem& source);

private:
    TField* field() const;

    std::string m_pending;          // the value text waiting for conversion
    mutable int m_fieldIndex = -1;  // where the field was last found among the dataset's fields
};

// A rule the host answers through the grid's OnEventItem (ID = the host's condition).
class TEventItem : public TColorItem {
public:
    TEventItem(TColorGrid* grid, std::string id, std::string caption);
    std::unique_ptr<TColorItem> Clone() override;
    bool IsTrue() override;
    std::string GetAsString() override;
    void SetDefValues() override;
    void SetValues(const std::string& op, const std::string& value) override;
    Variant GetCurrentValue() override;

protected:
    TEventItem(TEventItem& source) : TColorItem(source) {}
};

// A rule whose Value is a formula of the script language, compiled on first use into the
// function Expr_IsTrue.
class TExprItem : public TColorItem {
public:
    TExprItem(TColorGrid* grid, int type, std::string id, std::string caption);
    ~TExprItem() override;
    std::unique_ptr<TColorItem> Clone() override;
    bool IsTrue() override;
    // A new formula is compiled on its next evaluation.
    void SetValues(const std::string& op, const std::string& value) override;

    // The program text generated around a formula.
    static std::string ProgramText(const std::string& formula);

protected:
    TExprItem(TExprItem& source) : TColorItem(source) {}

private:
    std::unique_ptr<TScript> m_script;
    TScriptRoutine m_function = nullptr;  // the compiled Expr_IsTrue
};

// An owning list of rules.
class TColorItemList {
public:
    TColorItem* Add(std::unique_ptr<TColorItem> item);
    int Count() const { return static_cast<int>(m_items.size()); }
    TColorItem* GetItem(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    // The first item of that type whose ID equals `id` ignoring case, or null.
    TColorItem* FindItem(int type, const std::string& id) const;
    // Clears, then appends a copy of every source item.
    void Assign(const TColorItemList& source);
    bool ListEqual(const TColorItemList& other) const;
    // Removes the item from the list and hands it over.
    std::unique_ptr<TColorItem> Extract(int index);
    void Delete(int index);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TColorItem>> m_items;
};

} // namespace lm
