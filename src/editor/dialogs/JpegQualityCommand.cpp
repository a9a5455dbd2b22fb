// The document's "Jpeg Quality Output ..." command.
#include "dialogs/JpegQualityCommand.h"

#include "dialogs/CJpegQualityDlg.h"

namespace lumacut {

void RegisterJpegQualityCommand(CommandTarget& target, CDibDoc& doc)
{
    // No update handler: available whenever a document is active.
    target.On(ID_JPEG_QUALITY, [&doc] { OnJpegQuality(doc); });
}

} // namespace lumacut
