#include "document/DocHistory.h"

#include <algorithm>
#include <utility>

namespace lumacut {

bool operator==(const DocState& a, const DocState& b)
{
    return a.filter == b.filter && a.filterUndo == b.filterUndo && a.canUndoColor == b.canUndoColor &&
           a.newColors == b.newColors && a.scale == b.scale && a.footprint == b.footprint && a.tilt == b.tilt &&
           a.clipActive == b.clipActive && a.clipRect == b.clipRect && a.renderClip == b.renderClip &&
           a.colorListCount == b.colorListCount &&
           std::equal(a.colorList.begin(), a.colorList.begin() + std::clamp(a.colorListCount, 0, DocState::kColorListSize),
                      b.colorList.begin());
}

namespace {

const std::string kNone;

} // namespace

void DocHistory::Reset(const DocState& base)
{
    m_entries.clear();
    m_entries.push_back(Entry{std::string(), base, false, CPicture()});
    m_current = 0;
}

void DocHistory::Record(std::string name, const DocState& after)
{
    Append(Entry{std::move(name), after, false, CPicture()});
}

void DocHistory::Record(std::string name, const DocState& after, CPicture replaced)
{
    Append(Entry{std::move(name), after, true, std::move(replaced)});
}

void DocHistory::Append(Entry entry)
{
    if (m_entries.empty()) {
        // Without a base the step itself becomes one: nothing before it is known.
        entry.name.clear();
        entry.holdsOriginal = false;
        entry.original = CPicture();
        m_entries.push_back(std::move(entry));
        m_current = 0;
        return;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(m_current) + 1, m_entries.end());
    m_entries.push_back(std::move(entry));
    m_current = m_entries.size() - 1;
    while (m_entries.size() > m_maxSteps + 1)
        DropOldest();
    // Only steps already done hold the Originals before them (the redo
    // steps are gone): the history is cut up to the oldest holder.
    while (KeptBytes() > m_maxKeptBytes) {
        std::size_t holder = 1;
        while (holder <= m_current && !m_entries[holder].holdsOriginal)
            ++holder;
        if (holder > m_current)
            break;
        for (; holder > 0; --holder)
            DropOldest();
    }
}

void DocHistory::DropOldest()
{
    m_entries.pop_front();
    --m_current;
    // The new first entry is where the history starts: it cannot be
    // undone, so the Original it kept for that is no longer needed.
    Entry& first = m_entries.front();
    first.holdsOriginal = false;
    first.original = CPicture();
}

const std::string& DocHistory::UndoName() const
{
    return CanUndo() ? m_entries[m_current].name : kNone;
}

const std::string& DocHistory::RedoName() const
{
    return CanRedo() ? m_entries[m_current + 1].name : kNone;
}

std::size_t DocHistory::KeptBytes() const
{
    std::size_t bytes = 0;
    for (const Entry& entry : m_entries)
        bytes += entry.original.Block().Size();
    return bytes;
}

const DocState* DocHistory::Undo(CPicture& original)
{
    if (!CanUndo())
        return nullptr;
    Entry& step = m_entries[m_current];
    if (step.holdsOriginal)
        std::swap(original, step.original);
    --m_current;
    return &m_entries[m_current].state;
}

const DocState* DocHistory::Redo(CPicture& original)
{
    if (!CanRedo())
        return nullptr;
    ++m_current;
    Entry& step = m_entries[m_current];
    if (step.holdsOriginal)
        std::swap(original, step.original);
    return &step.state;
}

} // namespace lumacut
