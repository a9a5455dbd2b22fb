#pragma once
// The document's "Jpeg Quality Output ..." command, added to every document's
// own commands through the document template.
#include "framework/Commands.h"

namespace lumacut {

class CDibDoc;

void RegisterJpegQualityCommand(CommandTarget& target, CDibDoc& doc);

} // namespace lumacut
