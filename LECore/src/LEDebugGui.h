// LEDebugGui: the Dear ImGui hookup. Owns the ImGui context and the small GL
// program, buffers and font texture that draw its output. The graphics device
// starts it, feeds it input at every frame start and renders it at every frame
// end; the test level opens one debug window with it.
#pragma once

void LEDebugGuiStart();
void LEDebugGuiShutdown();
void LEDebugGuiFrameStart();
void LEDebugGuiRender();
// Character the key produces when typed (0 for none), for the debug GUI's text input.
unsigned LEDebugGuiTypedChar(int virtualKey, bool shift, bool capsLock);
