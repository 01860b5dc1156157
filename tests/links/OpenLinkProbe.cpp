// Opens one target through the desktop and prints the launch result, so that every scenario
// meets a GIO that has read its desktop entries afresh.
#include <cstdio>

#include "links/GioLinkOpener.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TARGET\n", argv[0]);
        return 2;
    }
    vistrel::GioLinkOpener opener;
    std::printf("%d\n", opener.OpenLink(argv[1]));
    return 0;
}
