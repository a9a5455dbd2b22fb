#pragma once
// The user guide shown in the about box, assembled piece by piece.
#include <string>
#include <vector>

namespace lumacut {

// The authors named in the JPEG library's README (README.ijg, as installed
// with libjpeg-turbo's development files), in its order.
const std::vector<std::string>& JpegAuthors();

// Eight paragraphs joined by CR LF, no CR LF at the end. Pieces inside a
// paragraph are joined with nothing between them.
std::string BuildHelpText();

} // namespace lumacut
