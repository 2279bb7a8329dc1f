#include "Compositing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>

#ifdef DOX_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace plat
{

namespace
{

#ifdef DOX_HAVE_XCB
// A compositing manager owns the selection "_NET_WM_CM_S<screen>" while it runs.
bool X11CompositorRuns()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atomReply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    if (!atomReply)
        return false;
    const xcb_atom_t atom = atomReply->atom;
    std::free(atomReply);
    if (atom == XCB_ATOM_NONE)
        return false; // never interned: no compositor has run on this display
    xcb_get_selection_owner_reply_t* ownerReply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom), nullptr);
    const bool owned = ownerReply && ownerReply->owner != XCB_WINDOW_NONE;
    std::free(ownerReply);
    return owned;
}
#endif

} // namespace

bool TranslucentWindowsBlend()
{
    if (!qGuiApp)
        return false;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
#ifdef DOX_HAVE_XCB
    return X11CompositorRuns();
#else
    return false;
#endif
}

} // namespace plat
