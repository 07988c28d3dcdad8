#include <lxframework/Class.h>
#include <lxframework/PluginObject.h>
#include <lxframework/Property.h>
#include <lxframework/Runtime.h>

#include <vector>

namespace lx {

namespace {
    // A control record has no destructor, so the references that the
    // control's object fields still hold when it goes (written after close, or
    // into a control never opened) are dropped here.
    void ReleaseControlFields(Object& object, const Class& cls)
    {
        for (const auto& property : cls.OwnProperties()) {
            if (property->type == ValueType::Object && property->setter == LxFieldAccessor)
                detail::StoreObjectField(object, *property, nullptr);
        }
    }

    std::vector<const Class*> PluginClassesLeafFirst(const Object& object)
    {
        std::vector<const Class*> classes;
        for (const Class* cls = &object.ObjectClass(); cls; cls = cls->Super()) {
            if (cls->Record() || cls->ControlRecord())
                classes.push_back(cls);
        }
        return classes;
    }
}

PluginObject::PluginObject() { RunPluginConstructors(*this); }

PluginObject::~PluginObject() { RunPluginDestructors(*this); }

void RunPluginConstructors(Object& object)
{
    auto classes = PluginClassesLeafFirst(object);
    for (auto cls = classes.rbegin(); cls != classes.rend(); ++cls) {
        if ((*cls)->Record() && (*cls)->Record()->constructor)
            CallPlugin([&] { (*cls)->Record()->constructor(ToLx(&object)); });
        else if (auto construct = reinterpret_cast<LxBehaviourProc>((*cls)->Behaviour(LxBehaviourConstruct)))
            CallPlugin([&] { construct(ToLx(&object)); });
    }
}

void RunPluginDestructors(Object& object)
{
    // A destructor has no caller to report to: what the plug-in raises here is
    // logged and dropped, and an exception pending before stays pending.
    Ref<Object> earlier = TakePendingException();
    for (const Class* cls : PluginClassesLeafFirst(object)) {
        if (cls->Record() && cls->Record()->destructor)
            CallPlugin([&] { cls->Record()->destructor(ToLx(&object)); });
        if (cls->ControlRecord())
            ReleaseControlFields(object, *cls);
    }
    if (Ref<Object> raised = TakePendingException())
        DebugLog("an exception raised by a destructor was dropped: " + raised->ObjectClass().Name());
    if (earlier)
        RaisePending(std::move(earlier));
}

}
