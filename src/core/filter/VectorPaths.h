#pragma once
// Whether the fast render may take its AVX2 paths: the processor has AVX2,
// and they have not been switched off. Switched off, this machine renders as
// one without AVX2 would, which lets the tests check those paths too.
namespace lumacut::fast {

bool UseAvx2();
void AllowVectorPaths(bool allow);

} // namespace lumacut::fast
