// The data-aware check box: reading the state from the field and writing it back.
#include "controls/dbcheckboxlm.h"

#include "util/qstr.h"

namespace lm {

namespace {

// Whether `text` equals, ignoring case, one of the ";"-separated alternatives.
bool matchesAny(const std::string& text, const std::string& alternatives)
{
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = alternatives.find(';', pos);
        if (Q_SameText(text, alternatives.substr(pos, end == std::string::npos ? std::string::npos : end - pos)))
            return true;
        if (end == std::string::npos)
            return false;
        pos = end + 1;
    }
}

std::string firstOf(const std::string& alternatives) { return alternatives.substr(0, alternatives.find(';')); }

} // namespace

TDBCheckBoxLM::TDBCheckBoxLM()
{
    m_link.OnDataChange = [this] { dataChange(); };
    m_link.OnUpdateData = [this] { updateData(); };
}

TCheckBoxState TDBCheckBoxLM::fieldState() const
{
    const TField* f = Field();
    if (!f)
        return cbUnchecked;
    if (f->IsNull())
        return cbGrayed;
    if (f->DataType() == ftBoolean)
        return f->AsBoolean() ? cbChecked : cbUnchecked;
    const std::string text = f->Text();
    if (matchesAny(text, ValueChecked))
        return cbChecked;
    if (matchesAny(text, ValueUnchecked))
        return cbUnchecked;
    return cbGrayed;
}

void TDBCheckBoxLM::setState(TCheckBoxState state)
{
    m_state = state;
    if (OnStateChange)
        OnStateChange(this);
}

void TDBCheckBoxLM::updateData()
{
    TField* f = Field();
    if (!f)
        return;
    if (m_state == cbGrayed)
        f->Clear();
    else if (f->DataType() == ftBoolean)
        f->SetAsBoolean(m_state == cbChecked);
    else
        f->SetText(firstOf(m_state == cbChecked ? ValueChecked : ValueUnchecked));
}

void TDBCheckBoxLM::Toggle()
{
    if (!Field() || !m_link.Edit())
        return;
    switch (m_state) {
    case cbUnchecked: setState(AllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: setState(cbUnchecked); break;
    case cbGrayed: setState(cbChecked); break;
    }
    m_link.Modified();
    if (!UpdateOnExit) {
        m_link.UpdateRecord();
        dataChange();
    }
}

} // namespace lm
