// The version-3 report object: pages, datasets, loading through the version-2 hook.
#include "report/frxreport.h"

#include <algorithm>

#include "report/frdbdataset.h"
#include "report/fr3format.h"
#include "util/cp1251.h"
#include "util/strs_files.h"

namespace lm {

TfrxReport::TfrxReport(TComponent* owner) : TComponent(owner), TfrxComponent("TfrxReport") {}

TfrxReport::~TfrxReport() = default;

void TfrxReport::SetName(const std::string& name)
{
    TComponent::SetName(name);
    TfrxComponent::SetName(name);
}

std::vector<TfrxPage*> TfrxReport::Pages() const
{
    std::vector<TfrxPage*> pages;
    for (int i = 0; i < Count(); ++i)
        if (auto* p = dynamic_cast<TfrxPage*>(Objects(i)))
            pages.push_back(p);
    return pages;
}

void TfrxReport::Clear()
{
    ClearObjects();
    const std::string name = Name();
    while (!Props().empty())
        RemoveProp(std::string(Props().front().Name));
    if (!name.empty())
        TfrxComponent::SetName(name);
    ScriptText.clear();
    Variables.clear();
    Content.clear();
}

void TfrxReport::AddDataSet(TfrxDBDataset* dataSet)
{
    if (!dataSet || std::find(m_dataSets.begin(), m_dataSets.end(), dataSet) != m_dataSets.end())
        return;
    m_dataSets.push_back(dataSet);
    FreeNotification(dataSet);
}

std::vector<TfrxDBDataset*> TfrxReport::DataSets() const
{
    std::vector<TfrxDBDataset*> out = m_dataSets;
    if (TComponent* owner = Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto* ds = dynamic_cast<TfrxDBDataset*>(owner->Components(i)))
                if (std::find(out.begin(), out.end(), ds) == out.end())
                    out.push_back(ds);
    return out;
}

TfrxDBDataset* TfrxReport::GetDataset(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (TfrxDBDataset* ds : DataSets())
        if (upperCase(ds->UserName()) == key)
            return ds;
    return nullptr;
}

void TfrxReport::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove)
        std::erase_if(m_dataSets, [&](TfrxDBDataset* d) { return static_cast<TComponent*>(d) == component; });
}

void TfrxReport::LoadFromStream(const std::string& data)
{
    Clear();
    TfrxFR2Events& hook = frxFR2Events();
    if (hook.OnLoad && hook.OnLoad(*this, data))
        return;
    try {
        LoadFr3(*this, data);
    } catch (...) {
        Clear();
        throw;
    }
}

void TfrxReport::LoadFromFile(const std::string& fileName)
{
    LoadFromStream(FileToStr(fileName));
    FileName = fileName;
}

std::string TfrxReport::SaveToString() const
{
    return SaveFr3(*this);
}

void TfrxReport::SaveToFile(const std::string& fileName) const
{
    StrtoFile(SaveToString(), fileName);
}

std::vector<TfrxVariable>& frxGlobalVariables()
{
    static std::vector<TfrxVariable> variables;
    return variables;
}

bool TfrxReport::SameAs(const TfrxReport& other) const
{
    return ScriptText == other.ScriptText && Variables == other.Variables && TfrxComponent::SameAs(other);
}

} // namespace lm
