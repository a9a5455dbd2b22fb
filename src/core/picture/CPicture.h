#pragma once
// The in-memory picture: a packed DIB in one memory block plus the fields
// derived from it. Pixels are addressed by column x (0 = left) and stored row
// y (0 = the bottom row of the image).
//
// The fields always describe the block: only the factories and the few
// operations below change them. Pixels are read and written through the
// bounds-checked readers and writers (a reader outside the picture, or on a
// picture without a block, leaves its outputs as they were; a writer there
// does nothing) or through row pointers derived from the block, so readers
// never write to a picture.
#include "picture/Dib.h"
#include "picture/MemBlock.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumacut {

class CSampler;
struct DibCheck;

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

// The three kinds of New Picture.
enum class PictureKind { TwoColor, Grey, TrueColor };

class CPicture {
public:
    CPicture() = default;
    CPicture(CPicture&&) = default;
    CPicture& operator=(CPicture&&) = default;

    // ---- making pictures ---------------------------------------------------
    // The picture a packed DIB holds. The block is checked once (ValidateDib)
    // and must be in the layout pictures are kept in (InKeptLayout); its
    // description is kept with it. Any other block gives a picture without a
    // block.
    static CPicture FromDib(CMemBlock block);
    // A zero-filled picture of the kind and size; without a block when none
    // can be had.
    static CPicture Empty(PictureKind kind, int width, int height);
    // A fresh document's picture: 16 colours, a kind no New Picture has, and
    // no block.
    static CPicture NoPicture();
    // A picture of this one's kind and size without pixels; `reuse` becomes
    // its block, for MakeEmpty to take when it is large enough.
    CPicture SameKind(CMemBlock reuse = {}) const;
    // A copy with a block of its own; without a block when memory runs out.
    CPicture Duplicate() const;

    // ---- changing pictures ---------------------------------------------------
    // Sets the kind (depth, colour count, colour table); the block is left as
    // it is until MakeEmpty.
    void SetKind(PictureKind kind);
    // Remakes the block for width x height in the picture's kind: header,
    // colour table, stride, a new palette. A large enough block is reused as
    // it is (old pixels stay); a smaller one is replaced by a new zero-filled
    // one. False when no block can be had (and then none is kept; the size
    // is taken all the same).
    bool MakeEmpty(int width, int height);
    // Hands the block over; the picture keeps its fields but has no block.
    CMemBlock TakeBlock();
    // No block, no palette object, size 0; the kind stays.
    void Release();
    // Zeroes what no pixel covers in each stored row: the bytes after the
    // last pixel and, at 1 bit, the bits after it in its byte. For a block
    // that held another picture before, so none of it reaches a file.
    // Nothing for a block smaller than the fields describe.
    void ClearRowPadding();

    // ---- rows: stored row y (0 = bottom), 0 <= y < Height(), with a block ------
    const std::uint8_t* Row(int y) const { return m_hDib.Data() + m_pixelOffset + std::int64_t{y} * m_stride; }
    std::uint8_t* MutableRow(int y) { return m_hDib.Data() + m_pixelOffset + std::int64_t{y} * m_stride; }

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
    // By Colors(): 0 GetRGB, 2 GetBW, 256 GetIndex, 16 GetNibble; else nothing.
    void GetColor(int x, int y, int dx, int dy, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const;

    // One sample of the geometric sampler at New Picture position (x, y):
    // a tent-weighted average over the footprint (CSampler.h).
    void GetFootprintColor(int x, int y, CSampler& sampler, double dx, double dy, std::uint8_t& red,
                           std::uint8_t& green, std::uint8_t& blue) const;

    // ---- description ----------------------------------------------------------
    bool HasBlock() const { return !m_hDib.IsNull(); }
    const CMemBlock& Block() const { return m_hDib; }
    const CPalette* Palette() const { return m_pPalette.get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    int Colors() const { return m_colors; }
    int BytesPerPixel() const { return m_bytesPerPixel; }
    int BitCount() const { return m_bitCount; }
    const LogPalette& LogPal() const { return m_logPalette; }
    const PaletteEntry& Rgb(int i) const { return m_rgb[i]; }
    // Where the bottom row starts, from the start of the block.
    std::size_t PixelOffset() const { return m_pixelOffset; }
    // The resolution its header holds (none without a block); MakeEmpty
    // clears it, SetResolution sets it (nothing without a block).
    Resolution GetResolution() const { return HasBlock() ? ReadResolution(m_hDib.Data()) : Resolution{}; }
    void SetResolution(Resolution r)
    {
        if (HasBlock())
            WriteResolution(m_hDib.Data(), r);
    }

private:
    // The block and the fields that describe it, in the order of the
    // picture's description.
    CMemBlock m_hDib;
    std::size_t m_pixelOffset = 0;
    std::unique_ptr<CPalette> m_pPalette;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_colors = 0;
    int m_bytesPerPixel = 0;
    LogPalette m_logPalette;
    PaletteEntry m_rgb[256] = {};
    int m_bitCount = 0;

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height && m_hDib; }
    // Fills m_rgb, the log palette and a new palette object from `count`
    // table entries of `entryBytes` at `tableOffset`; a count of 0 or a
    // table not all in the block leaves the palette object empty.
    void LoadPalette(std::size_t tableOffset, int count, int entryBytes);
};

// The one layout pictures are kept in: 40-byte header, a full colour table
// of 4-byte entries up to 8 bits and none above, no bit-field masks,
// bottom-up rows right after the table.
bool InKeptLayout(const DibCheck& check);

// A zero-filled 24-bit block with a 40-byte header; empty on failure.
CMemBlock AllocTrueColorDib(int width, int height);

// Every pixel of `picture` read with GetColor into the 24-bit `target`
// (made by AllocTrueColorDib for the picture's size).
bool ConvertToTrueColor(const CPicture& picture, CMemBlock& target);

} // namespace lumacut
