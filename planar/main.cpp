// trakflat: a ball bouncing on a rectangular table.

#include <iostream>

#include "console/console.h"
#include "viewer/scene.h"
#include "viewer/viewer.h"
#include "planar/dialogue.h"
#include "planar/planar_path.h"

int main(int argc, char** argv) {
    console_standard_streams();
    std::ios::sync_with_stdio(false);
    Console con{std::cin, std::cout, std::cerr};
    FlatAnswers a;
    if (!flat_dialogue(con, a)) return console_input_ended(con);

    rect_table_add_to_scene(a.table);
    scene_add_point(a.start, colour::blue);
    trace_planar_path(Line{a.start, a.direction}, a.bounces, a.table);
    // Lines that could not be written must not pass for a finished run.
    if (const int status = console_output_lost(con)) return status;
    const float size[] = {a.table.width, a.table.height};
    viewer_describe(size, 2, a.start, a.direction);
    viewer_run(argc, argv, 30.0);
}
