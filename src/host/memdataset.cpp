// The in-memory dataset: field definitions from FieldDefs or from the fields made beforehand.
#include "host/memdataset.h"

namespace lm {

void TMemDataSet::InternalInitFieldDefs()
{
    if (FieldDefs().Count() > 0)
        return;
    for (int i = 0; i < FieldCount(); ++i) {
        TField* field = Fields(i);
        if (field->FieldKind() != fkData)
            continue;
        TFieldDef& def = FieldDefs().Add(field->FieldName(), field->DataType(), field->Size(), field->Required());
        def.Origin = field->Origin();
    }
}

void TMemDataSet::EmptyDataSet()
{
    Cancel();
    MutableStore().Clear();
    Resync();
}

void TMemDataSet::SortOnFields(const std::string& fieldNames, bool descending)
{
    std::vector<TSortKey> keys;
    for (TField* field : GetFieldList(fieldNames))
        keys.push_back({field, descending});
    SortRecords(keys);
}

} // namespace lm
