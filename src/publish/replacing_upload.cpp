#include "publish/replacing_upload.h"

namespace velmora {

std::string uploadingName(const std::string& remotePath)
{
    return remotePath + ".upload";
}

bool putFileReplacing(FtpSession& session, const std::string& localPath,
                      const std::string& remotePath, TransferType type)
{
    const std::string temporary = uploadingName(remotePath);
    // A failed upload sends nothing more: the server may be gone, and the next try of the same
    // name overwrites whatever part of the temporary file arrived.
    if (!session.putFile(localPath, temporary, type))
        return false;
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
