// Where a field comes from in its dataset's query: the SQL origin of filter entries and the
// column type that decides how a boolean prints in SQL.
#include "filter/fieldentry.h"

#include "db/fibdataset.h"
#include "host/dataset.h"

namespace lm {

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
    return fib && !field->Lookup() && fib->IsNativeBoolean(field);
}

} // namespace lm
