// The document's "Jpeg Quality Output ..." command.
#include "app/DocumentCommands.h"

namespace lumacut {

void RegisterJpegQualityCommand(CommandTarget&, CDibDoc&)
{
    // Registered with the JPEG quality dialog; until then the item is disabled.
}

} // namespace lumacut
