#pragma once
// Long work stays visible. Renders run on a worker thread; when one takes
// longer than a threshold the status bar shows a busy indicator, windows keep
// painting, and user input is ignored until it ends, so no other command
// (and no second render of the document) can start meanwhile.
#include <chrono>
#include <functional>

namespace lumacut {

class CDibDoc;
struct FilterSettings;

inline constexpr std::chrono::milliseconds kLongWorkThreshold{500};

// Runs `work` on a worker thread and returns when it has ended. Messages it
// shows through the prompt seam are shown afterwards, on this thread.
void RunLongWork(const std::function<void()>& work, std::chrono::milliseconds threshold = kLongWorkThreshold);

// True while RunLongWork waits with its indicator up.
bool LongWorkShowing();

// The editor's ApplyFilter: the New Picture is rendered into a picture of its
// own and takes the document's New Picture's place when complete, so views
// paint the previous one meanwhile. A render asked for while one of the same
// document is running is not started (false).
bool RenderDocument(CDibDoc& doc, const FilterSettings& settings,
                    std::chrono::milliseconds threshold = kLongWorkThreshold);
bool IsRendering(const CDibDoc& doc);
// The editor's Undo and Redo of the document's history, rendered as
// RenderDocument renders; false when there was no step to take.
bool StepHistory(CDibDoc& doc, bool forward, std::chrono::milliseconds threshold = kLongWorkThreshold);

// A preset applied to the document with one render, as RenderDocument does.
struct Preset;
bool ApplyPresetRendering(CDibDoc& doc, const Preset& preset, std::chrono::milliseconds threshold = kLongWorkThreshold);

} // namespace lumacut
