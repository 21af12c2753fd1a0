#pragma once
// The image library (FreeImage) loaded at run time. Each entry point is looked up by name at the
// moment of the call; a missing one makes the call do nothing and give 0, so a library of another
// release, or a stand-in, degrades to fewer reductions instead of failing to start.

#include "capture/dynamic_library.h"
#include "core/message_boxes.h"

#include <memory>
#include <string>

namespace velmora {

// A picture held by the library; nullptr stands for none.
using ImageHandle = void*;

constexpr int kImageFormatPng = 13;
constexpr int kRescaleBoxFilter = 0;
constexpr int kQuantizeWu = 0;

// The library file, looked for in the Program folder first; each platform names its own
// (linux_image_library_file.cpp, win32_image_library_file.cpp).
extern const char* const kImageLibraryFile;

class ImageLibrary {
public:
    ImageLibrary() = default; // not loaded: every call gives 0
    explicit ImageLibrary(DynamicLibrary library) : library_(std::move(library)) {}

    bool loaded() const { return library_.loaded(); }

    void initialise(int loadLocalPluginsOnly);
    void deInitialise();
    ImageHandle load(int format, const std::string& path, int flags);
    ImageHandle rescale(ImageHandle picture, int width, int height, int filter);
    ImageHandle colorQuantize(ImageHandle picture, int quantizer);
    int save(int format, ImageHandle picture, const std::string& path, int flags);
    void unload(ImageHandle picture);

    // Frees the library itself; every later call gives 0.
    void release() { library_.close(); }

private:
    DynamicLibrary library_;
};

// Start-up: loads the library (Program folder, which ends with "/", first; then the system's
// search) and initialises it with all plug-ins. When it cannot be loaded, shows "Fehler" / "Die
// Library für die Bildverarbeitung kann nicht geöffnet werden." and returns nullptr; the caller
// then leaves through the final cleanup.
std::unique_ptr<ImageLibrary> LoadImageLibrary(const std::string& programFolder,
                                               MessageBoxes& boxes,
                                               const std::string& fileName = kImageLibraryFile);

// Normal shut-down: de-initialises and frees the library.
void UnloadImageLibrary(ImageLibrary& library);

} // namespace velmora
