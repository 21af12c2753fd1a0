#include "capture/picture_conversion.h"

#include <cstdio>

namespace velmora {

bool convertPicture(ImageLibrary& library, const std::string& path,
                    const ConversionRequest& request)
{
    if (!request.downscale && !request.to256Colours)
        return false;

    const ImageHandle loaded = library.load(kImageFormatPng, path, 0);
    if (!loaded)
        return false;

    // Rescaling comes before quantizing: the box filter of a palette picture would bring the
    // colours back.
    ImageHandle first = nullptr;
    ImageHandle second = nullptr;
    ImageHandle result = nullptr;
    if (request.downscale) {
        first =
            library.rescale(loaded, request.pictureWidth, request.pictureHeight, kRescaleBoxFilter);
        if (request.to256Colours)
            second = library.colorQuantize(first, kQuantizeWu);
        result = request.to256Colours ? second : first;
    } else {
        first = library.colorQuantize(loaded, kQuantizeWu);
        result = first;
    }

    std::remove(path.c_str());
    library.save(kImageFormatPng, result, path, 0);

    library.unload(loaded);
    library.unload(first);
    if (second)
        library.unload(second);
    return true;
}

} // namespace velmora
