// The locale font for Kazakh fields.
#include "app/ui/translatefonts.h"

#include <QWidget>

#include "host/field.h"
#include "host/ui/qtdbgrid.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

bool listed(const std::string& fields, const std::string& fullName)
{
    return !fullName.empty() && (";" + upperCase(fields) + ";").find(";" + upperCase(fullName) + ";") != std::string::npos;
}

} // namespace

void SetTranslateFonts(QWidget* form, const std::string& locale, const std::string& fields, const std::string& fontName)
{
    if (locale != "KZ" || !form)
        return;
    for (TQtDBGrid* view : form->findChildren<TQtDBGrid*>()) {
        TDBGridColumnsEh& columns = view->Grid()->Columns();
        for (int i = 0; i < columns.Count(); ++i)
            if (const TField* field = columns.Items(i)->Field(); field && listed(fields, field->FullName()))
                columns.Items(i)->Font().SetName(fontName);
        view->Refresh();
    }
    for (QWidget* editor : form->findChildren<QWidget*>()) {
        const QVariant name = editor->property(kFieldNameProperty);
        if (!name.isValid() || !listed(fields, FromQString(name.toString()).value_or(std::string())))
            continue;
        QFont font = editor->font();
        font.setFamily(ToQString(fontName));
        editor->setFont(font);
    }
}

} // namespace lm
