#pragma once
// Registers the program's compiled-in resources (icons). The resources live
// in a static library, so someone must reference them; safe to call often.
namespace lumacut {
void InitResources();
}
