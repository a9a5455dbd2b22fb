#pragma once
// The commands every document handles itself: Open into it, Save As, and the
// framework's Save and Close (the document template adds the program's own).
#include "framework/Commands.h"

#include <QString>

namespace lumacut {

class CDibDoc;
class CDocManager;

void RegisterDocumentCommands(CommandTarget& target, CDibDoc& doc, CDocManager& manager);

// The document's Open: asks for a file (every picture type, default
// extension m_saveExt, initial name "Luma", in the document's folder) and
// reads it into this document, whose windows then show it.
// A modified document (a paste not saved) is offered to be saved first.
void OnFileOpen(CDibDoc& doc, CDocManager& manager);
// The document's Save As: asks for a name (every picture type, initial
// "*.jpg"; a name without an ending gets m_saveExt's) and writes the New
// Picture as the name's type.
void OnFileSaveAs(CDibDoc& doc, CDocManager& manager);

} // namespace lumacut
