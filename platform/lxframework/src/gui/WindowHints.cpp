#include "WindowHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if defined(LX_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace lx {

namespace {
    constexpr uint32_t HintsFunctions = 1u << 0;
    constexpr uint32_t HintsDecorations = 1u << 1;
    constexpr uint32_t FunctionAll = 1u << 0;
    constexpr uint32_t FunctionResize = 1u << 1;
    constexpr uint32_t FunctionMaximize = 1u << 4;
    constexpr uint32_t DecorationAll = 1u << 0;
    constexpr uint32_t DecorationResizeHandles = 1u << 2;
    constexpr uint32_t DecorationMaximize = 1u << 6;

    // `bits` is a list of what is offered, or, with `all` set, of what is not.
    uint32_t Without(uint32_t bits, uint32_t all, uint32_t removed)
    {
        return (bits & all) ? bits | removed : bits & ~removed;
    }
}

MotifHints WithoutResizing(MotifHints hints)
{
    // A hints word that is absent means everything is offered.
    if (!(hints.flags & HintsFunctions))
        hints.functions = FunctionAll;
    if (!(hints.flags & HintsDecorations))
        hints.decorations = DecorationAll;
    hints.flags |= HintsFunctions | HintsDecorations;
    hints.functions = Without(hints.functions, FunctionAll, FunctionResize | FunctionMaximize);
    hints.decorations = Without(hints.decorations, DecorationAll, DecorationResizeHandles | DecorationMaximize);
    return hints;
}

#if defined(LX_HAVE_XCB)

namespace {
    constexpr char MotifHintsName[] = "_MOTIF_WM_HINTS";
    constexpr uint32_t MotifHintsWords = sizeof(MotifHints) / sizeof(uint32_t);

    xcb_atom_t MotifHintsAtom(xcb_connection_t* connection)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(MotifHintsName)), MotifHintsName),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    MotifHints ReadMotifHints(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t atom)
    {
        MotifHints hints;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom, atom, 0, MotifHintsWords), nullptr);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= int(sizeof(MotifHints)))
            std::memcpy(&hints, xcb_get_property_value(reply), sizeof(MotifHints));
        std::free(reply);
        return hints;
    }
}

namespace {
    // The connection, atom and id through which the window's hints are
    // reached; none off X11 or before the native window exists.
    struct HintsProperty {
        xcb_connection_t* connection = nullptr;
        xcb_window_t window = 0;
        xcb_atom_t atom = XCB_ATOM_NONE;
    };

    std::optional<HintsProperty> FindHintsProperty(const QWidget& window)
    {
        // The offscreen platform answers to the X11 interface too, without a connection.
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !window.windowHandle()
            || !window.testAttribute(Qt::WA_WState_Created))
            return std::nullopt;
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
        if (!connection)
            return std::nullopt;
        const xcb_atom_t atom = MotifHintsAtom(connection);
        if (atom == XCB_ATOM_NONE)
            return std::nullopt;
        return HintsProperty { connection, static_cast<xcb_window_t>(window.windowHandle()->winId()), atom };
    }
}

void AdvertiseFixedSize(QWidget& window)
{
    const std::optional<HintsProperty> property = FindHintsProperty(window);
    if (!property)
        return;
    const MotifHints hints = ReadMotifHints(property->connection, property->window, property->atom);
    const MotifHints fixed = WithoutResizing(hints);
    if (fixed == hints)
        return;
    xcb_change_property(property->connection, XCB_PROP_MODE_REPLACE, property->window, property->atom,
        property->atom, 32, MotifHintsWords, &fixed);
    xcb_flush(property->connection);
}

std::optional<MotifHints> WindowMotifHints(const QWidget& window)
{
    const std::optional<HintsProperty> property = FindHintsProperty(window);
    if (!property)
        return std::nullopt;
    return ReadMotifHints(property->connection, property->window, property->atom);
}

#else

void AdvertiseFixedSize(QWidget&) { }

std::optional<MotifHints> WindowMotifHints(const QWidget&) { return std::nullopt; }

#endif

}
