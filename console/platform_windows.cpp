#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "console/console.h"
#include "console/platform.h"

// The C library's text mode would write each "\n" as "\r\n".
void console_standard_streams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void console_asking(const std::string&) {}

int console_exit(int status) { return status; }
