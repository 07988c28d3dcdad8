// Drives LX3D through the host as a script does: every input is a program
// of member calls, property reads and writes on a small pool of objects.
// Arguments are chosen to hurt: indices and sizes negative and huge, NaN
// and infinities, nil and objects of the wrong class, pictures of odd sizes,
// model data made of the input's own bytes. The plug-in and the host may
// refuse anything by raising an exception; nothing may crash, hang or leak.

#include "../Lx3DHost.h"
#include "Declaration.h"

#include <lxframework/String.h>

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <span>
#include <tuple>
#include <utility>

namespace {

constexpr std::size_t PoolSize = 16;

// Chains of groups, deep enough in one input that work per level of nesting
// shows as a slow input or a crash, yet quick to build, draw and release.
// A shared chain holds each group twice, so its paths double with every
// level: few levels, lest drawing it take as long as its paths are many.
constexpr std::size_t ChainLevelsPerInput = 4096;
constexpr std::size_t SharedChainLevelsPerInput = 6;
// An operation byte from here on builds a chain; below, one of the other
// steps, chosen as ever.
constexpr uint8_t ChainOperation = 248;

// The objects a program works on: a few slots and, as a window keeps them,
// every control it made, closed at the end as a window closes its controls
// (a control lets go of its library objects then, not when destroyed).
class Pool {
public:
    Pool() = default;
    Pool(const Pool&) = delete;
    ~Pool()
    {
        for (const ObjectRef& control : mControls)
            reinterpret_cast<LxBehaviourProc>(control->ObjectClass().Behaviour(LxBehaviourClose))(lx::ToLx(control.Get()));
    }

    ObjectRef& operator[](std::size_t slot) { return mSlots[slot]; }

    // The levels of chains this input may still build.
    std::size_t chainLevelsLeft = ChainLevelsPerInput;
    std::size_t sharedChainLevelsLeft = SharedChainLevelsPerInput;

    ObjectRef New(const lx::Class& cls)
    {
        ObjectRef object = lx::RuntimeNewObject(cls);
        if (object && cls.ControlRecord())
            mControls.push_back(object);
        return object;
    }

private:
    std::array<ObjectRef, PoolSize> mSlots;
    std::vector<ObjectRef> mControls;
};

// The input, read from the front; zeros once it runs out.
class Input {
public:
    Input(const uint8_t* data, std::size_t size)
        : mBytes(data, size)
    {
    }

    bool Empty() const { return mBytes.empty(); }

    uint8_t Byte()
    {
        if (mBytes.empty())
            return 0;
        const uint8_t byte = mBytes.front();
        mBytes = mBytes.subspan(1);
        return byte;
    }

    // A number from the next `count` bytes, big-endian. (Each byte is read
    // in its own statement: the operands of one expression are unordered,
    // and compilers would then read the same input differently.)
    uint64_t Number(int count)
    {
        uint64_t number = 0;
        for (int i = 0; i < count; ++i)
            number = number << 8 | Byte();
        return number;
    }

    uint32_t Word() { return uint32_t(Number(4)); }

    // An index below `count`, from one byte where one is enough.
    std::size_t Index(std::size_t count) { return Number(count <= 256 ? 1 : 2) % count; }

    // Mostly small numbers (indices, counts), then sizes of up to a few
    // thousand (the larger the rarer, as a picture two such sizes wide
    // takes a while to draw), then the extremes. Never a size in the
    // hundreds of millions: that only measures how long the machine takes
    // to fill it.
    int32_t Integer()
    {
        constexpr int32_t Extremes[] = { std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -1,
            1 << 30, -(1 << 30), 1 << 16 };
        const uint8_t kind = Byte();
        if (kind < 192)
            return kind - 16;
        if (kind < 240) {
            const int bits = Byte() % 13;
            return int32_t(Number(2) & ((1u << bits) - 1));
        }
        return Extremes[kind % std::size(Extremes)];
    }

    double Double()
    {
        constexpr double Specials[] = { std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 0.0, -0.0, 1e-30, 1e30,
            -1e30, 1e39, 3.4e38, std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e-300, 1e20 };
        const uint8_t kind = Byte();
        if (kind < 64)
            return Specials[kind % std::size(Specials)];
        if (kind < 192)
            return (kind - 128) / 4.0;
        return std::bit_cast<double>(Number(8));
    }

    // Up to 64 KiB of the input's bytes, as a script's string.
    std::string_view Text()
    {
        const std::size_t wanted = Number(2);
        const std::size_t length = std::min(wanted, mBytes.size());
        const std::string_view text(reinterpret_cast<const char*>(mBytes.data()), length);
        mBytes = mBytes.subspan(length);
        return text;
    }

private:
    std::span<const uint8_t> mBytes;
};

// An object of the class from the pool, the first at or after a chosen
// slot; when the pool has none, a new one in that slot.
lx::Object* ObjectOf(const lx::Class& cls, Input& input, Pool& pool)
{
    const std::size_t start = input.Index(PoolSize);
    for (std::size_t i = 0; i < PoolSize; ++i) {
        const ObjectRef& object = pool[(start + i) % PoolSize];
        if (object && object->IsA(cls))
            return object.Get();
    }
    pool[start] = pool.New(cls);
    return pool[start].Get();
}

// A picture from nothing to a few dozen pixels a side, sizes the host
// refuses included, with a few pixels of another color.
ObjectRef PictureFrom(Input& input)
{
    const int32_t width = int32_t(input.Byte() % 40) - 2, height = int32_t(input.Byte() % 40) - 2;
    lx::Ref<lx::Picture> picture = NewPicture(width, height, input.Word() & 0xFFFFFF);
    for (int pixels = input.Byte() % 8; picture && pixels > 0; --pixels) {
        const int32_t x = input.Byte() % width;
        const int32_t y = input.Byte() % height;
        SetPixel(*picture, x, y, input.Word() & 0xFFFFFF);
    }
    return picture;
}

// An object argument: of the declared class, made from the input, taken
// from the pool whatever its class, or nil.
ObjectRef ObjectArgument(Input& input, Pool& pool, std::string_view type)
{
    switch (input.Byte() % 4) {
    case 0:
        if (type == "String")
            return lx::NewString(input.Text());
        if (type == "Picture")
            return PictureFrom(input);
        if (const lx::Class* cls = lx::FindClass(type))
            return ObjectRef(ObjectOf(*cls, input, pool));
        return nullptr;
    case 1:
        return pool[input.Index(PoolSize)];
    case 2:
        return nullptr;
    default:
        return type == "String" ? lx::NewString(input.Text()) : pool[input.Index(PoolSize)];
    }
}

// A member as the host binds it: a method, or the assigning form of one
// (its value is the last parameter).
struct Member;
using Caller = void (*)(const Member&, lx::Object&, Input&, Pool&);

struct Member {
    const lx::Class* owner = nullptr;
    const LxEntryPoint* entry = nullptr;
    std::vector<lx::Declaration::Parameter> parameters;
    std::string resultType; // empty for none
    Caller caller = nullptr;
};

// A ByRef parameter: the variable the member writes through.
template <class T> struct ByRef {
    T value {};
};

template <class T> T Draw(Input& input, Pool& pool, std::string_view type)
{
    if constexpr (std::is_same_v<T, int32_t>)
        return input.Integer();
    else if constexpr (std::is_same_v<T, double>)
        return input.Double();
    else if constexpr (std::is_same_v<T, bool>)
        return input.Byte() & 1;
    else if constexpr (std::is_same_v<T, lx::Color>)
        return lx::Color { input.Word() };
    else if constexpr (std::is_same_v<T, ObjectRef>)
        return ObjectArgument(input, pool, type);
    else
        return T { Draw<decltype(T::value)>(input, pool, type) };
}

template <class T> T& Pass(T& value) { return value; }
template <class T> T* Pass(ByRef<T>& variable) { return &variable.value; }

template <class... Args> void CallFor(const Member& member, lx::Object& self, Input& input, Pool& pool, Args&&... arguments)
{
    if (member.resultType.empty())
        return lx::Call<void>(member.entry, &self, std::forward<Args>(arguments)...);
    switch (lx::TypeFromName(member.resultType)) {
    case lx::ValueType::Integer:
        lx::Call<int32_t>(member.entry, &self, std::forward<Args>(arguments)...);
        return;
    case lx::ValueType::Double:
        lx::Call<double>(member.entry, &self, std::forward<Args>(arguments)...);
        return;
    case lx::ValueType::Boolean:
        lx::Call<bool>(member.entry, &self, std::forward<Args>(arguments)...);
        return;
    case lx::ValueType::Color:
        lx::Call<lx::Color>(member.entry, &self, std::forward<Args>(arguments)...);
        return;
    case lx::ValueType::Object:
        pool[input.Index(PoolSize)] = lx::Call<ObjectRef>(member.entry, &self, std::forward<Args>(arguments)...);
        return;
    }
}

template <class... Args, std::size_t... I>
void CallDrawn(const Member& member, lx::Object& self, Input& input, Pool& pool, std::index_sequence<I...>)
{
    // A braced list draws the arguments in order.
    std::tuple<Args...> arguments { Draw<Args>(input, pool, member.parameters[I].type)... };
    std::apply([&](auto&... argument) { CallFor(member, self, input, pool, Pass(argument)...); }, arguments);
}

template <class... Args> void CallWith(const Member& member, lx::Object& self, Input& input, Pool& pool)
{
    CallDrawn<Args...>(member, self, input, pool, std::index_sequence_for<Args...>());
}

// Every parameter list LX3D's members have, a letter a parameter (Integer,
// Double, Boolean, Color, Object; lower case ByRef). A member with a list
// not here stops the fuzzer at start-up, so none goes untried.
const std::map<std::string, Caller, std::less<>>& Callers()
{
    using I = int32_t;
    using D = double;
    using O = ObjectRef;
    static const std::map<std::string, Caller, std::less<>> callers {
        { "", &CallWith<> },
        { "I", &CallWith<I> },
        { "D", &CallWith<D> },
        { "O", &CallWith<O> },
        { "II", &CallWith<I, I> },
        { "IC", &CallWith<I, lx::Color> },
        { "ID", &CallWith<I, D> },
        { "IO", &CallWith<I, O> },
        { "III", &CallWith<I, I, I> },
        { "IIII", &CallWith<I, I, I, I> },
        { "Iiii", &CallWith<I, ByRef<I>, ByRef<I>, ByRef<I>> },
        { "IDD", &CallWith<I, D, D> },
        { "Idd", &CallWith<I, ByRef<D>, ByRef<D>> },
        { "IDDD", &CallWith<I, D, D, D> },
        { "DD", &CallWith<D, D> },
        { "DDD", &CallWith<D, D, D> },
        { "DDDD", &CallWith<D, D, D, D> },
        { "OI", &CallWith<O, I> },
        { "OD", &CallWith<O, D> },
        { "OO", &CallWith<O, O> },
        { "ODI", &CallWith<O, D, I> },
        { "OOD", &CallWith<O, O, D> },
        { "OODI", &CallWith<O, O, D, I> },
    };
    return callers;
}

std::string Letters(const std::vector<lx::Declaration::Parameter>& parameters)
{
    std::string letters;
    for (const lx::Declaration::Parameter& parameter : parameters) {
        const char letter = "IDBCO"[static_cast<int>(lx::TypeFromName(parameter.type))];
        letters += parameter.byRef ? char(letter - 'A' + 'a') : letter;
    }
    return letters;
}

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "lx3d fuzzer: %s\n", message.c_str());
    std::abort();
}

// What a script can reach: the members and properties of LX3D's classes,
// read from the records the plug-in registered with the host.
struct Surface {
    std::vector<const lx::Class*> classes;
    std::vector<Member> members;
    std::vector<const lx::Property*> properties;
};

void AddMember(Surface& surface, const lx::Class& cls, std::string binding, std::vector<lx::Declaration::Parameter> parameters,
    std::string resultType)
{
    Member member { &cls, lx::RuntimeLookupPluginEntrypoint(binding), std::move(parameters), std::move(resultType) };
    const auto caller = Callers().find(Letters(member.parameters));
    if (caller == Callers().end())
        Fail("no caller for the parameters of " + binding);
    member.caller = caller->second;
    surface.members.push_back(std::move(member));
}

Surface Collect()
{
    LoadLx3D();
    Surface surface;
    for (const char* name : Lx3DClassNames) {
        const lx::Class* cls = lx::FindClass(name);
        if (!cls || (!cls->Record() && !cls->ControlRecord()))
            Fail(std::string("no plug-in class ") + name);
        surface.classes.push_back(cls);
        for (const LxMethodRow& row : MethodRows(*cls)) {
            const std::optional<lx::Declaration> declaration = lx::ParseDeclaration(row.declaration);
            if (!declaration)
                Fail(std::string("unreadable declaration ") + row.declaration);
            const std::string binding = std::string(name) + "." + row.declaration;
            AddMember(surface, *cls, binding, declaration->parameters, declaration->resultType);
            if (row.setter) {
                lx::Declaration::Parameter value;
                value.type = declaration->resultType;
                std::vector<lx::Declaration::Parameter> parameters = declaration->parameters;
                parameters.push_back(value);
                AddMember(surface, *cls, binding + ".Set", std::move(parameters), "");
            }
        }
        for (const LxPropertyRow& row : PropertyRows(*cls))
            if (const lx::Property* property = cls->FindProperty(row.name))
                surface.properties.push_back(property);
    }
    return surface;
}

// The receiver: mostly of the member's class, sometimes whatever the pool
// holds. Held here, as drawing the arguments may replace it in the pool.
ObjectRef Receiver(const lx::Class& cls, Input& input, Pool& pool)
{
    if (input.Byte() % 8 == 0)
        return pool[input.Index(PoolSize)];
    return ObjectRef(ObjectOf(cls, input, pool));
}

void ReadProperty(const lx::Property& property, lx::Object& self, Input& input, Pool& pool)
{
    switch (property.type) {
    case lx::ValueType::Integer:
        lx::GetProperty<int32_t>(self, property);
        return;
    case lx::ValueType::Double:
        lx::GetProperty<double>(self, property);
        return;
    case lx::ValueType::Boolean:
        lx::GetProperty<bool>(self, property);
        return;
    case lx::ValueType::Color:
        lx::GetProperty<lx::Color>(self, property);
        return;
    case lx::ValueType::Object:
        pool[input.Index(PoolSize)] = lx::GetProperty<ObjectRef>(self, property);
        return;
    }
}

void WriteProperty(const lx::Property& property, lx::Object& self, Input& input, Pool& pool)
{
    switch (property.type) {
    case lx::ValueType::Integer:
        return lx::SetProperty(self, property, Draw<int32_t>(input, pool, property.typeName));
    case lx::ValueType::Double:
        return lx::SetProperty(self, property, Draw<double>(input, pool, property.typeName));
    case lx::ValueType::Boolean:
        return lx::SetProperty(self, property, Draw<bool>(input, pool, property.typeName));
    case lx::ValueType::Color:
        return lx::SetProperty(self, property, Draw<lx::Color>(input, pool, property.typeName));
    case lx::ValueType::Object:
        return lx::SetProperty(self, property, Draw<ObjectRef>(input, pool, property.typeName));
    }
}

// With LX3D_FUZZ_TRACE set, each step is printed: to read what an input does.
void Trace(const char* step, std::string_view what, const lx::Object* self)
{
    static const bool tracing = std::getenv("LX3D_FUZZ_TRACE") != nullptr;
    if (tracing)
        std::fprintf(stderr, "%s %.*s on %s\n", step, int(what.size()), what.data(),
            self ? self->ObjectClass().Name().c_str() : "nil");
}

// New groups in a chain below or above a group of the pool, built from
// the top down or from the bottom up as a script may. The chain's ends go
// into the pool, where the other steps draw, bound, move, hold, cut and
// release them.
void BuildChain(Input& input, Pool& pool)
{
    static const lx::Class& group = *lx::FindClass("Group3D");
    const bool shared = input.Byte() & 1;
    const bool topDown = input.Byte() & 1;
    std::size_t& left = shared ? pool.sharedChainLevelsLeft : pool.chainLevelsLeft;
    const std::size_t levels = std::min<std::size_t>(input.Number(2) % ChainLevelsPerInput + 1, left);
    left -= levels;
    ObjectRef top(ObjectOf(group, input, pool));
    ObjectRef bottom = top;
    Trace("chain", topDown ? "top down" : "bottom up", top.Get());
    auto hold = [&](const ObjectRef& holder, const ObjectRef& held) {
        for (int copy = 0; copy <= int(shared); ++copy)
            Invoke("Group3D.Append(elem as Element3D)", holder.Get(), held.Get());
    };
    for (std::size_t level = 0; level < levels; ++level) {
        ObjectRef next = pool.New(group);
        if (topDown) {
            hold(bottom, next);
            bottom = next;
        } else {
            hold(next, top);
            top = next;
        }
    }
    pool[input.Index(PoolSize)] = top;
    pool[input.Index(PoolSize)] = bottom;
}

void Step(const Surface& surface, Input& input, Pool& pool)
{
    const uint8_t code = input.Byte();
    if (code >= ChainOperation)
        return BuildChain(input, pool);
    const uint8_t operation = code % 8;
    if (operation == 0) {
        const lx::Class& cls = *surface.classes[input.Index(surface.classes.size())];
        Trace("new", cls.Name(), nullptr);
        pool[input.Index(PoolSize)] = pool.New(cls);
        return;
    }
    if (operation <= 2) {
        const lx::Property& property = *surface.properties[input.Index(surface.properties.size())];
        const ObjectRef self = Receiver(*property.owner, input, pool);
        Trace(operation == 1 ? "get" : "set", property.name, self.Get());
        if (!self)
            return;
        if (operation == 1)
            ReadProperty(property, *self, input, pool);
        else
            WriteProperty(property, *self, input, pool);
        return;
    }
    const Member& member = surface.members[input.Index(surface.members.size())];
    const ObjectRef self = Receiver(*member.owner, input, pool);
    Trace("call", member.entry->binding, self.Get());
    if (self)
        member.caller(member, *self, input, pool);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const Surface surface = Collect();
    const TQ3Uns32 start = Q3Object_LiveCount();
    {
        Input input(data, size);
        Pool pool;
        while (!input.Empty()) {
            try {
                Step(surface, input, pool);
            } catch (const lx::Exception&) {
                // Refused, as a script would see it: the program goes on.
            }
        }
    }
    // With every object gone, so must be every library object they made.
    if (Q3Object_LiveCount() != start)
        Fail("library objects outlived the plug-in objects that made them");
    return 0;
}
