#include "server_tools/install_login.h"

#include "core/message_titles.h"
#include "core/working_file_names.h"
#include "core/local_file.h"
#include "transfer/remote_path.h"
#include "server_tools/login_files.h"
#include "server_tools/server_directory_tools.h"

namespace velmora {
namespace {

constexpr char kAccessRulesNotCreated[] = "Die htaccess-Datei kann nicht erstellt werden.";
constexpr char kAccessRulesNotInstalled[] = "Die htaccess-Datei kann nicht installiert werden.";
constexpr char kPasswordListNotCreated[] = "Die htpasswd-Datei kann nicht erstellt werden.";
constexpr char kPasswordListNotInstalled[] = "Die htpasswd-Datei kann nicht installiert werden.";
constexpr char kInstalled[] = "Das Login-System ist installiert.\r\n"
                              "Bitte online pr\xFC"
                              "fen unter: http://www.example.com/meinverzeichnis/";
constexpr char kOnlyEightCount[] = "\r\nDas Login sch\xFCtzt das Verzeichnis, aber vom Passwort "
                                   "z\xE4hlen nur die ersten 8 Zeichen.";
constexpr char kAccessRulesWithdrawn[] =
    "\r\nDie htaccess-Datei wurde wieder entfernt, damit das Verzeichnis offen bleibt.";
constexpr char kAccessRulesStuck[] =
    "\r\nDie htaccess-Datei konnte nicht wieder entfernt werden. Das Verzeichnis ist jetzt "
    "eventuell f\xFCr alle Zuschauer gesperrt.\r\n"
    "Bitte das Login-System erneut installieren oder vom Server entfernen.";

// Access rules without their password list make Apache refuse every spectator (500 or 401), so
// they go again. Gives the sentence that tells the presenter what the directory is left with.
std::string withdrawAccessRules(ServerSession& session)
{
    return session.deleteFile(kAccessRulesRemoteName) ? kAccessRulesWithdrawn : kAccessRulesStuck;
}

} // namespace

void InstallLogin(SettingsFields& fields, MessageBoxes& boxes,
                  const std::function<void()>& stopPresentation, const std::string& tempFolder,
                  const FtpTimeouts& timeouts, const ServerTrustFiles& trust)
{
    constexpr BoxModality modality = BoxModality::Ordinary;
    const auto tell = [&](const std::string& title, const std::string& text) {
        boxes.show(title, text, BoxButtons::Ok, modality);
    };

    NormaliseDirectoryFields(fields);
    const std::string absolutePath = fields.text(SettingsField::HtpasswdPath);
    const std::string loginId = fields.text(SettingsField::LoginId);
    const std::string loginPassword = fields.text(SettingsField::LoginPassword);
    // Refused before anything is written: a broken password list would lock everyone out.
    if (const auto problem = loginInputProblem(loginId, loginPassword)) {
        tell(titles::kError, *problem);
        return;
    }
    // An empty login would lock nobody out while the presenter believes the directory closed.
    if (const auto problem = missingLoginProblem(loginId, loginPassword)) {
        tell(titles::kError, *problem);
        return;
    }

    const std::unique_ptr<ServerSession> connection =
        openToolConnection(fields, boxes, stopPresentation, modality, timeouts, trust);
    if (!connection)
        return;
    ServerSession& session = *connection;
    // An empty path would leave the FTP server in the login directory, where the files could
    // replace the access rules of the whole web site.
    if (!usableAbsolutePath(absolutePath) || !session.setCurrentDirectory(absolutePath)) {
        session.close();
        tell(titles::kError, kPathInvalid + absolutePath);
        return;
    }

    int successes = 0;
    bool accessRulesUp = false;
    const std::string accessRules = tempFolder + files::kAccessRules;
    if (!writeWholeFile(accessRules, accessRulesText(kLoginRealm, absolutePath))) {
        tell(titles::kError, kAccessRulesNotCreated);
    } else if (session.putFile(accessRules, kAccessRulesRemoteName, TransferType::Ascii)) {
        ++successes;
        accessRulesUp = true;
    } else {
        tell(titles::kError, kAccessRulesNotInstalled);
    }

    const std::string passwordList = tempFolder + files::kPasswordList;
    const auto passwordListFailed = [&](const std::string& text) {
        tell(titles::kError, accessRulesUp ? text + withdrawAccessRules(session) : text);
    };
    if (!writeWholeFile(passwordList, passwordListText(loginId, loginPassword)))
        passwordListFailed(kPasswordListNotCreated);
    else if (session.putFile(passwordList, kPasswordListRemoteName, TransferType::Ascii))
        ++successes;
    else
        passwordListFailed(kPasswordListNotInstalled);

    session.close();
    if (successes > 1)
        tell(titles::kInformation,
             std::string(kInstalled) +
                 (passwordLongerThanHashed(loginPassword) ? kOnlyEightCount : ""));
}

} // namespace velmora
