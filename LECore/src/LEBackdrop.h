// LEBackdrop: a still picture behind a whole frame, kept as a finished frame. It
// is drawn as any draw is; once it has stayed the same for a second frame, the
// window's pixels (the clear colour and the picture) are kept in a window-sized
// texture, and while nothing that decides those pixels changes, later frames
// copy that texture into the frame instead of filtering the picture again (a
// full-window background is most of a frame's pixels). The game's level backgrounds draw through it;
// the graphics device's shutdown frees it.
#pragma once

struct LEMesh;

// Draws a unit-quad mesh with the current per-draw state as the frame's first
// draw, with the same pixels as LEMeshDraw. Anything else (a mesh that is not a
// unit quad, a frame already drawn into, no batching) is simply drawn.
void LEBackdropDraw(const LEMesh* mesh);
// Makes the window-sized texture, keeps one pixel and copies it back over
// itself (see LEGraphicsWarmUp).
void LEBackdropWarmUp();
// How many times the backdrop has been rendered anew (rather than copied).
int LEBackdropRenders();
void LEBackdropShutdown();
