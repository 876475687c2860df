// Feeds arbitrary bytes to trakflat's whole dialogue and traces the first
// legs of the path (see fuzz_check.h).

#include "fuzz_check.h"
#include "planar/dialogue.h"
#include "planar/planar_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzConsole c(data, size);
    FlatAnswers a;
    if (!flat_dialogue(c.con, a)) return 0;
    const float sz[2] = {a.table.width, a.table.height};
    const float st[2] = {a.start.x, a.start.y};
    const float dir[2] = {a.direction.x, a.direction.y};
    check_answers(2, sz, st, dir, a.bounces);
    trace_planar_path(Line{a.start, a.direction}, std::min(a.bounces, 50), a.table);
    check_legs(2, sz, dir);
    return 0;
}
