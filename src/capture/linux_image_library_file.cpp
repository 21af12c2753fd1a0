// The image library's file on Linux: Debian's FreeImage, found by the dynamic loader's search
// when the Program folder holds none.

#include "capture/image_library.h"

namespace velmora {

const char* const kImageLibraryFile = "libfreeimage.so.3";

} // namespace velmora
