#pragma once

#include <lxframework/Class.h>
#include <lxframework/plugin.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lx {

// An entry point as the runtime keeps it: the record the application sees,
// followed by the class it belongs to and the declared class of each value a
// call passes (null where the value is no object), so a call can check its
// receiver and its object arguments.
struct BoundEntry {
    LxEntryPoint entry {};
    const Class* owner = nullptr;
    std::vector<const Class*> argumentClasses;
};

// Every class of the process, the class records of the plug-ins, and the
// binding names formed from them.
class ClassRegistry {
public:
    static ClassRegistry& Instance();

    Class* Find(std::string_view name);
    Class& FindOrStub(std::string_view name);

    Class& RegisterHost(std::string_view name, std::string_view superName, Class::Factory factory, std::size_t size);
    void RegisterRecord(LxClassRecord* record);
    bool RegisterControl(LxControlRecord* record);
    // Records still waiting for their superclass when loading ends are dropped.
    void RejectPendingRecords();
    void SetControlBase(std::string_view className) { mControlBase = className; }

    const LxEntryPoint* Lookup(std::string_view bindingName);
    const LxEntryPoint** AllocateTable(std::size_t count);
    bool IsEventDefinition(uintptr_t hostWord) const;
    // The versions of the records refused for their version, in order.
    const std::vector<uint32_t>& RefusedVersions() const { return mRefusedVersions; }

private:
    ClassRegistry() = default;

    bool CanRegister(uint32_t version, const char* name);
    Class& BeginPluginClass(const char* name, const Class* super, Class::Kind kind, uint32_t dataSize);
    void CompleteRecord(LxClassRecord* record, const Class* super);
    void RegisterWaitingSubclasses(const Class& super);
    void AddProperties(Class& cls, LxPropertyRow* rows, uint32_t count);
    void AddMethods(Class& cls, LxMethodRow* rows, uint32_t count);
    void AddEvents(Class& cls, LxEventRow* rows, uint32_t count);
    void AddEventInstances(Class& cls, LxEventInstanceRow* rows, uint32_t count);
    // The class a declared type names, a stub until it is registered; null for plain values.
    const Class* DeclaredClass(std::string_view typeName);
    void Bind(const Class& cls, std::string name, LxEntryKind kind, LxFunction function, intptr_t param = 0,
        std::vector<const Class*> argumentClasses = {});

    std::map<std::string, std::unique_ptr<Class>, std::less<>> mClasses;
    std::vector<LxClassRecord*> mPending;
    std::string mControlBase;
    std::map<std::string, BoundEntry, std::less<>> mBindings;
    std::deque<std::pair<std::string, BoundEntry>> mUnbound;
    std::vector<std::unique_ptr<const LxEntryPoint*[]>> mTables;
    std::set<uintptr_t> mEventWords;
    std::vector<uint32_t> mRefusedVersions;
};

}
