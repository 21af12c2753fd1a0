// The FreeImage plugins whose codec libraries Debian removed from the source package. FreeImage
// registers its plugins in a fixed order and a format's number is its place in that order, so
// each of these still registers, under its usual name, only without load and save: FIF_PNG and
// the others keep the numbers that programs using the library were written against.
#include "FreeImage.h"
#include "Plugin.h"
#include "Utilities.h"

#define VELMORA_PLUGIN_WITHOUT_CODEC(INIT, NAME)                                                   \
    static const char* DLL_CALLCONV INIT##Format() { return NAME; }                              \
    void DLL_CALLCONV Init##INIT(Plugin* plugin, int) { plugin->format_proc = INIT##Format; }

VELMORA_PLUGIN_WITHOUT_CODEC(JPEG, "JPEG")
VELMORA_PLUGIN_WITHOUT_CODEC(TIFF, "TIFF")
VELMORA_PLUGIN_WITHOUT_CODEC(G3, "G3")
VELMORA_PLUGIN_WITHOUT_CODEC(EXR, "EXR")
VELMORA_PLUGIN_WITHOUT_CODEC(J2K, "J2K")
VELMORA_PLUGIN_WITHOUT_CODEC(JP2, "JP2")
VELMORA_PLUGIN_WITHOUT_CODEC(RAW, "RAW")
VELMORA_PLUGIN_WITHOUT_CODEC(WEBP, "WEBP")
VELMORA_PLUGIN_WITHOUT_CODEC(JXR, "JPEG-XR")
