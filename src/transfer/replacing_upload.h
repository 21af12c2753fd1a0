#pragma once
// Uploading a file that web visitors may be reading at that very moment. The bytes go to a
// temporary name beside the file and are then renamed over it, so the file's own name always
// holds a complete version: on POSIX servers the rename replaces it in one step, and a web server
// still sending the old file goes on sending the old, whole one.

#include "transfer/server_session.h"

#include <string>

namespace velmora {

// The temporary name of remotePath while it is uploaded: in the same directory, and with an
// ending that no file of the presentation has and that the viewer never asks for.
std::string uploadingName(const std::string& remotePath);

// STOR of bytes to uploadingName(remotePath), then for a binary file SIZE of it, which must
// match bytes where the server tells it, then RNFR/RNTO onto remotePath. A server that refuses
// to rename onto an existing name gets DELE of remotePath and a second RNFR/RNTO. False when the
// upload or the rename failed; a temporary file the server took but could not rename is deleted
// again where the server allows.
bool putBytesReplacing(ServerSession& session, const std::string& bytes,
                       const std::string& remotePath, TransferType type);

} // namespace velmora
