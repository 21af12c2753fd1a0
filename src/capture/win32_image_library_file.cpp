// The image library's file on Windows: the name the program has always looked for beside itself.

#include "capture/image_library.h"

namespace velmora {

const char* const kImageLibraryFile = "IMAGE.DLL";

} // namespace velmora
