#include "capture/image_library.h"
#include "core/message_titles.h"

namespace velmora {
namespace {

// 32-bit Windows builds of the library export stdcall names decorated with the argument bytes;
// everywhere else the names are plain.
#if defined(_WIN32) && !defined(_WIN64)
#define VELMORA_IMAGE_CALL __stdcall
#define VELMORA_IMAGE_EXPORT(name, argumentBytes) "_" name "@" #argumentBytes
#else
#define VELMORA_IMAGE_CALL
#define VELMORA_IMAGE_EXPORT(name, argumentBytes) name
#endif

using InitialiseFn = void(VELMORA_IMAGE_CALL*)(int);
using DeInitialiseFn = void(VELMORA_IMAGE_CALL*)();
using LoadFn = void*(VELMORA_IMAGE_CALL*)(int, const char*, int);
using RescaleFn = void*(VELMORA_IMAGE_CALL*)(void*, int, int, int);
using ColorQuantizeFn = void*(VELMORA_IMAGE_CALL*)(void*, int);
using SaveFn = int(VELMORA_IMAGE_CALL*)(int, void*, const char*, int);
using UnloadFn = void(VELMORA_IMAGE_CALL*)(void*);

template <typename Fn> Fn lookUp(const DynamicLibrary& library, const char* name)
{
    return reinterpret_cast<Fn>(library.symbol(name));
}

} // namespace

void ImageLibrary::initialise(int loadLocalPluginsOnly)
{
    if (auto fn = lookUp<InitialiseFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_Initialise", 4)))
        fn(loadLocalPluginsOnly);
}

void ImageLibrary::deInitialise()
{
    if (auto fn =
            lookUp<DeInitialiseFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_DeInitialise", 0)))
        fn();
}

ImageHandle ImageLibrary::load(int format, const std::string& path, int flags)
{
    auto fn = lookUp<LoadFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_Load", 12));
    return fn ? fn(format, path.c_str(), flags) : nullptr;
}

// The calls that take a picture are not made for "no picture": the result is the same 0 the
// library would give, without relying on every library release to check its argument.
ImageHandle ImageLibrary::rescale(ImageHandle picture, int width, int height, int filter)
{
    auto fn = lookUp<RescaleFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_Rescale", 16));
    return fn && picture ? fn(picture, width, height, filter) : nullptr;
}

ImageHandle ImageLibrary::colorQuantize(ImageHandle picture, int quantizer)
{
    auto fn = lookUp<ColorQuantizeFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_ColorQuantize", 8));
    return fn && picture ? fn(picture, quantizer) : nullptr;
}

int ImageLibrary::save(int format, ImageHandle picture, const std::string& path, int flags)
{
    auto fn = lookUp<SaveFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_Save", 16));
    return fn && picture ? fn(format, picture, path.c_str(), flags) : 0;
}

void ImageLibrary::unload(ImageHandle picture)
{
    auto fn = lookUp<UnloadFn>(library_, VELMORA_IMAGE_EXPORT("FreeImage_Unload", 4));
    if (fn && picture)
        fn(picture);
}

std::unique_ptr<ImageLibrary> LoadImageLibrary(const std::string& programFolder,
                                               MessageBoxes& boxes, const std::string& fileName)
{
    DynamicLibrary library = DynamicLibrary::open(programFolder + fileName);
    if (!library.loaded())
        library = DynamicLibrary::open(fileName);
    if (!library.loaded()) {
        boxes.show(titles::kError, "Die Library f\xFCr die Bildverarbeitung kann nicht ge\xF6"
                             "ffnet werden.");
        return nullptr;
    }
    auto imageLibrary = std::make_unique<ImageLibrary>(std::move(library));
    imageLibrary->initialise(0); // all plug-ins, not only the local ones
    return imageLibrary;
}

void UnloadImageLibrary(ImageLibrary& library)
{
    if (!library.loaded())
        return;
    library.deInitialise();
    library.release();
}

} // namespace velmora
