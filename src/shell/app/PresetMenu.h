#pragma once
// The Presets menu: Save Preset..., Manage Presets... and one entry per
// preset (the user's, then the shipped ones) that applies it to the active
// document.
#include <QString>

#include <functional>
#include <string>

class QMenu;
class QWidget;

namespace lumacut {

class CDibView;
struct Preset;

// The user's presets: the application data folder + "/presets".
QString EditorPresetFolder();

// Applying a preset to the view's document: its settings, output kind and
// clip, one render, views redrawn, the document marked modified. The one
// place a preset changes a document in the editor.
bool ApplyPresetToView(CDibView& view, const Preset& preset);

// Reads the preset file and applies it; a refused file is named in a message
// and changes nothing.
bool ApplyPresetFile(CDibView& view, const std::string& path);

// Asks a name and writes the document's settings under it. False when
// cancelled or refused (an empty name or one with a path separator, an
// existing name, a failed write; each said in a message).
bool SavePresetOfView(CDibView& view);

// The dialog that lists the presets: Rename, Delete, Open Folder.
void ManagePresets(QWidget* parent);

// Replaces the preset entries at the end of `menu` with the current ones;
// an entry applies its preset to the view `activeView` gives.
void FillPresetList(QMenu& menu, const std::function<CDibView*()>& activeView);

} // namespace lumacut
