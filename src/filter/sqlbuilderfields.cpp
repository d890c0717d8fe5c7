// TSQLBuilder::CreateDataSetFields: labels, formats and lookup fields of the result dataset.
#include "filter/sqlbuilder.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm::sqlbuilder {

namespace {

TDataSet* findLookupDataSet(const TSQLBuilder& builder, const TFieldItem& f)
{
    if (f.LookupDataSet)
        return f.LookupDataSet;
    for (TComponent* owner = builder.Owner(); owner; owner = owner->Owner())
        if (auto* ds = dynamic_cast<TDataSet*>(owner->FindComponent(f.LookupDataSetName)))
            return ds;
    throw Exception("Не указано свойство LookupDataSet"_w);
}

} // namespace

void TSQLBuilder::CreateDataSetFields(TDataSet* DataSet)
{
    for (int i = m_active.Count() - 1; i >= 0; --i) {
        const TFieldItem& f = *m_active.Items(i);
        TField* field = DataSet->FieldByName(f.FieldName());
        if (f.Kind == fikLookup) {
            field->SetVisible(false);
            TDataSet* lookup = findLookupDataSet(*this, f);
            if (!lookup->Active())
                lookup->Open();
            TField* result = lookup->FieldByName(f.LookupResultField);
            TField* name = CreateField(result->DataType(), DataSet);
            name->SetFieldName(f.FieldName() + "_Name");
            name->SetSize(result->Size());
            name->SetFieldKind(fkLookup);
            name->SetKeyFields(f.FieldName());
            name->SetLookupDataSet(lookup);
            name->SetLookupKeyFields(f.LookupKeyField);
            name->SetLookupResultField(f.LookupResultField);
            name->SetLookupCache(true);
            const int position = field->Index();
            name->SetDataSet(DataSet);
            name->SetIndex(position);
            field = name;
        } else if (auto* numeric = dynamic_cast<TNumericField*>(field)) {
            numeric->SetDisplayFormat(f.DisplayFormat);
        }
        const std::string label = f.DisplayLabel.empty() ? f.FieldName() : f.DisplayLabel;
        field->SetDisplayLabel(f.DisplayCategory && !f.Category.empty() ? f.Category + "|" + label : label);
    }
}

} // namespace lm::sqlbuilder
