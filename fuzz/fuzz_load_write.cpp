// Load, write, load, write: never crash, never hang, and whatever loads and writes must come back from
// its own canonical text to the same bytes.
#include "document/Loader.h"
#include "document/Writer.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    tonvale::LoadResult first = tonvale::loadScript(input);
    if (!first.ok())
        return 0;
    tonvale::WriteResult once = tonvale::writeScript(first.tree);
    if (!once.ok)
        return 0;
    tonvale::LoadResult second = tonvale::loadScript(once.bytes);
    if (!second.ok()) {
        std::fprintf(stderr, "canonical text failed to load again\n");
        std::abort();
    }
    tonvale::WriteResult twice = tonvale::writeScript(second.tree);
    if (!twice.ok || twice.bytes != once.bytes) {
        std::fprintf(stderr, "canonical text is not stable\n");
        std::abort();
    }
    return 0;
}
