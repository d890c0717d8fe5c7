// The logic of the colour rules dialog ("Настройка цветов") without widgets: the template lists,
// one row per rule of the working copy, posting a row into its rule, the row actions and the
// texts the formula editor's actions insert.
#pragma once

#include <string>
#include <vector>

namespace lm {

class TColorGrid;
class TColorItem;
class TColorItemList;

class TColorDlgModel {
public:
    // The template tabs: field rules, host properties, everything else.
    enum TTab { tbFields, tbProps, tbAdditional, tbCount };

    struct TTemplate {
        std::string Caption;
        TColorItem* Item;
    };
    // A row as the grid shows it; a colour index of -1 is an empty cell.
    struct TRow {
        std::string TypeName;
        std::string Caption;
        std::string Op;
        std::string Value;
        int FontColor = -1;
        int BackColor = -1;
    };
    // A formula editor action: what it inserts is its hint, or its caption without one.
    struct TExprAction {
        std::string Caption;
        std::string Hint;
    };

    // `items` is the working copy (edited in place), `templates` the rule templates.
    TColorDlgModel(TColorGrid& grid, TColorItemList& items, TColorItemList& templates);

    static std::string TabCaption(TTab tab);
    // The tab's templates sorted by caption, each caption once.
    const std::vector<TTemplate>& Templates(TTab tab) const { return m_templates[tab]; }
    // The reference texts of every template, for the formula highlighter.
    const std::vector<std::string>& FieldList() const { return m_fieldList; }
    // A field template's caption; otherwise the type's prefix, "." and the caption.
    static std::string ReferenceText(TColorItem& templ);
    // "Поле", "Св-во", "Доп" or "Форм".
    static std::string TypePrefix(int type);

    int RowCount() const;
    TColorItem* Rule(int row) const;
    bool IsFormula(int row) const;
    TRow RowOf(int row) const;
    // Posts the row: trailing blanks, tabs, CRs and LFs leave the value; a formula must pass
    // CheckExpr (its message is raised and the rule keeps its old values); the colours (empty:
    // clWindowText and clWindow) and SetValues go to the rule. Returns the row as the rule
    // now reads.
    TRow Post(int row, const TRow& values);
    // The values the Value column offers for the row's rule.
    std::vector<std::string> PickList(int row) const { return PickListOf(*Rule(row)); }
    // The values a rule or template offers (FillPickList).
    static std::vector<std::string> PickListOf(TColorItem& rule);
    static const std::vector<std::string>& Operators();

    // "Добавить": a rule from the template, appended; without one the warning "Предварительно
    // надо выбрать поле." and -1.
    int AddFromTemplate(TColorItem* templ);
    // "Добавить формулу": a new formula rule, appended. Returns its row.
    int AddFormula();
    void Delete(int row);
    // "Строку вверх" (-1) and "Строку вниз" (+1): the rule's new row (unchanged at the ends).
    int Move(int row, int delta);

    static const std::vector<TExprAction>& OperatorActions();
    // The text an operator action inserts: a blank in front unless it begins with one.
    static std::string OperatorText(const TExprAction& action);
    // "По умолчанию": asks "Сбросить текущие настройки цветов и установить настройки
    // по-умолчанию?"; true on Yes.
    static bool ConfirmDefaults();

private:
    TColorGrid& m_grid;
    TColorItemList& m_items;
    std::vector<TTemplate> m_templates[tbCount];
    std::vector<std::string> m_fieldList;
};

} // namespace lm
