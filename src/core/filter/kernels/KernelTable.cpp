// The table of one kernel copy: plain or avx2 (CMakeLists.txt).
#include "filter/kernels/Lanes.h"

namespace lumacut::fast::LUMACUT_KERNELS {

extern const Kernels kKernels = {ReadRow, SumWindows, BilinearRow, GreySharp, TrueMix, TrueNear};

} // namespace lumacut::fast::LUMACUT_KERNELS
