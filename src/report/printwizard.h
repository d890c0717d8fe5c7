// TPrintWizard: the print wizard's state and decisions — the four column lists and their rules,
// the column formatting, the report generated object by object into the print menu's version-2
// report, and the settings file written beside it. TfrmPrintWizard is a view over it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/objfield.h"

namespace lm {

class TDataSet;
class TfrPrintMenu;
class TfrReport;

class TPrintWizard {
public:
    using TList = std::vector<TObjField*>;
    enum TListKind { lkAllFields, lkPrint, lkGroupFields, lkSummReport };

    // Works on the print menu's report, grid and sort; builds the field list (CreateItemListBox).
    explicit TPrintWizard(TfrPrintMenu& menu);
    ~TPrintWizard();
    TPrintWizard(const TPrintWizard&) = delete;
    TPrintWizard& operator=(const TPrintWizard&) = delete;

    TfrPrintMenu& Menu() const { return m_menu; }
    const TList& List(TListKind kind) const { return m_lists[kind]; }
    const TList& AllFields() const { return m_lists[lkAllFields]; }
    const TList& Print() const { return m_lists[lkPrint]; }
    const TList& GroupFields() const { return m_lists[lkGroupFields]; }
    const TList& SummReport() const { return m_lists[lkSummReport]; }
    // The entry of that serial number, or null.
    TObjField* FindObjNpp(int npp) const;
    // The dataset name that sum expressions use and the variables' prefix.
    const std::string& DataSetName() const { return m_dataSetName; }

    // Check boxes, with their coupling: checking SumOnlyGroup checks NoSumAfterOne, unchecking
    // NoSumAfterOne unchecks SumOnlyGroup.
    bool SumOnlyGroup() const { return m_sumOnlyGroup; }
    bool RS() const { return m_rs; }
    bool NoSumAfterOne() const { return m_noSumAfterOne; }
    void SetSumOnlyGroup(bool on);
    void SetRS(bool on) { m_rs = on; }
    void SetNoSumAfterOne(bool on);
    int LeftPos = 16;

    // --- The lists. Every change ends with the group fields moved to the front of the print
    // list in group order (Conformity).
    void AddPrint(TObjField* entry);
    void AddAllPrint();
    void DelPrint(TObjField* entry);
    void ClearPrint();
    void MovePrint(int from, int to);
    // Add the printed entry to the group or totals list; false, with the message "Такое поле
    // уже есть" shown, when the list holds that caption already.
    bool AddGroup(TObjField* entry);
    bool AddSumm(TObjField* entry);
    void RemoveGroup(TObjField* entry);
    void RemoveSumm(TObjField* entry);
    void ClearGroups();
    void ClearAll();
    // Alphabetical or serial-number order of the all-fields list.
    void SortAllFields(bool alphabetical);
    bool AlphabeticalOrder() const { return m_alphabetical; }
    void Conformity();

    // --- Column formatting: every entry of that serial number takes the value.
    void SetColumnWidth(int npp, int width);
    void SetColumnFont(int npp, const TFont& font);
    void SetColumnAlignment(int npp, int alignment);
    void SetColumnLabel(int npp, const std::string& label);
    // Back to the font, width, alignment and heading the entry had when the list was built.
    void ResetDefaults(int npp);
    // The status line of an entry: "FieldName ", "Длина ", "№ пп ", "Числовое Да/Нет".
    static std::string StatusText(const TObjField& entry);
    // The left edge of the printed column of that serial number in the strip (from LeftPos);
    // LeftPos when it is not printed.
    int ToCalculatePoz(int npp) const;

    // --- Generation. Asks about non-numeric totals (false when the user declines: nothing
    // changed); otherwise fills the report, applies the group sort and writes the settings.
    bool CreateReport();
    // Saves the report as base + ".frf", the sort as base + ".srt" (or deletes a stale one),
    // and the settings as base + ".wzd.xml". `base` may carry the ".frf" extension.
    void SaveReport(const std::string& base);

    // --- The settings file.
    std::string SaveFormToXML() const;
    const std::string& SettingsText() const { return m_settings; }
    void LoadFormFromXML(const std::string& fileName);

private:
    void buildFieldList();
    void addTo(TListKind kind, TObjField* entry);
    void removeFrom(TListKind kind, const TObjField* entry);
    bool contains(TListKind kind, const TObjField* entry) const;
    void restoreAllOrder();
    void generate(TfrReport& report);
    void setFieldInList(TListKind kind, const TObjField& values);

    TfrPrintMenu& m_menu;
    std::vector<std::unique_ptr<TObjField>> m_entries;   // every entry, in serial order
    std::vector<std::unique_ptr<TObjField>> m_defaults;  // the entries as first built
    TList m_lists[4];
    std::string m_dataSetName;
    std::string m_prefix;
    std::string m_settings;
    bool m_sumOnlyGroup = false;
    bool m_rs = true;
    bool m_noSumAfterOne = false;
    bool m_alphabetical = false;
};

} // namespace lm
