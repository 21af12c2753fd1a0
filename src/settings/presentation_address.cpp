#include "settings/presentation_address.h"

namespace velmora {

std::string presentationAddressFor(std::string_view ftpSubDir)
{
    std::string address(kExampleSiteAddress);
    address += ftpSubDir;
    return address;
}

} // namespace velmora
