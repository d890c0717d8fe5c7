// TFormulaHighlighter: colours formula text in a Qt editor with the formula tokenizer - field
// references, keywords, strings and comments, comments and strings carried across lines.
#pragma once

#include <QSyntaxHighlighter>

#include "filter/synanyfieldhighlighter.h"

namespace lm {

class TFormulaHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit TFormulaHighlighter(QTextDocument* document);

    // The tokenizer: set its field and keyword lists, then Rehighlight.
    TSynAnyFieldHighlighter& Tokenizer() { return m_tokenizer; }

protected:
    void highlightBlock(const QString& text) override;

private:
    TSynAnyFieldHighlighter m_tokenizer;
};

} // namespace lm
