#pragma once
// The editor's file dialogs: where they start and what Open offers. They
// start in the folder of the active document, else in the last folder a
// file dialog was used in, which the settings keep beside the recent files.
#include "framework/GuiPrompt.h"

namespace lumacut {

class CDibDoc;

// Open and Save As offer every picture type the program reads and writes
// first, then each type alone (name|pattern pairs). The type itself follows
// the name's ending in any letter case, whatever the dialog shows.
inline constexpr const char* kPictureFileFilter =
    "All pictures (*.bmp *.jpg *.jpeg *.png *.tif *.tiff)|*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff|"
    "Bitmap files (*.bmp)|*.bmp|Jpeg files (*.jpg *.jpeg)|*.jpg;*.jpeg|PNG files (*.png)|*.png|"
    "TIFF files (*.tif *.tiff)|*.tif;*.tiff|All files(*.*)|*.*||";

// Ask through the prompt seam, starting in the folder of `active`'s path
// while that folder exists, else in the last folder used, else in the
// current one (`request.directory` empty); remember the chosen file's
// folder. Empty when cancelled.
QString AskOpenFileName(FileDialogRequest request, const CDibDoc* active);
QString AskSaveFileName(FileDialogRequest request, const CDibDoc* active);

} // namespace lumacut
