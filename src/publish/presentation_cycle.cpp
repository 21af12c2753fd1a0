#include "publish/presentation_cycle.h"

#include "core/message_titles.h"
#include "core/working_file_names.h"
#include "publish/data_page.h"
#include "publish/publish_messages.h"
#include "publish/remote_path.h"
#include "publish/replacing_upload.h"
#include "publish/retry_window.h"
#include "publish/server_trust_questions.h"
#include "publish/upload_time_text.h"
#include "publish/viewer_page.h"

#include <memory>
#include <utility>

namespace velmora {

PresentationCycle::PresentationCycle(SharedPresentation& shared, MessageBoxes& boxes, Clock& clock,
                                     std::string tempFolder, FtpTimeouts timeouts,
                                     ServerTrustFiles trust)
    : shared_(shared), boxes_(boxes), clock_(clock), tempFolder_(std::move(tempFolder)),
      trust_(std::move(trust)), connection_(timeouts)
{
}

std::int32_t PresentationCycle::nextPictureNumber(PictureAdvance advance) const
{
    const std::int32_t current = shared_.pictureNumber.load();
    // Before the first picture there is no name to hold on to: holding 0 would publish a fourth
    // file "Velmora0.png" that clearing never overwrites.
    const bool hold = advance == PictureAdvance::HoldWhileFailing &&
                      shared_.firstFailureTime.load() != 0 && current >= 1 && current <= 3;
    if (hold)
        return current;
    return (current >= 1 && current < 3) ? current + 1 : 1;
}

bool PresentationCycle::run(const SettingsRecord& settings, PointerMarker marker,
                            PictureAdvance advance,
                            std::optional<std::chrono::steady_clock::time_point> deadline)
{
    bool anyFailure = false;
    const auto fail = [&](const std::string& message) {
        anyFailure = true;
        noteCycleFailure(shared_, clock_, boxes_, settings.InternetRetryTime, message);
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
    const PresentationState startState = shared_.state;
    CycleConnection::Use connection = connection_.open(
        {settings.FTPServerName, settings.FTPUserName, settings.FTPPassword, deadline},
        std::move(trust));
    FtpSession& session = connection.session();
    const FtpOpenResult opened = connection.result();
    const bool stopsAtOnce = *declined || opened == FtpOpenResult::ServerKeyChanged ||
                             opened == FtpOpenResult::TransportUnavailable;
    if (opened != FtpOpenResult::Connected && stopsAtOnce) {
        // Asking again at every cycle until the retry window ends would nag the presenter, and
        // a changed key must never be waited out.
        shared_.state = PresentationState::Stopped;
        shared_.firstFailureTime = 0;
        boxes_.show(titles::kError, openFailureText(opened, session), BoxButtons::Ok,
                    BoxModality::SystemModal);
        return false;
    }
    if (opened != FtpOpenResult::Connected) {
        fail(openFailureText(opened, session));
        return true;
    }

    if (const auto apply = shared_.viewerPage.pendingApply()) {
        const std::string page = tempFolder_ + files::kViewerPage;
        if (!writeViewerPage(page)) {
            // A local fault that waiting will not mend: reported at once.
            anyFailure = true;
            shared_.state = PresentationState::Stopped;
            boxes_.show(titles::kError, messages::kViewerPageNotCreated, BoxButtons::Ok,
                        BoxModality::SystemModal);
        } else if (session.putFile(page, remote("index.htm"), TransferType::Ascii)) {
            shared_.viewerPage.markSent(*apply);
        } else {
            fail(messages::kViewerPageNotUploaded);
        }
    }

    const std::int32_t picture = nextPictureNumber(advance);
    shared_.pictureNumber = picture;
    const std::string pictureName = "Velmora" + std::to_string(picture) + ".png";
    // Spectators may still be fetching the picture that last had this name: it is replaced in
    // one step, never rewritten in place.
    if (!putFileReplacing(session, tempFolder_ + files::kPicture, remote(pictureName),
                          TransferType::Binary)) {
        // No data page: the one on the server keeps naming a picture that is complete.
        fail(messages::kPictureNotUploaded);
        return true;
    }
    const std::string uploadTime = uploadTimeText(clock_.localSeconds());
    shared_.uploadTimeText.set(uploadTime);
    const std::int32_t counter = shared_.uploadCounter.fetch_add(1) + 1;

    DataPageValues values;
    values.pictureNumber = picture;
    values.uploadTime = uploadTime;
    values.uploadCounter = counter;
    values.homepage = settings.LizenzSite;
    if (settings.RemoteMousePointer > 0) {
        values.markerX = marker.x;
        values.markerY = marker.y;
    }
    values.refreshMs = settings.BrowserRefresh;
    const std::string dataPage = tempFolder_ + files::kDataPage;
    if (!writeDataPage(dataPage, values))
        fail(messages::kDataPageNotCreated);
    else if (!session.putFile(dataPage, remote("Velmora.htm"), TransferType::Ascii))
        fail(messages::kDataPageNotUploaded);

    // A cycle that went through without any failure ends a pending outage: the next short
    // outage gets a retry window of its own, and the picture names rotate again.
    if (!anyFailure)
        shared_.firstFailureTime = 0;
    // Only a running presentation's next cycle is sure to come; after Stop or Clear the server
    // should not have to hold an idle login.
    if (!anyFailure && startState == PresentationState::Running &&
        shared_.state == PresentationState::Running)
        connection.keep();
    return true;
}

} // namespace velmora
