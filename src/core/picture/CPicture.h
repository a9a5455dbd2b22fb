#pragma once
// The in-memory picture: a packed DIB in one memory block plus the fields
// derived from it. Pixels are addressed by column x (0 = left) and stored row
// y (0 = the bottom row of the image).
//
// Readers and writers are the only access to pixels. They are bounds-checked:
// a reader outside the picture leaves its outputs as they were, a writer
// outside it does nothing. They need `m_bits`, which Lock() sets.
#include "picture/MemBlock.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumacut {

class CSampler;

// One display palette entry, in the order red, green, blue, flags.
struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};

struct LogPalette {
    std::uint16_t palVersion = 0;
    std::uint16_t palNumEntries = 0;
};

// The display palette object. Displays are true colour here, so it only keeps
// the entries it was created from; a true-colour picture's palette object
// holds none.
class CPalette {
public:
    bool CreatePalette(const LogPalette& log, const PaletteEntry* entries);
    bool HasPalette() const { return !m_entries.empty(); }
    const std::vector<PaletteEntry>& Entries() const { return m_entries; }

private:
    std::vector<PaletteEntry> m_entries;
};

class CPicture {
public:
    CPicture() = default;
    CPicture(CPicture&&) = default;
    CPicture& operator=(CPicture&&) = default;

    // ---- block -------------------------------------------------------------
    // Sets m_bits to the first pixel row (header + 4 x m_colors); false
    // without a block.
    bool Lock();
    void Unlock() { m_bits = nullptr; }
    // Remakes the block for m_width, m_height, m_bitCount and m_colors: header,
    // colour table from m_rgb, m_stride, a new palette. A large enough block is
    // reused as it is (old pixels stay); a smaller one is replaced by a new
    // zero-filled one. False when no block can be had (and then none is kept).
    bool MakeEmpty();

    // ---- pixel writers (x column, y stored row) -----------------------------
    void SetBW(int x, int y, int on);
    void SetNibble(int x, int y, int value);
    void SetIndex(int x, int y, int value);
    void SetRGB(int x, int y, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    // ---- pixel readers at (x + dx, y + dy) ----------------------------------
    void GetBW(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;
    void GetNibble(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;
    void GetIndex(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;
    void GetRGB(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;
    // By m_colors: 0 GetRGB, 2 GetBW, 256 GetIndex, 16 GetNibble; else nothing.
    void GetColor(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;

    // One sample of the geometric sampler at New Picture position (x, y):
    // a tent-weighted average over the footprint (CSampler.h).
    void GetFootprintColor(int x, int y, CSampler& sampler, double dx, double dy, std::uint8_t& red,
                           std::uint8_t& green, std::uint8_t& blue) const;

    // ---- fields, in the order of the picture's description ------------------
    CMemBlock m_hDib;
    std::uint8_t* m_bits = nullptr;
    std::unique_ptr<CPalette> m_pPalette;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_colors = 0;
    int m_bytesPerPixel = 0;
    LogPalette m_logPalette;
    PaletteEntry m_rgb[256] = {};
    int m_bitCount = 0;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
};

// Fills m_rgb and the log palette from the block's colour table (4-byte
// entries after a 40-byte header, 3-byte ones after a 12-byte header) and
// creates the palette. False for an empty block or a colour count of 0 (and
// then nothing changes).
bool PaletteFromDib(const CMemBlock& block, CPalette* palette, LogPalette& log, PaletteEntry (&rgb)[256]);

// A zero-filled 24-bit block with a 40-byte header; empty on failure.
CMemBlock AllocTrueColorDib(int width, int height);

// Every pixel of `picture` read with GetColor into the 24-bit `target`
// (made by AllocTrueColorDib for the picture's size). Sets the picture's m_bits.
bool ConvertToTrueColor(CPicture& picture, CMemBlock& target);

// Copies the fields that describe a picture (size, stride, kind, colour
// table) but not its block, pixel pointer or palette object.
void CopyPictureFields(const CPicture& from, CPicture& to);

// Zeroes what no pixel covers in each stored row: the bytes after the last
// pixel and, at 1 bit, the bits after it in its byte. For a block that held
// another picture before, so none of it reaches a file. Nothing for a block
// smaller than the fields describe.
void ClearRowPadding(CPicture& picture);

// The three kinds of New Picture.
void SetUpTwoColor(CPicture& picture);
void SetUpGrey(CPicture& picture);
void SetUpTrueColor(CPicture& picture);

} // namespace lumacut
