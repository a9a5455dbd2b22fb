#include "framework/Resources.h"

#include <QtGlobal>

static void InitLumacutResources()
{
    Q_INIT_RESOURCE(lumacut);
}

namespace lumacut {

void InitResources()
{
    static const bool done = (InitLumacutResources(), true);
    (void)done;
}

} // namespace lumacut
