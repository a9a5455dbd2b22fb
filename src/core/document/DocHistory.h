#pragma once
// The document's history: one entry per edit that changes what the New
// Picture is made from. Entries keep settings, not pictures: going back or
// forward renders again. Only a step that replaced the Original (open,
// paste) keeps a picture, the Original the document does not hold.
#include "filter/FilterSettings.h"
#include "picture/CPicture.h"
#include "picture/Rect.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace lumacut {

// Everything but the Original that decides the New Picture, with the
// one-level Undo Color state, so that Undo Color behaves after a walk
// through the history as it did when the step was made.
struct DocState {
    static constexpr int kColorListSize = 10;

    FilterSettings filter;
    FilterSettings filterUndo;
    bool canUndoColor = true;
    int newColors = 16;      // the New Picture's kind by its colours (2, 256, 0); 16: none yet
    double scale = 1.0;
    double footprint = 1.0;
    double tilt = 0.0;
    bool clipActive = false;
    Rect clipRect;           // the document's clip region after the edit
    // The region the New Picture was rendered with: clipping moves the
    // document's region to the clipped picture's origin after its render.
    Rect renderClip;
    std::array<std::uint32_t, kColorListSize> colorList{};
    int colorListCount = 0;

    friend bool operator==(const DocState& a, const DocState& b);
};

class DocHistory {
public:
    // At least this many steps can be undone.
    static constexpr std::size_t kMaxSteps = 100;
    // The Originals kept by open and paste steps together stay within this;
    // the oldest steps go first.
    static constexpr std::size_t kMaxKeptBytes = std::size_t{256} << 20;

    explicit DocHistory(std::size_t maxSteps = kMaxSteps, std::size_t maxKeptBytes = kMaxKeptBytes)
        : m_maxSteps(maxSteps), m_maxKeptBytes(maxKeptBytes)
    {
    }

    // Starts again from `base`: nothing to undo or redo.
    void Reset(const DocState& base);
    // A step named `name` after the current one, leading to `after`; the
    // steps that could be redone are dropped. `replaced`, for a step that
    // replaced the Original, is the Original before it.
    void Record(std::string name, const DocState& after);
    void Record(std::string name, const DocState& after, CPicture replaced);

    bool CanUndo() const { return m_current > 0; }
    bool CanRedo() const { return m_current + 1 < m_entries.size(); }
    // The step Undo / Redo would take back or make again ("" when none).
    const std::string& UndoName() const;
    const std::string& RedoName() const;
    std::size_t UndoCount() const { return m_current; }
    std::size_t RedoCount() const { return CanRedo() ? m_entries.size() - 1 - m_current : 0; }
    // The state reached by the steps done so far (nullptr before Reset).
    const DocState* Current() const { return m_entries.empty() ? nullptr : &m_entries[m_current].state; }
    // Bytes of the Originals held now.
    std::size_t KeptBytes() const;

    // One step back or forward: the state to restore, nullptr when there is
    // none. For a step that replaced the Original, `original` and the kept
    // picture trade places.
    const DocState* Undo(CPicture& original);
    const DocState* Redo(CPicture& original);

private:
    struct Entry {
        std::string name;
        DocState state;
        bool holdsOriginal = false;
        CPicture original; // the Original on the other side of this step
    };
    std::size_t m_maxSteps;
    std::size_t m_maxKeptBytes;
    std::deque<Entry> m_entries;
    std::size_t m_current = 0;

    void Append(Entry entry);
    void DropOldest();
};

} // namespace lumacut
