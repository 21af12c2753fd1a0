#pragma once
// The reductions of the picture file through the image library: rescaled to the Picture size
// (the 75 % one), and/or cut down to a 256-colour palette.

#include "capture/image_library.h"

#include <string>

namespace velmora {

struct ConversionRequest {
    bool downscale = false;
    bool to256Colours = false;
    int pictureWidth = 0; // rescale target, already multiplied by the scale factor
    int pictureHeight = 0;
};

// Replaces the PNG file at path by its reduced form, and says whether it did. When the library
// cannot read the file, the file stays as it is (false). A reduction that fails passes "no
// picture" on and the file is then gone (true); the upload of this cycle reports it.
bool convertPicture(ImageLibrary& library, const std::string& path,
                    const ConversionRequest& request);

} // namespace velmora
