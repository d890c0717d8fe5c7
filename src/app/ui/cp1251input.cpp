// Typed text kept within the code page.
#include "app/ui/cp1251input.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/lmtranslate.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

bool kazakhLocale()
{
    try {
        return TranslateLocale() == "KZ";
    } catch (const Exception&) {
        return false;  // no database to ask: no translation
    }
}

// The private code point that ReTranslate turns into `ch` (a character outside the code page), or 0.
char kazakhByte(QChar ch)
{
    for (int b = 0x80; b < 0x100; ++b) {
        const std::u16string u = ReTranslate(Variant(std::string(1, static_cast<char>(b))), "KZ");
        if (u.size() == 1 && u[0] == ch.unicode())
            return static_cast<char>(b);
    }
    return 0;
}

void insertText(QObject* editor, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->insert(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(editor))
        plain->insertPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(editor))
        rich->insertPlainText(text);
}

} // namespace

std::optional<std::string> TypedToCp1251(const QString& typed)
{
    std::string out;
    for (const QChar ch : typed) {
        if (const std::optional<std::string> own = FromQString(QString(ch))) {
            out += *own;
            continue;
        }
        const char kz = kazakhLocale() ? kazakhByte(ch) : 0;
        if (!kz)
            return std::nullopt;
        out.push_back(kz);
    }
    return out;
}

TCp1251Input::TCp1251Input(QWidget* editor) : QObject(editor)
{
    editor->installEventFilter(this);
}

TCp1251Input* TCp1251Input::Install(QWidget* editor)
{
    return new TCp1251Input(editor);
}

bool TCp1251Input::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() || FitsCp1251(typed))
        return false;
    if (const std::optional<std::string> text = TypedToCp1251(typed))
        insertText(watched, ToQString(*text));
    return true;  // what the code page cannot hold is not typed at all
}

} // namespace lm
