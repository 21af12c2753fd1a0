#include "publish/presentation_cycle.h"

#include "core/local_file.h"
#include "core/working_file_names.h"
#include "publish/data_page.h"
#include "publish/publish_messages.h"
#include "publish/upload_time_text.h"
#include "publish/viewer_page.h"
#include "transfer/remote_path.h"
#include "transfer/replacing_upload.h"
#include "transfer/server_trust_questions.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace velmora {
namespace {

// Removes a file when the scope ends, whichever way it ends; a file that is not there is fine.
class RemovedAtEnd {
public:
    explicit RemovedAtEnd(std::string path) : path_(std::move(path)) {}
    ~RemovedAtEnd()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    RemovedAtEnd(const RemovedAtEnd&) = delete;
    RemovedAtEnd& operator=(const RemovedAtEnd&) = delete;

private:
    std::string path_;
};

} // namespace

PresentationCycle::PresentationCycle(SharedPresentation& shared, MessageBoxes& boxes, Clock& clock,
                                     std::string tempFolder, FtpTimeouts timeouts,
                                     ServerTrustFiles trust)
    : shared_(shared), boxes_(boxes), clock_(clock), tempFolder_(std::move(tempFolder)),
      trust_(std::move(trust)), connection_(timeouts)
{
}

bool PresentationCycle::uploadPicture(ServerSession& session, const CyclePicture& picture,
                                      const std::string& remoteName)
{
    if (!picture.png)
        return false;
    const std::string copy = tempFolder_ + files::kUploadPicture;
    const RemovedAtEnd removed(copy);
    if (!writeWholeFile(copy, *picture.png))
        return false;
    // Spectators may still be fetching the picture that last had this name: it is replaced in
    // one step, never rewritten in place.
    return putFileReplacing(session, copy, remoteName, TransferType::Binary);
}

CycleOutcome PresentationCycle::run(const SettingsRecord& settings, const CyclePicture& picture,
                                    PictureAdvance advance,
                                    std::optional<std::chrono::steady_clock::time_point> deadline)
{
    SpectatorsRecord& spectators = shared_.spectators();
    // A picture without a number (Clear's black one) replaces whatever the server showed.
    if (picture.number == 0)
        spectators.forget();
    const SpectatorsRecord::Known known = spectators.known();
    const bool pictureThere = picture.number != 0 && picture.number == known.picture.picture;

    DataPageValues values;
    values.homepage = settings.LizenzSite;
    if (settings.RemoteMousePointer > 0) {
        values.markerX = picture.marker.x;
        values.markerY = picture.marker.y;
    }
    values.refreshMs = settings.BrowserRefresh;
    if (pictureThere) {
        // Name, counter and time stay those of the picture's upload: the viewer reloads no
        // picture, and the time says when the screen last changed.
        values.pictureNumber = shared_.pictureNumber();
        values.uploadTime = shared_.uploadTimeText();
        values.uploadCounter = shared_.uploadCounter();
    }
    const bool pageThere = pictureThere && composeDataPage(values) == known.dataPage;
    if (pageThere && !spectators.viewerPageDue())
        return CycleOutcome::NothingNew; // no connection either

    bool anyFailure = false;
    // After any failure nothing is sure to be on the server: the next cycle sends everything.
    const auto failed = [&] {
        anyFailure = true;
        spectators.forget();
    };
    const auto fail = [&](const std::string& message) {
        failed();
        shared_.failureNoted(clock_, boxes_, settings.InternetRetryTime, message);
    };
    const auto remote = [&](const std::string& name) {
        return remotePath(settings.FTPWebDir, settings.FTPSubDir, name);
    };

    ServerTrust trust =
        presenterTrust(trust_, boxes_, BoxModality::SystemModal, ChangedKeyAnswer::Refuse);
    // Shared with the question, which a kept session holds beyond this cycle.
    const auto declined = std::make_shared<bool>(false);
    trust.askUnverified = [ask = trust.askUnverified, declined](const UntrustedServer& server) {
        *declined = !ask(server);
        return !*declined;
    };
    const PresentationState startState = shared_.state();
    const std::uint32_t stopsAtStart = shared_.stops();
    if (stopsAtStart != stopsWhenKept_)
        connection_.endBeforeNextCycle();
    CycleConnection::Use connection = connection_.open(
        {settings.FTPServerName, settings.FTPUserName, settings.FTPPassword, deadline},
        std::move(trust));
    ServerSession& session = connection.session();
    const FtpOpenResult opened = connection.result();
    const bool stopsAtOnce = *declined || opened == FtpOpenResult::ServerKeyChanged ||
                             opened == FtpOpenResult::ServerKeyRevoked;
    if (opened != FtpOpenResult::Connected && stopsAtOnce) {
        // Asking again at every cycle until the retry window ends would nag the presenter, and
        // a changed or revoked key must never be waited out.
        failed();
        shared_.reportFailure(boxes_, openFailureText(opened, session));
        return CycleOutcome::Refused;
    }
    if (opened != FtpOpenResult::Connected) {
        fail(openFailureText(opened, session));
        return CycleOutcome::Sent;
    }

    if (const auto apply = spectators.viewerPageDue()) {
        const std::string page = tempFolder_ + files::kViewerPage;
        if (!writeViewerPage(page)) {
            // A local fault that waiting will not mend: reported at once.
            failed();
            shared_.stopWithMessage(boxes_, messages::kViewerPageNotCreated);
        } else if (session.putFile(page, remote("index.htm"), TransferType::Ascii)) {
            spectators.viewerPageSent(*apply);
        } else {
            fail(messages::kViewerPageNotUploaded);
        }
    }

    if (!pictureThere) {
        const std::int32_t number = shared_.advancePictureNumber(advance);
        if (!uploadPicture(session, picture, remote("Velmora" + std::to_string(number) + ".png"))) {
            // No data page: the one on the server keeps naming a picture that is complete.
            fail(messages::kPictureNotUploaded);
            return CycleOutcome::Sent;
        }
        values.pictureNumber = number;
        values.uploadTime = uploadTimeText(clock_.localSeconds());
        values.uploadCounter = shared_.pictureUploaded(values.uploadTime);
    }

    if (!pageThere) {
        const std::string dataPage = tempFolder_ + files::kDataPage;
        if (!writeDataPage(dataPage, values))
            fail(messages::kDataPageNotCreated);
        else if (!session.putFile(dataPage, remote("Velmora.htm"), TransferType::Ascii))
            fail(messages::kDataPageNotUploaded);
    }
    if (!anyFailure && picture.number != 0)
        spectators.published(known, picture.number, composeDataPage(values));

    // A cycle that went through without any failure ends a pending outage: the next short
    // outage gets a retry window of its own, and the picture names rotate again.
    if (!anyFailure)
        shared_.cycleWentThrough();
    // Only a running presentation's next cycle is sure to come; after Stop or Clear the server
    // should not have to hold an idle login.
    if (!anyFailure && startState == PresentationState::Running &&
        shared_.state() == PresentationState::Running && shared_.stops() == stopsAtStart) {
        connection.keep();
        stopsWhenKept_ = stopsAtStart;
    }
    return CycleOutcome::Sent;
}

} // namespace velmora
