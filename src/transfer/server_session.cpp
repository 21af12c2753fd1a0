#include "transfer/server_session.h"

#include "core/local_file.h"

namespace velmora {

bool ServerSession::putFile(const std::string& localPath, const std::string& remotePath,
                            TransferType type)
{
    // Read whole first: a file that fails part-way must not go up cut short.
    const std::optional<std::string> bytes = readWholeFile(localPath);
    return bytes && putBytes(*bytes, remotePath, type);
}

} // namespace velmora
