#pragma once
// The console line trakbox prints for each leg of the path.

#include <ostream>

#include "viewer/shapes.h"

/// Writes "WORD ravan CODE, x y z\n" in one call, each coordinate exactly as
/// printf's "%f" prints it widened to double. `code` is three characters.
void write_face_line(std::ostream& out, const char* word, const char* code, Point hit);
