#pragma once
// Standard input in a web page. A browser cannot block on a read: the
// program must give way while the page waits for the user's next line.

#include <streambuf>

/// A stream buffer that awaits each piece of input the page hands over (a
/// typed line, or an answers file) and ends where the page's input ends.
std::streambuf& page_input();
