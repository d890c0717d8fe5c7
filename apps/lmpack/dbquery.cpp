// The shared database options and session of the data commands.
#include "dbquery.h"

#include "command.h"
#include "util/cp1251.h"

namespace lmcli {

bool DbQueryArgs::take(const std::vector<std::string>& args, std::size_t& i, bool& bad)
{
    const std::string& a = args[i];
    if (a != "--db" && a != "--query" && a != "--label")
        return false;
    if (i + 1 >= args.size()) {
        bad = true;
        return true;
    }
    const std::string value = args[++i];
    if (a == "--db") {
        db = value;
    } else if (a == "--query") {
        query = textArg(value, "--query");
    } else {
        const std::string label = textArg(value, "--label");
        const std::size_t eq = label.find('=');
        if (eq == std::string::npos || eq == 0)
            bad = true;
        else
            labels.emplace_back(label.substr(0, eq), label.substr(eq + 1));
    }
    return true;
}

DbSession::DbSession(const DbQueryArgs& args, bool open, lm::TComponent* owner)
    : m_own(owner ? nullptr : std::make_unique<lm::TpFIBDataSet>()),
      m_ds(owner ? new lm::TpFIBDataSet(owner) : m_own.get())
{
    m_db.SetDatabaseName(args.db);
    m_db.Open();
    m_tr.SetDefaultDatabase(&m_db);
    m_tr.SetKind(lm::TFIBTransaction::tkReadOnly);
    m_ds->SetDatabase(&m_db);
    m_ds->SetTransaction(&m_tr);
    m_ds->SetSelectSQL(args.query);
    if (open)
        m_ds->Open();
    else
        m_ds->Prepare();
    for (const auto& [name, label] : args.labels)
        m_ds->FieldByName(name)->SetDisplayLabel(label);
}

std::string toTerminal(const std::string& text) { return lm::cp1251ToUtf8(text); }

std::string displayRow(const std::vector<lm::TField*>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += '\t';
        line += fields[i]->DisplayText();
    }
    return line;
}

} // namespace lmcli
