// trakbox: a ball bouncing inside a box.

#include <iostream>

#include "box/box_path.h"
#include "box/dialogue.h"
#include "console/console.h"
#include "viewer/scene.h"
#include "viewer/viewer.h"

int main(int argc, char** argv) {
    console_standard_streams();
    std::ios::sync_with_stdio(false);
    Console con{std::cin, std::cout, std::cerr};
    BoxAnswers a;
    if (!box_dialogue(con, a)) return console_input_ended(con);

    box_table_add_to_scene(a.table);
    scene_add_point(a.start, colour::blue);
    trace_box_path(Line{a.start, a.direction}, a.table, a.bounces, a.start, std::cout);
    // Lines that could not be written must not pass for a finished run.
    if (const int status = console_output_lost(con)) return status;
    const float size[] = {a.table.width, a.table.height, a.table.depth};
    viewer_describe(size, 3, a.start, a.direction);
    viewer_run(argc, argv, 60.0);
}
