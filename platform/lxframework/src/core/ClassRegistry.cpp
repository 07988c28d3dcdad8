#include "ClassRegistry.h"

#include "Declaration.h"
#include "EventTrampolines.h"

#include <lxframework/PluginObject.h>
#include <lxframework/Runtime.h>

#include <algorithm>

namespace lx {

namespace {

    constexpr std::size_t BlockAlignment = 16;
    constexpr const char* RootClassName = "Object";

    std::size_t RoundUpToBlock(std::size_t size)
    {
        return (size + BlockAlignment - 1) / BlockAlignment * BlockAlignment;
    }

    Object* MakePluginObject(void* where) { return new (where) PluginObject(); }

    std::size_t FieldWidth(ValueType type)
    {
        switch (type) {
        case ValueType::Integer:
            return sizeof(LxInteger);
        case ValueType::Double:
            return sizeof(LxDouble);
        case ValueType::Boolean:
            return sizeof(LxBoolean);
        case ValueType::Color:
            return sizeof(LxColor);
        case ValueType::Object:
            return sizeof(LxObject*);
        }
        return 0;
    }

    bool IsFunction(LxFunction accessor) { return accessor && accessor != LxFieldAccessor; }

}

ClassRegistry& ClassRegistry::Instance()
{
    static ClassRegistry registry;
    return registry;
}

Class* ClassRegistry::Find(std::string_view name)
{
    auto found = mClasses.find(name);
    return found == mClasses.end() ? nullptr : found->second.get();
}

Class& ClassRegistry::FindOrStub(std::string_view name)
{
    if (Class* cls = Find(name))
        return *cls;
    auto cls = std::make_unique<Class>(std::string(name));
    Class& stub = *cls;
    mClasses.emplace(std::string(name), std::move(cls));
    return stub;
}

Class& ClassRegistry::RegisterHost(
    std::string_view name, std::string_view superName, Class::Factory factory, std::size_t size)
{
    Class& cls = FindOrStub(name);
    if (cls.mKind != Class::Kind::Stub)
        throw std::logic_error("class registered twice: " + std::string(name));
    cls.mKind = Class::Kind::Host;
    cls.mFactory = factory;
    cls.mObjectSize = size;
    if (name != RootClassName)
        cls.mSuper = &FindOrStub(superName.empty() ? RootClassName : superName);
    RegisterWaitingSubclasses(cls);
    return cls;
}

bool ClassRegistry::CanRegister(uint32_t version, const char* name)
{
    if (version != LxRecordVersion) {
        DebugLog("ignored a plug-in record of version " + std::to_string(version));
        mRefusedVersions.push_back(version);
        return false;
    }
    if (!name) {
        DebugLog("ignored a plug-in record without a name");
        return false;
    }
    if (Class* existing = Find(name); existing && existing->mKind != Class::Kind::Stub) {
        DebugLog(std::string("ignored a second registration of class ") + name);
        return false;
    }
    return true;
}

Class& ClassRegistry::BeginPluginClass(const char* name, const Class* super, Class::Kind kind, uint32_t dataSize)
{
    Class& cls = FindOrStub(name);
    cls.mKind = kind;
    cls.mSuper = super ? super : &FindOrStub(RootClassName);
    // A plug-in class's objects are made by its superclass's factory, which
    // ends at a host class or at the plain plug-in object.
    cls.mFactory = super ? super->mFactory : MakePluginObject;
    cls.mObjectSize = super ? super->mObjectSize : sizeof(PluginObject);
    // Each class's block goes in front of its superclasses' blocks, so its
    // offset from the object is the same for every subclass.
    cls.mDataSize = dataSize;
    cls.mBlockSize = RoundUpToBlock(dataSize);
    cls.mDataOffset = -static_cast<intptr_t>(cls.mSuper->PrefixSize() + cls.mBlockSize);
    return cls;
}

void ClassRegistry::RegisterRecord(LxClassRecord* record)
{
    if (!record || !CanRegister(record->version, record->name))
        return;
    const Class* super = nullptr;
    if (record->superName) {
        super = Find(record->superName);
        if (!super || !super->IsComplete()) {
            FindOrStub(record->superName);
            mPending.push_back(record);
            return;
        }
    }
    CompleteRecord(record, super);
}

void ClassRegistry::CompleteRecord(LxClassRecord* record, const Class* super)
{
    Class& cls = BeginPluginClass(record->name, super, Class::Kind::Plugin, record->dataSize);
    cls.mRecord = record;
    record->dataOffset = cls.mDataOffset;
    if (record->constructor)
        Bind(cls, cls.mName + ".__init", LxEntryConstructor, reinterpret_cast<LxFunction>(record->constructor));
    if (record->destructor)
        Bind(cls, cls.mName + ".__exit", LxEntryDestructor, reinterpret_cast<LxFunction>(record->destructor));
    AddProperties(cls, record->properties, record->propertyCount);
    AddMethods(cls, record->methods, record->methodCount);
    AddEvents(cls, record->events, record->eventCount);
    AddEventInstances(cls, record->eventInstances, record->eventInstanceCount);
    RegisterWaitingSubclasses(cls);
}

void ClassRegistry::RegisterWaitingSubclasses(const Class& super)
{
    if (!super.IsComplete())
        return;
    auto waiting = std::partition(mPending.begin(), mPending.end(),
        [&](const LxClassRecord* record) { return super.mName != record->superName; });
    std::vector<LxClassRecord*> ready(waiting, mPending.end());
    mPending.erase(waiting, mPending.end());
    for (LxClassRecord* record : ready) {
        if (CanRegister(record->version, record->name))
            CompleteRecord(record, &super);
    }
}

void ClassRegistry::RejectPendingRecords()
{
    for (const LxClassRecord* record : mPending)
        DebugLog(std::string("class ") + record->name + " was not registered: no superclass " + record->superName);
    mPending.clear();
}

bool ClassRegistry::RegisterControl(LxControlRecord* record)
{
    if (!record || !CanRegister(record->version, record->name))
        return false;
    const Class* base = mControlBase.empty() ? nullptr : Find(mControlBase);
    if (base && !base->IsComplete())
        base = nullptr;
    Class& cls = BeginPluginClass(record->name, base, Class::Kind::PluginControl, record->dataSize);
    cls.mControlRecord = record;
    record->dataOffset = cls.mDataOffset;
    AddProperties(cls, record->properties, record->propertyCount);
    AddMethods(cls, record->methods, record->methodCount);
    AddEvents(cls, record->events, record->eventCount);
    RegisterWaitingSubclasses(cls);
    return true;
}

void ClassRegistry::AddProperties(Class& cls, LxPropertyRow* rows, uint32_t count)
{
    for (uint32_t i = 0; rows && i < count; ++i) {
        const LxPropertyRow& row = rows[i];
        if (!row.name || !row.type) {
            DebugLog("ignored a property row without name or type in class " + cls.mName);
            continue;
        }
        auto property = std::make_unique<Property>();
        property->owner = &cls;
        property->name = row.name;
        property->typeName = row.type;
        property->type = TypeFromName(row.type);
        property->valueClass = DeclaredClass(row.type);
        property->getter = row.getter;
        property->setter = row.setter;
        property->param = row.param;
        // A field must lie inside this class's own data block.
        bool usesField = row.getter == LxFieldAccessor || row.setter == LxFieldAccessor;
        if (usesField
            && (row.param < 0 || static_cast<std::size_t>(row.param) + FieldWidth(property->type) > cls.mDataSize)) {
            DebugLog("ignored property " + cls.mName + "." + property->name + ": its field lies outside the data");
            continue;
        }
        std::string prefix = cls.mName + "." + property->name;
        if (IsFunction(row.getter))
            Bind(cls, prefix + ".Get", LxEntryGetter, row.getter, row.param);
        if (IsFunction(row.setter))
            Bind(cls, prefix + ".Set", LxEntrySetter, row.setter, row.param, { property->valueClass });
        cls.mProperties.push_back(std::move(property));
    }
}

void ClassRegistry::AddMethods(Class& cls, LxMethodRow* rows, uint32_t count)
{
    for (uint32_t i = 0; rows && i < count; ++i) {
        const LxMethodRow& row = rows[i];
        if (!row.declaration || !row.function) {
            DebugLog("ignored a method row without declaration or function in class " + cls.mName);
            continue;
        }
        // The declared class of each value a call passes, checked at every call.
        std::vector<const Class*> arguments;
        auto declaration = ParseDeclaration(row.declaration);
        if (declaration) {
            for (const auto& parameter : declaration->parameters)
                arguments.push_back(parameter.byRef ? nullptr : DeclaredClass(parameter.type));
        } else {
            DebugLog("method declaration not understood: " + cls.mName + "." + row.declaration);
        }
        std::string binding = cls.mName + "." + row.declaration;
        Bind(cls, binding, LxEntryMethod, row.function, 0, arguments);
        if (!row.setter)
            continue;
        // The assigning form passes the assigned value last, of the result's type.
        arguments.push_back(declaration ? DeclaredClass(declaration->resultType) : nullptr);
        Bind(cls, binding + ".Set", LxEntryAssign, row.setter, 0, std::move(arguments));
    }
}

const Class* ClassRegistry::DeclaredClass(std::string_view typeName)
{
    if (typeName.empty() || TypeFromName(typeName) != ValueType::Object)
        return nullptr;
    return &FindOrStub(typeName);
}

void ClassRegistry::AddEvents(Class& cls, LxEventRow* rows, uint32_t count)
{
    for (uint32_t i = 0; rows && i < count; ++i) {
        LxEventRow& row = rows[i];
        if (!row.declaration)
            continue;
        auto event = std::make_unique<EventDefinition>();
        event->owner = &cls;
        event->declaration = row.declaration;
        auto declaration = ParseDeclaration(row.declaration);
        if (declaration) {
            event->name = declaration->name;
            event->signature = EventSignatureOf(*declaration);
        } else {
            std::string_view text = row.declaration;
            event->name = text.substr(0, text.find('('));
            DebugLog("event declaration not understood: " + cls.mName + "." + row.declaration);
        }
        if (event->signature < 0)
            DebugLog("event " + cls.mName + "." + event->name + " has a signature no handler can take");
        else
            event->trampoline = AssignTrampoline(*event);
        row.hostWord = reinterpret_cast<uintptr_t>(event.get());
        mEventWords.insert(row.hostWord);
        cls.mEvents.push_back(std::move(event));
    }
}

void ClassRegistry::AddEventInstances(Class& cls, LxEventInstanceRow* rows, uint32_t count)
{
    for (uint32_t i = 0; rows && i < count; ++i) {
        const LxEventInstanceRow& row = rows[i];
        if (!row.name || !row.function)
            continue;
        cls.mPluginImplementations.insert_or_assign(row.name, row.function);
        Bind(cls, cls.mName + ".Events." + row.name, LxEntryEventInstance, row.function);
    }
}

void ClassRegistry::Bind(const Class& cls, std::string name, LxEntryKind kind, LxFunction function, intptr_t param,
    std::vector<const Class*> argumentClasses)
{
    auto [place, added] = mBindings.try_emplace(std::move(name));
    if (!added) {
        DebugLog("binding name registered twice, the first kept: " + place->first);
        return;
    }
    place->second.entry = LxEntryPoint { static_cast<uint32_t>(kind), function, param, place->first.c_str() };
    place->second.owner = &cls;
    place->second.argumentClasses = std::move(argumentClasses);
}

const LxEntryPoint* ClassRegistry::Lookup(std::string_view bindingName)
{
    if (auto found = mBindings.find(bindingName); found != mBindings.end())
        return &found->second.entry;
    DebugLog("no plug-in member is bound to " + std::string(bindingName));
    auto& [name, unbound] = mUnbound.emplace_back(std::string(bindingName), BoundEntry {});
    unbound.entry = LxEntryPoint { LxEntryUnbound, nullptr, 0, name.c_str() };
    return &unbound.entry;
}

const LxEntryPoint** ClassRegistry::AllocateTable(std::size_t count)
{
    mTables.push_back(std::make_unique<const LxEntryPoint*[]>(count));
    return mTables.back().get();
}

bool ClassRegistry::IsEventDefinition(uintptr_t hostWord) const { return mEventWords.contains(hostWord); }

}
