// TCp1251Input: keeps typed characters that Windows-1251 cannot hold out of a text editor, and
// turns Kazakh letters typed under the "KZ" locale into the private code points that the
// locale font draws as those letters.
#pragma once

#include <optional>
#include <string>

#include <QObject>

class QWidget;

namespace lm {

// The Windows-1251 text for typed text: its own bytes; for a character outside the code page,
// under the "KZ" locale, the private code point of that Kazakh letter; nullopt when a
// character has neither.
std::optional<std::string> TypedToCp1251(const QString& typed);

class TCp1251Input : public QObject {
    Q_OBJECT

public:
    // Filters the key presses of `editor` (a QLineEdit, QPlainTextEdit or QTextEdit); owned by it.
    static TCp1251Input* Install(QWidget* editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TCp1251Input(QWidget* editor);
};

} // namespace lm
