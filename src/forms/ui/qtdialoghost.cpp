// Message boxes and file dialogs in Qt widgets.
#include "forms/ui/qtdialoghost.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/hooks.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

struct ButtonSpec {
    int result;
    const char* caption;
};

// The buttons of a MessageBox flag set, left to right, with their Russian captions.
std::vector<ButtonSpec> buttonsOf(int flags)
{
    static const char* const ok = "OK";
    static const std::string cancel = "Отмена"_w, yes = "Да"_w, no = "Нет"_w, abort = "Прервать"_w,
                             retry = "Повтор"_w, ignore = "Пропустить"_w;
    switch (flags & 0xF) {
    case MB_OKCANCEL: return {{IDOK, ok}, {IDCANCEL, cancel.c_str()}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, abort.c_str()}, {IDRETRY, retry.c_str()}, {IDIGNORE, ignore.c_str()}};
    case MB_YESNOCANCEL: return {{IDYES, yes.c_str()}, {IDNO, no.c_str()}, {IDCANCEL, cancel.c_str()}};
    case MB_YESNO: return {{IDYES, yes.c_str()}, {IDNO, no.c_str()}};
    case MB_RETRYCANCEL: return {{IDRETRY, retry.c_str()}, {IDCANCEL, cancel.c_str()}};
    default: return {{IDOK, ok}};
    }
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The answer of Escape (and of closing the box): Cancel, else No, else Abort, else the only button.
int escapeResult(const std::vector<ButtonSpec>& buttons)
{
    for (int wanted : {IDCANCEL, IDNO, IDABORT})
        for (const ButtonSpec& b : buttons)
            if (b.result == wanted)
                return wanted;
    return buttons.front().result;
}

int showQtMessageBox(const std::string& text, const std::string& caption, int flags)
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName("MessageBox");
    box.setIcon(iconOf(flags));
    box.setWindowTitle(caption.empty() ? QApplication::applicationDisplayName() : ToQString(caption));
    box.setText(ToQString(text));
    const std::vector<ButtonSpec> specs = buttonsOf(flags);
    const int defaultIndex = flags & MB_DEFBUTTON3 ? 2 : flags & MB_DEFBUTTON2 ? 1 : 0;
    const int escape = escapeResult(specs);
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (size_t i = 0; i < specs.size(); ++i) {
        QPushButton* button = box.addButton(ToQString(specs[i].caption), QMessageBox::ActionRole);
        button->setObjectName(QStringLiteral("btn%1").arg(specs[i].result));
        made.emplace_back(button, specs[i].result);
        if (static_cast<int>(i) == std::min(defaultIndex, static_cast<int>(specs.size()) - 1))
            box.setDefaultButton(button);
        if (specs[i].result == escape)
            box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, result] : made)
        if (box.clickedButton() == button)
            return result;
    return escape;
}

// "Text|*.a;*.b|Other|*.c" as Qt's "Text (*.a *.b);;Other (*.c)".
QString qtFilter(const std::string& filter)
{
    const QStringList parts = ToQString(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return out.join(";;");
}

bool showQtFileDialog(TFileDialogRequest& request)
{
    const QString caption = ToQString(request.Caption);
    const QString proposal = QString::fromStdString(request.FileName);
    const QString filter = qtFilter(request.Filter);
    QWidget* parent = QApplication::activeWindow();
    const QString chosen = request.Kind == fdSave ? QFileDialog::getSaveFileName(parent, caption, proposal, filter)
                                                  : QFileDialog::getOpenFileName(parent, caption, proposal, filter);
    if (chosen.isEmpty())
        return false;
    request.FileName = chosen.toStdString();
    return true;
}

} // namespace

bool RunShowingErrors(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const Exception& e) {
        ShowMessageBox(e.Message(), std::string(), MB_OK | MB_ICONERROR);
        return false;
    }
}

void InstallQtDialogHost()
{
    SetMessageBoxHook(showQtMessageBox);
    SetFileDialogHook(showQtFileDialog);
}

} // namespace lm
