#pragma once
// The state of Caps Lock, Num Lock and Scroll Lock, where the window system
// reports it (X11); elsewhere `known` is false and the panes stay empty.
namespace lumacut {

struct LockKeyState {
    bool known = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeyState QueryLockKeys();

} // namespace lumacut
