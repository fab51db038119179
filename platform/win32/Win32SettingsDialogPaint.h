// What the settings dialog paints itself: the lowered bevel and the face of its group box.
#pragma once

#include "platform/win32/WindowsApi.h"

namespace swfsaver::win32 {

// Bevel1, an owner-drawn static: a shadow line over a light one, as a lowered frame two
// pixels high.
void DrawLoweredBevel(const DRAWITEMSTRUCT& item);

// GroupBox1 draws only its frame, and the colour requests of the labels in it reach its own
// procedure. From now on it fills its face itself and hands those requests on to the form,
// so the labels look as they do on the form.
void PaintGroupBoxFace(HWND groupBox);

}  // namespace swfsaver::win32
