// The dataset-filled checked combo and its key lists.
#include "controls/checkcombodb.h"

#include <algorithm>

#include "host/dataset.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// The words of `text` between separators, blanks around them dropped.
std::vector<std::string> wordsOf(const std::string& text, char sep)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = text.find(sep, pos);
        out.push_back(Trim(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos)));
        if (end == std::string::npos)
            return out;
        pos = end + 1;
    }
}

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += c;
    }
    return out + "'";
}

} // namespace

void TCheckedComboDB::FillItems(bool keepChecked)
{
    if (!DataSet)
        return;
    if (KeyField.empty())
        throw Exception(std::string(ClassName) + ": KeyField is not set");
    if (ResultField.empty())
        throw Exception(std::string(ClassName) + ": ResultField is not set");
    std::vector<long long> checked;
    for (const Item_& it : items())
        if (it.Checked)
            checked.push_back(it.Key);
    items().clear();
    if (!DataSet->Active())
        DataSet->Open();
    TField* key = DataSet->FieldByName(KeyField);
    TField* result = DataSet->FieldByName(ResultField);
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
        const long long k = key->AsLargeInt();
        const bool wasChecked = keepChecked && std::find(checked.begin(), checked.end(), k) != checked.end();
        items().push_back({result->Text(), wasChecked, k});
    }
    sortItems();
    checksChanged();
}

std::string TCheckedComboDB::CheckedKeys() const
{
    if (!AllKey.empty() && AllChecked())
        return AllKey;
    std::string out;
    for (const Item_& it : items())
        if (it.Checked) {
            if (!out.empty())
                out += KeySeparator;
            out += IntToStr(it.Key);
        }
    return out;
}

void TCheckedComboDB::SetCheckedKeys(const std::string& keys)
{
    if (Count() == 0 && DataSet && !keys.empty())
        FillItems(false);
    const std::vector<std::string> words = wordsOf(keys, KeySeparator);
    for (Item_& it : items()) {
        if (keys.empty())
            it.Checked = false;
        else if (!AllKey.empty() && keys == AllKey)
            it.Checked = true;
        else
            it.Checked = std::find(words.begin(), words.end(), IntToStr(it.Key)) != words.end();
    }
    checksChanged();
}

std::string TCheckedComboDB::CheckedKeysName() const
{
    std::string out;
    for (const Item_& it : items())
        if (it.Checked) {
            if (!out.empty())
                out += KeySeparator;
            out += quoted(it.Text);
        }
    return out;
}

long long TCheckedComboDB::GetCheckedKey(int i) const
{
    int n = i;
    for (const Item_& it : items())
        if (it.Checked && n-- == 0)
            return it.Key;
    throw Exception(Format("List index out of bounds (%d)", {i}));
}

} // namespace lm
