#pragma once
// printf's "%f" for the coordinates too large for face_line.cpp's integer
// arithmetic; large_fixed_desktop.cpp and, in a web page, large_fixed_page.cpp.

#include <cstddef>

/// Writes v with six decimals, exactly as printf's "%f" does, into the
/// room from p to last; gives the end of what it wrote.
char* put_large_fixed(char* p, char* last, double v);
