// Where a field comes from in its dataset's query: the SQL origin of filter entries and the
// column type that decides how a boolean prints in SQL.
#include "filter/fieldentry.h"

#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibquery.h"
#include "db/fibsqltext.h"
#include "db/fibtransaction.h"
#include "host/dataset.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// Splits "ALIAS.COLUMN" (either part possibly a quoted identifier with doubled quotes) into its
// two unquoted names; false when the text has another shape.
bool splitQualified(const std::string& text, std::string& alias, std::string& column)
{
    std::string parts[2];
    size_t i = 0;
    for (int part = 0; part < 2; ++part) {
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        parts[part] += '"';
                        ++i;
                    } else {
                        break;
                    }
                } else {
                    parts[part] += text[i];
                }
            }
            if (i >= text.size())
                return false;
            ++i;
        } else {
            while (i < text.size() && text[i] != '.')
                parts[part] += text[i++];
        }
        if (part == 0) {
            if (i >= text.size() || text[i] != '.')
                return false;
            ++i;
        }
    }
    alias = parts[0];
    column = parts[1];
    return i == text.size() && !alias.empty() && !column.empty();
}

} // namespace

std::string SQLOrigin(TField* field)
{
    std::string origin = field->Origin();
    if (field->FieldKind() != fkData && field->FieldKind() != fkLookup)
        return origin;
    if (!origin.empty())
        return origin[0] >= '0' && origin[0] <= '9' ? std::string() : origin;
    auto* fib = dynamic_cast<TpFIBDataSet*>(field->DataSet());
    if (!fib)
        return {};
    if (!fib->Active() && !fib->Prepared())
        fib->Prepare();
    TField* source = field->Lookup() ? fib->FBN(field->KeyFields()) : field;
    origin = fib->GetFieldOriginAlias(source);
    if (!origin.empty() && origin[0] == '.')
        origin.clear();
    return origin;
}

bool IsNativeBooleanColumn(TField* field)
{
    auto* fib = dynamic_cast<TpFIBDataSet*>(field->DataSet());
    if (!fib || field->Lookup())
        return false;
    TFIBTransaction* transaction = fib->Transaction();
    TFIBDatabase* database = fib->Database() ? fib->Database() : (transaction ? transaction->DefaultDatabase() : nullptr);
    if (!database || !transaction || !database->Connected())
        return false;
    std::string alias, column;
    if (!splitQualified(fib->GetFieldOriginAlias(field), alias, column))
        return false;
    std::string relation = alias;
    for (const fib::FromTable& t : fib::fromTables(fib->SelectSQL()))
        if (t.alias == alias)
            relation = t.relation;

    // RDB$FIELD_TYPE 23 is BOOLEAN (a SMALLINT column of a boolean domain is 7).
    try {
        TpFIBQuery query;
        query.SetDatabase(database);
        query.SetTransaction(transaction);
        query.SetOptions(TpFIBQuery::qoStartTransaction);
        query.SetSQL("select f.RDB$FIELD_TYPE from RDB$RELATION_FIELDS rf "
                     "join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                     "where rf.RDB$RELATION_NAME = ? and rf.RDB$FIELD_NAME = ?");
        query.ExecWP({Variant(relation), Variant(column)});
        const bool native = !query.Eof() && query.Fields(0).AsInteger() == 23;
        query.Close();
        return native;
    } catch (const Exception&) {
        // Metadata we may not read: keep the 1/0 form.
        return false;
    }
}

} // namespace lm
