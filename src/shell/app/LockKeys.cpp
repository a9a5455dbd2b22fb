#include "app/LockKeys.h"

#include <QGuiApplication>

#ifdef LUMACUT_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace lumacut {

LockKeyState QueryLockKeys()
{
    LockKeyState state;
#ifdef LUMACUT_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return state;
    // Indicators are looked up by name: their bit positions differ between keymaps.
    auto lit = [display](const char* name) {
        Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            return false;
        return on == True;
    };
    state.known = true;
    state.caps = lit("Caps Lock");
    state.num = lit("Num Lock");
    state.scroll = lit("Scroll Lock");
#endif
    return state;
}

} // namespace lumacut
