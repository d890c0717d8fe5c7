// Formula colouring through the tokenizer.
#include "filter/ui/formulahighlighter.h"

#include <QTextCharFormat>

#include "host/ui/qtcolor.h"
#include "util/cp1251.h"

namespace lm {

namespace {

// One byte per QChar, so token positions are character positions; a character outside the
// code page stands as "?", which no token kind treats specially.
std::string blockBytes(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const int byte = detail::cp1251FromUnicode(ch.unicode());
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}

} // namespace

TFormulaHighlighter::TFormulaHighlighter(QTextDocument* document) : QSyntaxHighlighter(document)
{
    m_tokenizer.OnHighlightChange = [this] { rehighlight(); };
}

void TFormulaHighlighter::highlightBlock(const QString& text)
{
    const int previous = previousBlockState();
    m_tokenizer.SetRange(previous < 0 ? rsUnKnown : static_cast<TRangeState>(previous));
    m_tokenizer.SetLine(blockBytes(text), currentBlock().blockNumber());
    const QPalette palette;
    while (!m_tokenizer.GetEol()) {
        if (const TSynHighlighterAttributes* attr = m_tokenizer.GetTokenAttribute()) {
            QTextCharFormat format;
            const QColor fore = ToQColor(attr->Foreground, palette);
            const QColor back = ToQColor(attr->Background, palette);
            if (fore.isValid())
                format.setForeground(fore);
            if (back.isValid())
                format.setBackground(back);
            format.setFontWeight(attr->Style & fsBold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(attr->Style & fsItalic);
            format.setFontUnderline(attr->Style & fsUnderline);
            setFormat(m_tokenizer.GetTokenPos(), static_cast<int>(m_tokenizer.GetToken().size()), format);
        }
        m_tokenizer.Next();
    }
    setCurrentBlockState(m_tokenizer.GetRange());
}

} // namespace lm
