#pragma once
// A window into the running editor for end-to-end tests that drive it with
// real pointer and key events: when LUMACUT_PROBE names a file, the editor
// keeps writing what a user would see and what the active document holds
// there, as key=value lines, replaced whole on every change.
#include <QString>

class QObject;

namespace lumacut {

// Starts the probe when the environment asks for it; does nothing otherwise.
// The probe lives as long as `parent`.
void StartTestProbeFromEnvironment(QObject* parent);

// The text the probe writes now (also for tests of the probe itself).
QString TestProbeSnapshot();

} // namespace lumacut
