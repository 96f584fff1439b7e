#pragma once

// The view draws with the fixed-function pipeline: every context is a
// compatibility context with a depth buffer. Call before the application object.
void choose_surface_format();

// True when the platform can make an OpenGL context (Qt's offscreen
// platform cannot show an OpenGL widget, so it counts as none). On success
// every library loaded so far, the GL driver among them, stays loaded for the
// rest of the run: the driver is then not unloaded and reloaded between
// contexts, and a leak checker at exit can still name it.
bool has_opengl();
