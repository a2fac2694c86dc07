// Image support: the image registry and decoder state that the toolkit's
// start-up creates and its shut-down empties, and the probe of the graphics
// helpers (alpha blending, the common-controls version, visual styles).
//
// ImageLibraryStart runs once, third in start-up (after the string buffer);
// ImageReleaseGraphicsLibrary and ImageLibraryEnd run after the window
// library has ended. The utility never creates an image, so the registry
// stays empty; ImageLibraryEnd still deletes whatever an image holds.
// GUI thread only.
#include "image/image_support.h"

#include <shlwapi.h>

#include "core/state_record.h"

// One image: its bitmap and what a decoder reported about it.
struct ImageObject {
  HBITMAP handle;        // first: non-null exactly while live
  int32_t width;         // pixels
  int32_t height;        // pixels
  int32_t depth;         // bits per pixel
};

typedef BOOL(WINAPI* AlphaBlendProc)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef HRESULT(CALLBACK* DllGetVersionProc)(DLLVERSIONINFO*);
typedef BOOL(WINAPI* IsAppThemedProc)(void);

// The decoder state; also what the probe found.
struct ImageState {
  HMODULE graphicsLibrary;   // "msimg32.dll", kept loaded until released
  AlphaBlendProc alphaBlend; // null when the system has none
  int32_t commonControlsMajor;
  int32_t visualStyles;      // non-zero: common controls 6 or later and a theme active
  int32_t decoderCount;      // decoders registered; none in this system
};

static ImageState* imageState;
static ObjectRegistry* imageRegistry;

ObjectRegistry* ImageRegistry(void) { return imageRegistry; }

// The registry's free callback, and the end's step for each image: the
// bitmap goes, and the record is zero-filled (numbered) or freed (dynamic).
static void ImageDiscard(int64_t number) {
  ImageObject* image = static_cast<ImageObject*>(RegistryLookup(imageRegistry, number));
  if (!image) return;
  if (image->handle) DeleteObject(image->handle);
  RegistryFree(imageRegistry, number);
}

static void ImageProbe(ImageState* state) {
  state->graphicsLibrary = LoadLibraryA("msimg32.dll");
  if (state->graphicsLibrary)
    state->alphaBlend = reinterpret_cast<AlphaBlendProc>(
        reinterpret_cast<void*>(GetProcAddress(state->graphicsLibrary, "AlphaBlend")));

  HMODULE commonControls = LoadLibraryA("COMCTL32.DLL");
  if (commonControls) {
    DllGetVersionProc getVersion =
        reinterpret_cast<DllGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(commonControls, "DllGetVersion")));
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof version;
    if (getVersion && SUCCEEDED(getVersion(&version))) state->commonControlsMajor = static_cast<int32_t>(version.dwMajorVersion);
    FreeLibrary(commonControls);
  }

  if (state->commonControlsMajor >= 6) {
    HMODULE themes = LoadLibraryA("uxtheme.dll");
    if (themes) {
      IsAppThemedProc isAppThemed =
          reinterpret_cast<IsAppThemedProc>(reinterpret_cast<void*>(GetProcAddress(themes, "IsAppThemed")));
      state->visualStyles = isAppThemed && isAppThemed() ? 1 : 0;
      FreeLibrary(themes);
    }
  }
}

void ImageLibraryStart(void) {
  imageState = static_cast<ImageState*>(StateRecordCreate(sizeof(ImageState), nullptr));
  imageRegistry = RegistryCreate(sizeof(ImageObject), 16, ImageDiscard);
  if (imageState) ImageProbe(imageState);
}

void ImageReleaseGraphicsLibrary(void) {
  if (!imageState || !imageState->graphicsLibrary) return;
  FreeLibrary(imageState->graphicsLibrary);
  imageState->graphicsLibrary = nullptr;
  imageState->alphaBlend = nullptr;
}

void ImageLibraryEnd(void) {
  if (!imageRegistry) return;
  // One walk: freeing the record just returned keeps the enumeration valid,
  // and a dynamic record without a bitmap (which a lookup takes as dead) is
  // freed too, so that no content can keep the walk going for ever.
  RegistryEnumStart(imageRegistry);
  int64_t number = 0;
  while (ImageObject* image = static_cast<ImageObject*>(RegistryEnumNext(imageRegistry, &number))) {
    if (image->handle) DeleteObject(image->handle);
    RegistryFree(imageRegistry, number);
  }
}
