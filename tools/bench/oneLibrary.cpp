// One library's run: its sections in order, its row to the caller.
#include "sections.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>

namespace bench {

int oneLibrary(const char* self, int fd, long passes) {
    libraryRow row;
    row.compat = SDL_Linked_Version()->patch >= 50 ? 1 : 0;
    std::printf("== %s\n", libraryName());
    startUpSection(self, passes, row);
    if (passes > 0) {
        passSection(passes, row);
        runMemorySection();
        screenUpdateSection(self, row);
        keyToScreenSection(self, row);
        particleCapSection(row);
        rollbackSection();
    }
    std::fflush(stdout);
    return write(fd, &row, sizeof row) == sizeof row ? 0 : 1;
}

} // namespace bench
