// TSQLBuilder's report files: the state of a user's choice saved as component text in the
// program's "CustomReports" folder, and the list of saved reports.
#include <algorithm>

#include "app/globals.h"
#include "filter/sqlbuilder.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"
#include "util/fastlist.h"
#include "util/filefunc.h"

namespace lm::sqlbuilder {

namespace {

bool isReportName(const std::string& fileName)
{
    return fileName.size() >= 4 && upperCase(fileName.substr(fileName.size() - 4)) == ".RPT";
}

std::string readFile(const std::string& fileName)
{
    TFastList text;
    text.LoadFromFile(fileName);
    return text.Text();
}

} // namespace

std::unique_ptr<TSQLBuilderState> TSQLBuilder::BackupState() const
{
    auto state = std::make_unique<TSQLBuilderState>();
    for (int i = 0; i < m_active.Count(); ++i)
        state->Fields.AddCopy(*m_active.Items(i));
    state->UserData = m_userData;
    return state;
}

void TSQLBuilder::RestoreState(const TSQLBuilderState& State)
{
    m_active.Clear();
    for (int i = 0; i < State.Fields.Count(); ++i) {
        const TFieldItem* stored = State.Fields.Items(i);
        const TFieldItem* field = m_fields.FindByName(stored->FieldName());
        if (!field)
            continue;
        TFieldItem* active = AddToActive(*field);
        active->DateDetail = stored->DateDetail;
        active->SortKind = stored->SortKind;
        active->SetFilters(stored->Filters());
    }
    m_userData = State.UserData;
}

void TSQLBuilder::SaveReport(const std::string& FileName)
{
    const std::unique_ptr<TSQLBuilderState> state = BackupState();
    TFastList text;
    text.SetText(WriteDfmText(StateToDfm(*state)));
    text.SaveToFile(FileName);
    if (isReportName(FileName))
        m_reportFileName = FileName;
}

void TSQLBuilder::LoadReport(const std::string& FileName)
{
    TSQLBuilderState state;
    state.UserData = m_userData;
    try {
        StateFromDfm(ReadDfmText(readFile(FileName)), state);
    } catch (const Exception& e) {
        throw Exception("Ошибка загрузки отчета \""_w + FileName + "\" :\r\n" + e.Message());
    }
    RestoreState(state);
    if (isReportName(FileName))
        m_reportFileName = FileName;
}

std::string TSQLBuilder::FullDir() const
{
    std::string dir = (glVars ? glVars->ExeDir : ProgramDir()) + "CustomReports";
    if (!m_directory.empty()) {
        if (m_directory[0] != '/' && m_directory[0] != '\\')
            dir += '/';
        dir += m_directory;
    }
    if (dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    return dir;
}

void TSQLBuilder::UpdateReportList()
{
    m_reportList.clear();
    const std::string dir = FullDir();
    ForceDirectories(dir);
    std::vector<std::string> names;
    CreateFileList(dir, "*.rpt", names);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        m_reportList.push_back(dir + name);
}

} // namespace lm::sqlbuilder
