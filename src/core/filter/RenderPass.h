#pragma once
// One pass of the render loop: everything settled before the pixel loops
// (pass type, reader, constants, region). The render loop runs either the
// plain pass (ReferencePass.h) or the fast one (FastPass.h); both must give
// the same bytes.
#include "filter/FilterFormulas.h"
#include "filter/FilterSettings.h"
#include "picture/CPicture.h"
#include "picture/CSampler.h"
#include "picture/RowArrival.h"

namespace lumacut {

// Chosen by the pair (Original colour count, New colour count).
enum class PassType { None, TwoColor, Grey, TrueColor };
PassType ChoosePass(int originalColors, int newColors);

// True when the picture's fields agree with its depth and its block holds
// every row, so a pass may read it (or write it) without bounds worries.
bool PassCanRead(const CPicture& original);
bool PassCanWrite(const CPicture& target);

struct PassJob {
    const CPicture* original = nullptr; // with a block
    CPicture* target = nullptr;         // with a block, already remade for the region
    CSampler sampler{0, 0, 1, 1, 0};
    bool useSampler = false;
    FilterSettings settings;
    FilterConstants constants;
    ReferenceColors refs;
    PassType type = PassType::None;
    // The region of the full-size result: columns x0..x1 - 1, stored rows
    // y0..y1 - 1; pixel (x, y) is written at (x - x0, y - y0).
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    // Set while the Original is still being decoded: a row is read only
    // once it is in, and the rows are rendered top first.
    const CRowArrival* arrival = nullptr;
};

} // namespace lumacut
