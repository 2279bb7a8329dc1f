#include "KeyRepeat.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

#ifdef DOX_HAVE_XCB_XKB
// The C header names a field "explicit", a C++ keyword.
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit
#endif

namespace plat
{

void AskForDetectableAutoRepeat()
{
#if defined(DOX_HAVE_XCB_XKB) && QT_CONFIG(xcb)
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    static xcb_connection_t* asked = nullptr;
    if (!connection || connection == asked)
        return;
    asked = connection;
    std::free(xcb_xkb_use_extension_reply(connection, xcb_xkb_use_extension(connection, 1, 0), nullptr));
    const uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    std::free(xcb_xkb_per_client_flags_reply(
        connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr));
#endif
}

} // namespace plat
