// Design metrics of a form and the save guard.
#include "forms/developinfo.h"

#include "util/exceptions.h"

namespace lm {

TDevelopInfo::TDevelopInfo(std::string ownerClass) : m_ownerClass(std::move(ownerClass)) {}

void TDevelopInfo::SetDefault()
{
    m_pixelsPerInch = kDesignPixelsPerInch;
    m_textHeight = kDesignTextHeight;
}

void TDevelopInfo::Read(const TDevelopMetrics& stored)
{
    SetDefault();
    if (stored.FormClass != m_ownerClass)
        return;
    m_pixelsPerInch = stored.DevPixelsPerInch;
    m_textHeight = stored.DevTextHeight;
}

TDevelopMetrics TDevelopInfo::Write(int curTextHeight, int curPixelsPerInch) const
{
    return {curPixelsPerInch, curTextHeight, m_ownerClass};
}

void TDevelopInfo::CheckSavePermission(bool designing, bool loading, int curPixelsPerInch) const
{
    if (!designing || loading || m_savePermission || curPixelsPerInch == m_pixelsPerInch)
        return;
    throw Exception(Format("Form %s . NewPixelsPerInch<>OldPixelsPerInch - Need SavePermission!", {m_ownerClass}));
}

} // namespace lm
