#pragma once
// The editor's file dialogs: where they start and what Open offers. They
// start in the folder of the active document, else in the last folder a
// file dialog was used in, which the settings keep beside the recent files.
#include "framework/GuiPrompt.h"

namespace lumacut {

class CDibDoc;

// Both Opens offer every picture type the program reads first, then each
// type alone (the document's own filter entries).
inline constexpr const char* kOpenFileFilter = "All pictures (*.bmp *.jpg)|*.bmp;*.jpg|"
                                               "Jpeg files (*.jpg)|*.jpg|Bitmap files (*.bmp)|*.bmp|"
                                               "All files(*.*)|*.*||";

// Ask through the prompt seam, starting in the folder of `active`'s path
// while that folder exists, else in the last folder used, else in the
// current one (`request.directory` empty); remember the chosen file's
// folder. Empty when cancelled.
QString AskOpenFileName(FileDialogRequest request, const CDibDoc* active);
QString AskSaveFileName(FileDialogRequest request, const CDibDoc* active);

} // namespace lumacut
