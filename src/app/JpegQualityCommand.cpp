// The document's "Jpeg Quality Output ..." command.
#include "app/DocumentCommands.h"

#include "document/ui/CJpegQualityDlg.h"

namespace lumacut {

void RegisterJpegQualityCommand(CommandTarget& target, CDibDoc& doc)
{
    // No update handler: available whenever a document is active.
    target.On(ID_JPEG_QUALITY, [&doc] { OnJpegQuality(doc); });
}

} // namespace lumacut
