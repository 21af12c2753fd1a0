#include "transfer/replacing_upload.h"

namespace velmora {

std::string uploadingName(const std::string& remotePath)
{
    return remotePath + ".upload";
}

bool putBytesReplacing(ServerSession& session, const std::string& bytes,
                       const std::string& remotePath, TransferType type)
{
    const std::string temporary = uploadingName(remotePath);
    // A failed upload sends nothing more: the server may be gone, and the next try of the same
    // name overwrites whatever part of the temporary file arrived.
    if (!session.putBytes(bytes, temporary, type))
        return false;
    // Some servers cut the end off an upload over TLS and still report success (or report the
    // failure only after the fact); a cut picture must never take the place of a whole one. A
    // server that cannot tell the size is trusted with its word. Text files change size with
    // their line ends on the way, so only binary ones are measured.
    if (type == TransferType::Binary) {
        const auto remoteSize = session.fileSize(temporary);
        if (remoteSize && *remoteSize != static_cast<long long>(bytes.size())) {
            session.deleteFile(temporary);
            return false;
        }
    }
    FtpRenameResult renamed = session.renameFile(temporary, remotePath);
    // Only the existing file was in the way: with it gone the rename is tried once more.
    if (renamed == FtpRenameResult::DestinationRefused && session.deleteFile(remotePath))
        renamed = session.renameFile(temporary, remotePath);
    if (renamed == FtpRenameResult::Renamed)
        return true;
    session.deleteFile(temporary);
    return false;
}

} // namespace velmora
