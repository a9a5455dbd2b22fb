#pragma once
// The commands every document handles itself: Open into it, Save As, and the
// framework's Save and Close (the document template adds the program's own).
#include "framework/Commands.h"

#include <QString>

namespace lumacut {

class CDibDoc;
class CDocManager;

// The filter of the document's Save As, as the program writes it
// (name|pattern pairs); Open puts every picture type before these
// (kOpenFileFilter, FileDialogs.h).
inline constexpr const char* kDocFileFilter =
    "Jpeg files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|All files(*.*)|*.*||";

void RegisterDocumentCommands(CommandTarget& target, CDibDoc& doc, CDocManager& manager);

// The document's Open: asks for a file (default extension m_saveExt, initial
// name "Luma", in the document's folder) and reads it into this document,
// whose windows then show it.
// A modified document (a paste not saved) is offered to be saved first.
void OnFileOpen(CDibDoc& doc, CDocManager& manager);
// The document's Save As: asks for a name (initial "*.jpg") and writes the
// New Picture as the name's type.
void OnFileSaveAs(CDibDoc& doc, CDocManager& manager);

} // namespace lumacut
