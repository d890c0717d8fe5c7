// The document manager: document modules register by document type, and any screen opens,
// creates, edits or deletes documents of a type, or hears that documents of a type changed,
// without knowing the module. Also TPluginAction, the description of a plug-in menu action.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/dataset.h"
#include "util/component.h"
#include "util/currency.h"
#include "util/variant.h"

namespace lm {

// What a screen implements (beside being a TComponent) to hear of document changes.
class IDocListsener {
public:
    virtual ~IDocListsener() = default;
    virtual void UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet) = 0;
};

// Base of every document module. Each operation raises "TDocModule: Метод %s не реализован в
// классе %s (DocType=%d)" until a module overrides it.
class TDocModule : public TComponent {
public:
    explicit TDocModule(TComponent* owner = nullptr) : TComponent(owner) {}

    int DocType() const { return m_docType; }
    void SetDocType(int docType) { m_docType = docType; }

    virtual void ShowDocList();
    virtual int NewDoc(Variant& Params);
    virtual int EditDoc(Currency DocID, int Mode);
    virtual void DeleteDoc(Currency DocID);
    virtual void UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet);

private:
    [[noreturn]] void notImplemented(const char* method) const;
    int m_docType = 0;
};

class TDocManager : public TComponent {
public:
    explicit TDocManager(TComponent* owner = nullptr) : TComponent(owner) {}
    ~TDocManager() override;

    // The module of the type, or nullptr.
    TDocModule* FindDocModule(int DocType) const;
    // The module of the type; raises "TDocManager.GetDocModule: Тип документа %d не
    // зарегистрирован!" when none is registered.
    TDocModule* GetDocModule(int DocType) const;

    virtual int NewDoc(int DocType, Variant& Params);
    virtual void DeleteDoc(int DocType, Currency DocID);
    virtual int EditDoc(int DocType, Currency DocID, int Mode);
    virtual void ShowDocList(int DocType);
    // Tells every registered module, in registration order, then every listener.
    virtual void UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet);

    // Registers a screen for change notices; a component that is not an IDocListsener is
    // refused with "TDocManager.AddListener: Component %s is not implement IDocListsener".
    // A destroyed listener is removed.
    void AddListener(TComponent* component);
    int ListenerCount() const { return m_listeners ? static_cast<int>(m_listeners->size()) : 0; }

    // Appends a module; false when its type is taken (the caller reports it).
    bool AddModule(TDocModule* module);
    int ModuleCount() const { return static_cast<int>(m_modules.size()); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TDocModule*> m_modules;  // not owned; a destroyed module is removed
    std::unique_ptr<std::vector<TComponent*>> m_listeners;
};

// The process's document manager, nullptr before the first RegistryDocModule.
TDocManager* DocManager();
// Registers the module under its DocType, creating the manager (owned by glVars' Application
// when there is one) on first use. A second module of the same type is not registered: the
// message "RegistryDocModule: Попытка повторной  регистрации DocType=%d" is shown in a message box,
// as is "RegistryDocModule: Не указан модуль документа" for a null module.
void RegistryDocModule(TDocModule* module);

// A plug-in menu action: its caption and two numbers given by the plug-in.
class TPluginAction {
public:
    TPluginAction(std::string caption, int value1, int value2)
        : Caption(std::move(caption)), Value1(value1), Value2(value2) {}
    std::string Caption;
    int Value1;
    int Value2;
};

} // namespace lm
