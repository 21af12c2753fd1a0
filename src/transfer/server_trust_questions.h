#pragma once
// How the presenter is asked about a server whose certificate does not prove who it is, and what
// each failure to open a connection says.

#include "core/message_boxes.h"
#include "transfer/server_session.h"

#include <string>

namespace velmora {

enum class ChangedKeyAnswer {
    Refuse, // the presentation and most tools: a changed key stops them with both fingerprints
    Ask,    // "Verzeichnis prüfen": the place where the presenter may accept a new key
};

// The key file in workFolder (which ends in "/") and the platform's certificate authorities
// (caListFile()).
ServerTrustFiles serverTrustFiles(const std::string& workFolder);

// Questions asked through boxes, titled "Velmora": an unverified server with default button Yes,
// a changed key (where asked at all) with default button No.
ServerTrust presenterTrust(const ServerTrustFiles& files, MessageBoxes& boxes, BoxModality modality,
                           ChangedKeyAnswer changed);

// The text that reports a failed open (not Connected) to the presenter.
std::string openFailureText(FtpOpenResult result, const ServerSession& session);

} // namespace velmora
