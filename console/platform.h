#pragma once
// What the console does differently on each platform (platform_PLATFORM.cpp,
// which also defines console_standard_streams of console.h).

#include <string>

/// Tells a web page the question that the answer read next answers, which
/// names the page's answer field; elsewhere nothing.
void console_asking(const std::string& question);

/// Gives back the exit status for main to return. In a web page main has
/// given way to the browser at its first read, and what it returns after
/// that is lost: the program ends here with the status instead.
int console_exit(int status);
