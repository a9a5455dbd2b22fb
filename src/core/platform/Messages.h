#pragma once
// Every text the program shows in a message box, in one place. The texts are
// part of the program's face and stay exactly as they are, typos included.
// Texts that take an argument are given as prefixes or printf formats next to
// the function that assembles them.
#include <string>
#include <string_view>

namespace lumacut::msg {

// ---- picture store ----------------------------------------------------------
inline constexpr std::string_view kErrorInColorData = "Error in color data";
inline constexpr std::string_view kFailedToOpen = "Failed to open: ";   // + path
inline constexpr std::string_view kFailedToRead = "Failed to read: ";   // + path
inline constexpr std::string_view kFailedToRead2 = "Failed to read 2: "; // + path
// Why a BMP file was refused: "Failed to read 2: " + path + ": " + one of these.
inline constexpr std::string_view kBmpNotBmp = "not a BMP file.";
inline constexpr std::string_view kBmpCutShort = "the file is cut short.";
inline constexpr std::string_view kBmpDamagedHeader = "the header is damaged or of an unknown kind.";
inline constexpr std::string_view kBmpUnsupportedDepth =
    "unsupported depth: only 1, 4, 8, 24 and 32 bits per pixel can be read.";
inline constexpr std::string_view kBmpUnsupportedCompression = "unsupported compression or colour masks.";
inline constexpr std::string_view kBmpNoPixels = "the header gives a width or height of 0 or less.";
inline constexpr std::string_view kBmpTooLargeFormat =
    "the picture is larger than %lld pixels, or longer than %lld pixels on a side."; // the size limits
inline constexpr std::string_view kBmpNoMemory = "not enough memory.";
inline constexpr std::string_view kNoBitmapConnected = " no bitmap connected to it."; // path +
inline constexpr std::string_view kFailedToOpen1a = " failed to open 1a ";           // path + ... + file error
inline constexpr std::string_view kFileErrorFormat = "File error %i";
inline constexpr std::string_view kFailedToProcess = " failed to process.";           // path +
// A block whose header is not the 40-byte form cannot be written.
inline constexpr std::string_view kNotWritableHeader = " cannot be written: the picture has no 40-byte header."; // path +
inline constexpr std::string_view kCantOpenFormat = "can't open %s\n";
inline constexpr std::string_view kComponentsNeed3 = "MakeBitmapColors0: Components need to be 3";
inline constexpr std::string_view kNoMemAllocated = "No mem allocated";
// libjpeg failed while writing; the library's own text follows.
inline constexpr std::string_view kJpegWriteFailed = "JPEG write failed: "; // + path + ": " + library text
// libjpeg refused a file while reading; the library's own text follows.
inline constexpr std::string_view kJpegReadFailed = "JPEG read failed: "; // + path + ": " + library text
// libjpeg warned while reading (a file cut short, damaged data) but went on;
// the picture opens with the damaged part grey or garbled.
inline constexpr std::string_view kJpegReadWarning = "JPEG file damaged: "; // + path + ": " + library text + ...
inline constexpr std::string_view kJpegPartlyRead = ". The picture opens, but part of it may be missing or wrong.";
// A picture over the size limits (Limits.h), refused before anything is
// allocated; path +. The renderer streams larger JPEG and PNG files.
inline constexpr std::string_view kPictureTooLarge =
    " is too large to open: the editor takes pictures of up to 268 million pixels. lumacut-render renders larger "
    "JPEG and PNG files a band at a time.";
// Only 24-bit blocks with a 40-byte header go to the JPEG writer.
inline constexpr std::string_view kJpegNot24Bits = " cannot be written as JPEG: the picture is not 24 bits per pixel."; // path +

// ---- document ---------------------------------------------------------------
inline constexpr std::string_view kBmpTooLarge = "BMP is too large";
inline constexpr std::string_view kConversionFailed = "Conversion to 24 bits failed.";
inline constexpr std::string_view kUnknownFileType =
    "Only .bmp, .jpg, .png and .tif files can be opened or saved: "; // + path
inline constexpr std::string_view kInfoLine1 = "biWidth: %i, biHeight: %i, Colors: %i\n";
inline constexpr std::string_view kInfoLine2 = "%sBit count %i,  Header %i, planes %i\n";
inline constexpr std::string_view kInfoLine3 = "%sbiCompression %i, biSize %i\n";
inline constexpr std::string_view kInfoLine4 = "%sbiSizeImage %i,  biXPelsPerMeter %i biYPelsPerMeter %i\n";

// ---- render loop ------------------------------------------------------------
inline constexpr std::string_view kWrongChoise = "Wrong Choise. ";
inline constexpr std::string_view kMakeEmptyFailed = "error 11, MakeEmpty picture";
inline constexpr std::string_view kFilterPointerNull = "Filter (pointer Null) error";
inline constexpr std::string_view kDraxXError2 = "Drax X error 2";

// ---- dialogs and view -------------------------------------------------------
inline constexpr std::string_view kNoMainWindow = "Sorry Null, No Main Window ";
inline constexpr std::string_view kNoChildWindow = "Sorry Null, No Child Window ";
inline constexpr std::string_view kNoViewWindow = "Sorry Null, No View Window ";
inline constexpr std::string_view kNoDoc = "Sorry Null, No Doc";
// Paste: clipboard data that claims to be a picture but does not hold one.
inline constexpr std::string_view kPasteRefused = "The picture on the clipboard is damaged and cannot be pasted.";
// 't': the list of open documents starts with this line.
inline constexpr std::string_view kResultsHeader = "Results  ";
inline constexpr std::string_view kOnlyTrueColorInput =
    "Only implemented for true colors and 16, 256 color input.";

// ---- editor shell -----------------------------------------------------------
// The framework's question before a modified document is closed.
inline constexpr std::string_view kAskToSaveFormat = "Save changes to %s?"; // document title

// ---- data exchange (dialog fields) ------------------------------------------
inline constexpr std::string_view kEnterInteger = "Enter an integer.";
inline constexpr std::string_view kEnterIntegerRangeFormat = "Enter an integer between %d and %d.";
inline constexpr std::string_view kEnterNumber = "Enter a number.";
inline constexpr std::string_view kEnterNumberRangeFormat = "Enter a number between %s and %s.";

// ---- resize dialog ----------------------------------------------------------
// A percentage whose result has a side of 0 or less, or more pixels than the
// picture store holds, is refused before anything renders.
inline constexpr std::string_view kResizeTooSmallFormat =
    "A percentage of %d gives a picture of %lld x %lld pixels: each side must be at least 1 pixel.";
inline constexpr std::string_view kResizeTooLargeFormat =
    "A percentage of %d gives a picture of %lld x %lld pixels, larger than Lumacut can hold.";

// ---- what a reader did, for the information box -------------------------------
inline constexpr std::string_view kFirstPageOnly = "Only the first page of this file was read.\n";
inline constexpr std::string_view kPictureWas = "The picture was "; // + an orientation phrase + ".\n"
inline constexpr std::string_view kNotTurned =
    "The picture could not be turned upright as its orientation tag says: not enough memory.";
// The picture's resolution, when its file gives one.
inline constexpr std::string_view kInfoResolution = "%sResolution %i x %i dots per inch\n";

// ---- photo orientation -----------------------------------------------------
// What the information box says about a photo turned upright on reading
// (orientation tag values 2..8; the degree sign as UTF-8 bytes).
inline constexpr std::string_view kOrientationMirrored = "mirrored left to right as its orientation tag says";
inline constexpr std::string_view kOrientationTurned180 = "turned 180\xC2\xB0 as its orientation tag says";
inline constexpr std::string_view kOrientationFlipped = "mirrored top to bottom as its orientation tag says";
inline constexpr std::string_view kOrientationTransposed =
    "turned 90\xC2\xB0 clockwise and mirrored left to right as its orientation tag says";
inline constexpr std::string_view kOrientationTurnedClockwise = "turned 90\xC2\xB0 clockwise as its orientation tag says";
inline constexpr std::string_view kOrientationTransversed =
    "turned 90\xC2\xB0 counter-clockwise and mirrored left to right as its orientation tag says";
inline constexpr std::string_view kOrientationTurnedCounterClockwise =
    "turned 90\xC2\xB0 counter-clockwise as its orientation tag says";

// Concatenation helper: msg::Join(msg::kFailedToOpen, path).
inline std::string Join(std::string_view a, std::string_view b)
{
    std::string s(a);
    s += b;
    return s;
}

// ---- TIFF adapter -----------------------------------------------------------
// libtiff refused a file, or a page of a kind it cannot turn into colours, while
// reading; the library's own text follows.
inline constexpr std::string_view kTiffReadFailed = "TIFF read failed: "; // + path + ": " + library text
// What follows "TIFF read failed: " + path + ": " when libtiff said nothing, and
// for tiles far larger than the picture (refused before their buffer is made).
inline constexpr std::string_view kTiffUnreadable = "the picture data cannot be read.";
inline constexpr std::string_view kTiffTilesTooLargeFormat = "tiles of %u x %u pixels are far larger than the picture.";
// libtiff failed while writing; the library's own text follows.
inline constexpr std::string_view kTiffWriteFailed = "TIFF write failed: "; // + path + ": " + library text
// Only 1-, 8- and 24-bit blocks go to the TIFF writer.
inline constexpr std::string_view kTiffNotWritableDepth =
    " cannot be written as TIFF: only 1-, 8- and 24-bit pictures can."; // path +

// ---- PNG reader and writer --------------------------------------------------
// libspng refused a file while reading; the library's reason follows.
inline constexpr std::string_view kPngReadFailed = "PNG read failed: "; // + path + ": " + library text
// libspng or the disk failed while writing; the reason follows.
inline constexpr std::string_view kPngWriteFailed = "PNG write failed: "; // + path + ": " + reason
// Only the New Picture's kinds go to the PNG writer.
inline constexpr std::string_view kPngNotWritable =
    " cannot be written as PNG: the picture is not of 1, 8 or 24 bits per pixel."; // path +

// ---- presets ------------------------------------------------------------------
inline constexpr std::string_view kPresetBadName =
    "A preset name cannot be empty or hold a / or \\: "; // + name
inline constexpr std::string_view kPresetNotSaved = "The preset could not be written: "; // + path
inline constexpr std::string_view kPresetNotRenamed = "The preset could not be renamed to: "; // + name
inline constexpr std::string_view kPresetNotDeleted = "The preset could not be deleted: "; // + path
inline constexpr std::string_view kPresetExists = "A preset of this name exists already: "; // + name

} // namespace lumacut::msg
