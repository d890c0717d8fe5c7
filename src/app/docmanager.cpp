// The document manager and the base document module.
#include "app/docmanager.h"

#include <cxxabi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <typeinfo>

#include "app/globals.h"
#include "app/hooks.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// `name` without the namespace and enclosing-class qualifiers of each name in it, template
// arguments included: "app::TListModule<app::TInvoice>" gives "TListModule<TInvoice>".
std::string withoutQualifiers(std::string name)
{
    for (const std::string anonymous = "(anonymous namespace)::";;) {
        const auto p = name.find(anonymous);
        if (p == std::string::npos)
            break;
        name.erase(p, anonymous.size());
    }
    std::string out;
    std::size_t segment = 0;  // where the name being copied starts in `out`
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ':' && i + 1 < name.size() && name[i + 1] == ':') {
            out.erase(segment);
            ++i;
            continue;
        }
        out += c;
        const bool nameChar = std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        if (!nameChar)
            segment = out.size();
    }
    return out;
}

// The class name of a component as the messages show it: the name the host wrote, without
// the namespaces it lives in.
std::string className(const TComponent& c)
{
    const char* mangled = typeid(c).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    return withoutQualifiers(name);
}

TDocManager* g_manager = nullptr;
std::unique_ptr<TDocManager> g_ownedManager;  // when there is no application object to own it

} // namespace

void TDocModule::notImplemented(const char* method) const
{
    throw Exception(Format("TDocModule: Метод %s не реализован в классе %s (DocType=%d)"_w,
                           {method, className(*this), m_docType}));
}

void TDocModule::ShowDocList() { notImplemented("ShowDocList"); }
int TDocModule::NewDoc(Variant&) { notImplemented("NewDoc"); }
int TDocModule::EditDoc(Currency, int) { notImplemented("EditDoc"); }
void TDocModule::DeleteDoc(Currency) { notImplemented("DeleteDoc"); }
void TDocModule::UpdateDocList(int, Currency, TUpdateKind, TDataSet*) { notImplemented("UpdateDocList"); }

TDocManager::~TDocManager()
{
    if (g_manager == this)
        g_manager = nullptr;
}

TDocModule* TDocManager::FindDocModule(int DocType) const
{
    for (TDocModule* m : m_modules)
        if (m->DocType() == DocType)
            return m;
    return nullptr;
}

TDocModule* TDocManager::GetDocModule(int DocType) const
{
    TDocModule* m = FindDocModule(DocType);
    if (!m)
        throw Exception(Format("TDocManager.GetDocModule: Тип документа %d не зарегистрирован!"_w, {DocType}));
    return m;
}

int TDocManager::NewDoc(int DocType, Variant& Params) { return GetDocModule(DocType)->NewDoc(Params); }

void TDocManager::DeleteDoc(int DocType, Currency DocID) { GetDocModule(DocType)->DeleteDoc(DocID); }

int TDocManager::EditDoc(int DocType, Currency DocID, int Mode) { return GetDocModule(DocType)->EditDoc(DocID, Mode); }

void TDocManager::ShowDocList(int DocType) { GetDocModule(DocType)->ShowDocList(); }

void TDocManager::UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet)
{
    // Copies: a handler may register or destroy modules and listeners while we walk.
    for (TDocModule* m : std::vector<TDocModule*>(m_modules))
        if (std::find(m_modules.begin(), m_modules.end(), m) != m_modules.end())
            m->UpdateDocList(DocType, DocID, UpdateKind, DataSet);
    if (!m_listeners)
        return;
    for (TComponent* c : std::vector<TComponent*>(*m_listeners))
        if (std::find(m_listeners->begin(), m_listeners->end(), c) != m_listeners->end())
            dynamic_cast<IDocListsener*>(c)->UpdateDocList(DocType, DocID, UpdateKind, DataSet);
}

void TDocManager::AddListener(TComponent* component)
{
    if (!m_listeners)
        m_listeners = std::make_unique<std::vector<TComponent*>>();
    if (!component || !dynamic_cast<IDocListsener*>(component))
        throw Exception(Format("TDocManager.AddListener: Component %s is not implement IDocListsener",
                               {component ? className(*component) : std::string("nil")}));
    m_listeners->push_back(component);
    component->FreeNotification(this);
}

bool TDocManager::AddModule(TDocModule* module)
{
    if (FindDocModule(module->DocType()))
        return false;
    m_modules.push_back(module);
    module->FreeNotification(this);
    return true;
}

void TDocManager::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (m_listeners)
        m_listeners->erase(std::remove(m_listeners->begin(), m_listeners->end(), component), m_listeners->end());
    m_modules.erase(std::remove(m_modules.begin(), m_modules.end(), component), m_modules.end());
}

TDocManager* DocManager() { return g_manager; }

void RegistryDocModule(TDocModule* module)
{
    if (!g_manager) {
        TComponent* app = glVars ? glVars->Application : nullptr;
        if (app) {
            g_manager = new TDocManager(app);
        } else {
            g_ownedManager = std::make_unique<TDocManager>();
            g_manager = g_ownedManager.get();
        }
    }
    try {
        if (!module)
            throw Exception("RegistryDocModule: Не указан модуль документа"_w);
        if (!g_manager->AddModule(module))
            throw Exception(Format("RegistryDocModule: Попытка повторной  регистрации DocType=%d"_w, {module->DocType()}));
    } catch (const Exception& e) {
        ShowMessageBox(e.Message(), std::string(), MB_OK | MB_ICONERROR);
    }
}

} // namespace lm
