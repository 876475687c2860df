#pragma once
// GL, GLU and GLUT, for the window and drawing code only, from wherever the
// system keeps them; each GLUT header brings GL's and GLU's along. macOS
// has GLUT as a framework. freeglut built for Windows installs no
// GL/glut.h, only GL/freeglut.h, which includes <windows.h> first, as GL's
// header there needs.

#if defined(__APPLE__)
#include <GLUT/glut.h>
#elif defined(_WIN32)
#include <GL/freeglut.h>
#else
#include <GL/glut.h>
#endif
