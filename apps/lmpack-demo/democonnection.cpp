// The demo database's place, first-start creation and connection.
#include "democonnection.h"

#include <cstdlib>
#include <filesystem>

#include "app/globals.h"
#include "db/demodb.h"
#include "forms/progressbox.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace fs = std::filesystem;

TDemoConnection::TDemoConnection()
{
    m_read.SetDefaultDatabase(&m_db);
    m_read.SetKind(TFIBTransaction::tkReadOnly);
    m_write.SetDefaultDatabase(&m_db);
}

TDemoConnection::~TDemoConnection()
{
    if (glVars && glVars->Database == &m_db) {
        glVars->Database = nullptr;
        glVars->ReadTransaction = nullptr;
        glVars->WriteTransaction = nullptr;
    }
}

std::string TDemoConnection::DataDir()
{
    fs::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".local" / "share";
    else
        base = fs::temp_directory_path();
    const fs::path dir = base / "lmpack-demo";
    fs::create_directories(dir);
    return dir.string() + "/";
}

std::string TDemoConnection::DefaultDatabaseName()
{
    return DataDir() + "demo.fdb";
}

bool TDemoConnection::IsServerName(const std::string& name)
{
    // "host:path" or "host/port:path"; "/a:b", "./a:b" and "dir/a:b" are file names
    const auto colon = name.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    const std::string host = name.substr(0, colon);
    if (host[0] == '.' || host.find('\\') != std::string::npos)
        return false;
    const auto slash = host.find('/');
    if (slash == std::string::npos)
        return true;
    const std::string port = host.substr(slash + 1);
    return slash > 0 && !port.empty() && port.find_first_not_of("0123456789") == std::string::npos;
}

void TDemoConnection::Open(const std::string& name, int goodsCount)
{
    m_name = name;
    if (!IsServerName(name) && !fs::exists(name)) {
        const fs::path parent = fs::path(name).parent_path();
        if (!parent.empty())
            fs::create_directories(parent);
        TProgressBox box;
        box.SetCaption("Первый запуск"_w);
        box.SetAbortBtn(false);
        box.Show(1);
        box.SetNote("Создание демонстрационной базы данных..."_w);
        CreateDemoDatabase(name, goodsCount);
        box.Step();
        box.Close();
        m_created = true;
    }
    m_db.SetDatabaseName(name);
    m_db.Open();
    if (glVars) {
        glVars->Database = &m_db;
        glVars->ReadTransaction = &m_read;
        glVars->WriteTransaction = &m_write;
    }
}

} // namespace lm
