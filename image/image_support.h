// Image support: the image registry and decoder state that start-up creates
// and shut-down empties, and the probe of the graphics helpers. The utility
// never creates an image.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "core/registry.h"

ObjectRegistry* ImageRegistry(void);
// Decoder state, image registry, then the probe of "msimg32.dll"
// ("AlphaBlend"), "COMCTL32.DLL" ("DllGetVersion") and "uxtheme.dll"
// ("IsAppThemed").
void ImageLibraryStart(void);
// Releases "msimg32.dll" (loaded by the probe).
void ImageReleaseGraphicsLibrary(void);
// Frees every image still registered.
void ImageLibraryEnd(void);
