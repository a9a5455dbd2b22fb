// lumacut-render: the headless renderer. (First cut: not yet written.)
#include <cstdio>

int main()
{
    std::fputs("lumacut-render: not yet written\n", stderr);
    return 1;
}
