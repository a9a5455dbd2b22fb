#include "view/StatusTexts.h"

namespace lumacut {

std::string g_sizeText = kSizeTextStart;
std::string g_newSizeText = kNewSizeTextStart;

} // namespace lumacut
