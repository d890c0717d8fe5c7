// The print wizard's report generation: bands and memos placed object by object into the
// version-2 report, the group sort, and saving the report with its side files.
//
// Compared with the layout the wizard has always produced, every group footer and the summary
// sit below the previous band (not all at one top), column memos sit at the top of their own
// band, the master data band names the report's own master dataset, the group fields lead the
// sort, and the two page-footer memos stand side by side.
#include "report/printwizard.h"

#include <algorithm>

#include "app/hooks.h"
#include "filter/usersort.h"
#include "host/dataset.h"
#include "host/field.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/frxcomponent.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/strs_files.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// A new band prints on the first and the last page.
constexpr int16_t kNewBand = flBandOnFirstPage | flBandOnLastPage;

// Positions and objects of one generation run.
class Layout {
public:
    Layout(TfrPage& page, int leftPos) : m_page(page), m_leftPos(leftPos) {}

    int mTop() const { return m_top; }
    // The running top, raised to the next multiple of 4.
    void SetmTop(int value) { m_top = (value + 3) / 4 * 4; }
    void SetMaxWidth(int right) { m_maxWidth = std::max(m_maxWidth, right); }
    int MaxWidth() const { return m_maxWidth; }

    TfrBandView* band(const std::string& name, TfrBandType type, int top, int height, int16_t flags)
    {
        auto view = frCreateObject(gtBand);
        auto* b = static_cast<TfrBandView*>(view.get());
        b->SetBandType(type);
        b->Name = name;
        b->SetBounds(0, top, pageWidth(), height);
        b->Flags = static_cast<int16_t>(kNewBand | flags);
        m_page.Add(std::move(view));
        return b;
    }

    // A memo, added to the page unless `add` is false (its settings are then copied elsewhere).
    std::unique_ptr<TfrMemoView> memo(const std::string& name, int left, int top, int width, int height,
                                      const std::string& text)
    {
        auto m = std::make_unique<TfrMemoView>();
        m->Name = name;
        m->SetBounds(left, top, width, height);
        m->Memo = {text};
        m->FontName = "Arial";
        m->FontSize = 8;
        return m;
    }
    TfrMemoView* add(std::unique_ptr<TfrMemoView> m) { return static_cast<TfrMemoView*>(m_page.Add(std::move(m))); }

    // "[PredName]" at the start of a band.
    void predName(int top)
    {
        add(memo("MemoPredName" + std::to_string(++m_predNames), m_leftPos, top, 200, 16, "[PredName]"));
    }

    // The page width in engine units (the version-2 coordinates).
    int pageWidth() const { return static_cast<int>(m_page.Width / 10.0 * fr01cm); }

private:
    TfrPage& m_page;
    int m_leftPos;
    int m_top = 0;
    int m_maxWidth = 0;
    int m_predNames = 0;
};

// The packed display format of a column's memos and its format text.
void applyFormat(TfrMemoView& m, const TObjField& column)
{
    const TField* field = column.Field;
    if (column.IsNumeric)
        m.Format = (1 << 24) | (4 << 16) | (FormatSettings.CurrencyDecimals << 8) |
                   static_cast<unsigned char>(FormatSettings.DecimalSeparator);
    else if (dynamic_cast<const TDateTimeField*>(field))
        m.Format = (2 << 24) | (4 << 16);
    if (auto* number = dynamic_cast<const TNumericField*>(field); number && !number->DisplayFormat().empty())
        m.FormatStr = number->DisplayFormat();
    if (auto* date = dynamic_cast<const TDateTimeField*>(field); date && !date->DisplayFormat().empty())
        m.FormatStr = date->DisplayFormat();
}

// A font style as the version-2 files keep it: italic 1, bold 2, underline 4, strike-out 8.
int16_t frStyle(TFontStyles style)
{
    return static_cast<int16_t>((style & fsItalic ? 1 : 0) | (style & fsBold ? 2 : 0) |
                                (style & fsUnderline ? 4 : 0) | (style & fsStrikeOut ? 8 : 0));
}

void applyFont(TfrMemoView& m, const TFont& font, TFontStyles extra = 0)
{
    m.FontName = font.Name();
    m.FontSize = font.Size();
    m.FontStyle = frStyle(font.Style() | extra);
    m.FontColor = font.Color() == clWindowText ? clBlack : font.Color();
}

std::string fieldRef(const std::string& dataSet, const std::string& field)
{
    return "[" + dataSet + ".\"" + field + "\"]";
}

} // namespace

bool TPrintWizard::CreateReport()
{
    m_menu.LinkComponents();
    const bool oddTotals = std::any_of(SummReport().begin(), SummReport().end(),
                                       [](const TObjField* e) { return !e->IsNumeric; });
    if (oddTotals &&
        ShowMessageBox("В поле для суммирования занесены весьма неподходящие реквизиты."_w + std::string("\r\n") +
                           "Продолжить??"_w,
                       "!!!!!!!!!!!!", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    generate(*m_menu.Report());
    if (TUserSort* sort = m_menu.USort(); sort && !GroupFields().empty() && sort->DataSet() &&
                                          sort->DataSet()->Active()) {
        sort->DoCurrentSort();
        // The group fields lead, so the groups stay whole whatever the grid was sorted by.
        TSortOrderList order;
        for (const TObjField* g : GroupFields())
            order.Add(g->FieldName, true);
        const TSortOrderList& current = sort->SortOrder();
        for (int i = 0; i < current.Count(); ++i) {
            const std::string key = upperCase(current.Strings(i));
            if (std::none_of(GroupFields().begin(), GroupFields().end(),
                             [&](const TObjField* g) { return upperCase(g->FieldName) == key; }))
                order.Add(current.Strings(i), current.GetAsc(i));
        }
        sort->SetOrder(order);
    }
    m_settings = SaveFormToXML();
    return true;
}

void TPrintWizard::generate(TfrReport& report)
{
    report.Pages.clear();
    TfrPage& page = *report.AddPage();
    Layout l(page, LeftPos);
    const std::string& D = m_dataSetName;

    if (!GroupFields().empty()) {
        std::string comment = "Необходима сортировка по полям: "_w;
        for (const TObjField* g : GroupFields())
            comment += " " + g->VarName + ",";
        comment.back() = ' ';
        report.Comment = comment;
    }
    page.Margins[0] = LeftPos;
    l.SetmTop(52);

    int stripWidth = 0;
    for (const TObjField* e : Print())
        stripWidth += e->FieldWidth;

    l.band("ReportTitle1", btReportTitle, l.mTop(), 60, flStretched | 128);
    l.predName(l.mTop());
    auto title = l.memo("MemoTitle1", LeftPos, l.mTop() + 20, std::max(200, stripWidth), 20, "Заголовок"_w);
    title->FontStyle = frStyle(fsBold);
    title->Alignment = frtaCenter;
    l.add(std::move(title));
    l.SetmTop(l.mTop() + 80);

    std::string S = " ";
    for (const TObjField* t : SummReport())
        S += "[SUM(" + fieldRef(D, t->FieldName) + ", MasterData1, 1)]+";
    S.back() = ' ';
    if (Trim(S).empty())
        S = "0";

    // The page header leaves the first page to the report title; the column header takes the
    // page header's flags.
    const int16_t headerFlags = flStretched;
    l.band("PageHeader1", btPageHeader, l.mTop(), 28, headerFlags)->Flags &= ~flBandOnFirstPage;
    l.predName(l.mTop());
    l.SetmTop(l.mTop() + 36 + 28);

    const int levels = static_cast<int>(GroupFields().size());
    for (int g = 0; g < levels; ++g) {
        const TObjField& field = *GroupFields()[g];
        const bool printed = std::find(Print().begin(), Print().end(), &field) != Print().end();
        int height = 16;
        if (printed) {
            height = 0;
            if (!m_noSumAfterOne && g == levels - 1) {
                l.SetmTop(l.mTop() + 2);
                height = 2;
            }
        }
        TfrBandView* header = l.band("GroupHeader" + std::to_string(g), btGroupHeader, l.mTop(), height, flStretched);
        header->FormatStr = "str([" + field.VarName + "])";
        if (m_rs && g == 0)
            header->Script = {"begin", "  SummaOnGroup := 0; //обнулим сумму по группе в самой старшей группе"_w, "end"};
        if (height > 2) {
            auto m = l.memo("MemoGroup" + std::to_string(g + 1), 16, l.mTop(), std::max(field.FieldWidth, stripWidth),
                            height, std::string(2 * g, ' ') + "[" + field.VarName + "]");
            m->FontStyle = frStyle(fsBold);
            l.add(std::move(m));
        }
        l.SetmTop(l.mTop() + 36 + height);
    }

    const int headerTop = l.mTop();
    l.band("ColumnHeader1", btColumnHeader, headerTop, 40, headerFlags)->Flags &= ~flBandOnFirstPage;
    l.SetmTop(l.mTop() + 30 + 40);

    const int dataTop = l.mTop(), dataHeight = m_sumOnlyGroup ? 0 : 16;
    TfrBandView* data = l.band("MasterData1", btMasterData, dataTop, dataHeight, flStretched);
    if (TfrDBDataSet* master = m_menu.MainDataSet()) {
        const TComponent* form = master->Owner();
        data->FormatStr = (form && !form->Name().empty() ? form->Name() + "." : std::string()) + master->Name();
    }
    l.SetmTop(l.mTop() + 30 + dataHeight);

    int left = LeftPos, n = 0;
    for (const TObjField* column : Print()) {
        ++n;
        auto cell = l.memo("Memo" + std::to_string(n), left, dataTop, column->FieldWidth, dataHeight,
                           "[" + column->VarName + "]");
        cell->FrameTyp = frbAll;
        cell->FrameWidth = 500;
        applyFont(*cell, column->Font);
        cell->Alignment = column->Alignment;
        applyFormat(*cell, *column);
        if (!m_sumOnlyGroup)
            l.add(std::move(cell));
        auto heading = l.memo("MemoH" + std::to_string(n), left, headerTop, column->FieldWidth, 40, column->PrintLabel);
        heading->FrameTyp = frbAll;
        heading->Alignment = 10;
        l.add(std::move(heading));
        left += column->FieldWidth;
        l.SetMaxWidth(left);
    }

    int sums = 0;
    auto sumStep = [&] {
        for (const TObjField* t : SummReport()) {
            const TObjField* column = t;
            for (const TObjField* p : Print())
                if (p->Npp == t->Npp)
                    column = p;
            const int x = ToCalculatePoz(column->Npp);
            auto m = l.memo("MemoSum" + std::to_string(++sums), x, l.mTop(), column->FieldWidth, 16,
                            "[SUM(" + fieldRef(D, column->FieldName) + ",MasterData1,1)]");
            m->Alignment = column->Alignment;
            applyFont(*m, column->Font, fsBold);
            applyFormat(*m, *column);
            l.add(std::move(m));
            l.SetMaxWidth(x + column->FieldWidth);
        }
    };

    for (int g = 0; g < levels; ++g) {
        TfrBandView* footer = l.band("GroupFooter" + std::to_string(g), btGroupFooter, l.mTop(), 16, flStretched);
        std::string v = "visible :=[TRUE]";
        if (!m_noSumAfterOne)
            v += " and ([COUNT(MasterData1)]>1){ПЕЧАТЬ если записи дольше одной}"_w;
        if (m_rs)
            v += " AND ([[SummaOnGroup]<>" + S + "]" + "{ПЕЧАТЬ если сумма по ФУТЕРУ не равна пред ФУТЕРУ}) "_w;
        footer->Script = {"begin", v + ";"};
        if (m_rs)
            footer->Script.push_back(" if visible then SummaOnGroup:=" + S +
                                     ";// если видим, то запоминаем сумму текущего футера "_w);
        footer->Script.push_back("end");
        sumStep();
        l.SetmTop(l.mTop() + 32);
    }

    if (!SummReport().empty()) {
        l.band("ReportSummary1", btReportSummary, l.mTop(), 16, 128 | flStretched);
        auto total = l.memo("MemoItog1", LeftPos, l.mTop(), 50, 16, "Итого:"_w);
        total->FontStyle = frStyle(fsBold);
        l.add(std::move(total));
        sumStep();
        l.SetmTop(l.mTop() + 32);
    }

    const int footerTop = l.mTop();
    l.band("PageFooter1", btPageFooter, footerTop, 16, 0);
    l.SetmTop(l.mTop() + 20 + 16);
    auto date = l.memo("MemoPageLabel1", LeftPos, footerTop, 300, 16, "[Date] [time]");
    date->FontStyle = frStyle(fsItalic);
    l.add(std::move(date));
    auto pages = l.memo("MemoPageLabel2", std::max(LeftPos + 300, l.MaxWidth() - 300), footerTop, 300, 16,
                        "[Page#] / [TOTALPAGES]");
    pages->FontStyle = frStyle(fsItalic);
    pages->Alignment = frtaRight;
    l.add(std::move(pages));

    // Wider than the portrait page (less a 5 mm margin): landscape on the same paper.
    if (page.Width / 10.0 * fr01cm - 5 * fr01cm < l.MaxWidth() && page.Orientation == 0) {
        page.Orientation = 1;
        std::swap(page.Width, page.Height);
    }
}

void TPrintWizard::SaveReport(const std::string& base)
{
    const std::string name = ChangeFileExt(base, "");
    m_menu.Report()->SaveToFile(name + ".frf");
    m_menu.Report()->FileName = name + ".frf";
    if (TUserSort* sort = m_menu.USort()) {
        if (!sort->SortOrder().Empty())
            sort->SaveSortToFile(name + ".srt");
        else if (FileExists(name + ".srt"))
            DeleteFileExcept(name + ".srt");
    }
    StrtoFile(m_settings.empty() ? SaveFormToXML() : m_settings, name + ".wzd.xml");
}

} // namespace lm
