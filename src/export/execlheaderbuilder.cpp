// The title block: splitting titles into levels and merging equal neighbours.
#include "export/execlheaderbuilder.h"

#include <algorithm>
#include <new>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/lmstrutils.h"
#include "util/strings.h"

namespace lm {

TExeclHeaderBuilder::TExeclHeaderBuilder(std::shared_ptr<IExcelDocument> document, bool multi)
    : m_document(std::move(document)), m_multi(multi)
{
    if (!m_document)
        throw Exception(Format("[%s] Не передан интерфейс документа для добавления заголовка"_w, {"TExeclHeaderBuilder"}));
}

void TExeclHeaderBuilder::SetListOfTitles(const TStrings& list)
{
    m_colCount = list.Count();
    m_levels = 0;
    for (int i = 0; i < m_colCount; ++i)
        m_levels = std::max(m_levels, SeparateQuantity(list.Strings(i), "|") + 1);
    m_titles.clear();
    try {
        m_titles.assign(static_cast<size_t>(m_colCount), std::vector<std::string>(static_cast<size_t>(m_levels)));
    } catch (const std::bad_alloc&) {
        m_titles.clear();
        throw Exception("Не удалось создать массив заголовка!"_w);
    }
    for (int c = 0; c < m_colCount; ++c) {
        std::string rest = list.Strings(c);
        for (int level = 0; level < m_levels; ++level) {
            const size_t bar = rest.find('|');
            std::string& cell = m_titles[static_cast<size_t>(c)][static_cast<size_t>(level)];
            if (bar == std::string::npos) {
                cell = rest;
            } else {
                cell = rest.substr(0, bar);
                rest.erase(0, bar + 1);
            }
        }
    }
}

int TExeclHeaderBuilder::GetRowCount() const { return m_multi ? m_levels : 1; }

void TExeclHeaderBuilder::Build()
{
    if (m_multi)
        BuildMulti();
    else
        BuildSimple();
    const std::shared_ptr<IRange> block = m_document->GetRange(0, 0, static_cast<unsigned>(m_colCount - 1),
                                                               static_cast<unsigned>(GetRowCount() - 1));
    block->SetFontBold(true);
    block->SetAlligment(eaCenter, eaCenter);
    block->SetWrapText(true);
}

void TExeclHeaderBuilder::BuildSimple()
{
    for (int c = 0; c < m_colCount; ++c) {
        const std::vector<std::string>& levels = m_titles[static_cast<size_t>(c)];
        std::string text = levels.empty() ? std::string() : levels[0];
        for (size_t j = 1; j < levels.size(); ++j)
            if (levels[j] != levels[j - 1])
                text = Format("%s%s%s", {text, "\r\n", levels[j]});
        m_document->GetRange(static_cast<unsigned>(c), 0, static_cast<unsigned>(c), 0)->SetCaption(text);
    }
}

void TExeclHeaderBuilder::mergeWithCaption(int col1, int row1, int col2, int row2, const std::string& caption)
{
    const std::shared_ptr<IRange> range = m_document->GetRange(static_cast<unsigned>(col1), static_cast<unsigned>(row1),
                                                               static_cast<unsigned>(col2), static_cast<unsigned>(row2));
    range->Merge();
    range->SetCaption(caption);
}

void TExeclHeaderBuilder::BuildMulti()
{
    // Equal levels of one column join vertically.
    for (int c = 0; c < m_colCount; ++c) {
        const std::vector<std::string>& t = m_titles[static_cast<size_t>(c)];
        int start = 0;
        for (int j = 1; j < m_levels; ++j)
            if (t[static_cast<size_t>(j)] != t[static_cast<size_t>(start)]) {
                if (j - start >= 2)
                    mergeWithCaption(c, start, c, j - 1, t[static_cast<size_t>(start)]);
                start = j;
            }
        if (m_levels - start >= 2)
            mergeWithCaption(c, start, c, m_levels - 1, t[static_cast<size_t>(start)]);
    }
    // Equal neighbours of one level join horizontally.
    for (int level = 0; level < m_levels; ++level) {
        auto text = [&](int c) -> const std::string& { return m_titles[static_cast<size_t>(c)][static_cast<size_t>(level)]; };
        int start = 0;
        for (int c = 1; c < m_colCount; ++c)
            if (text(c) != text(start)) {
                if (c - start >= 2)
                    mergeWithCaption(start, level, c - 1, level, text(start));
                else
                    m_document->GetRange(static_cast<unsigned>(start), static_cast<unsigned>(level), static_cast<unsigned>(start),
                                         static_cast<unsigned>(level))->SetCaption(text(start));
                start = c;
            }
        if (m_colCount > 0)
            mergeWithCaption(start, level, m_colCount - 1, level, text(start));
    }
}

} // namespace lm
