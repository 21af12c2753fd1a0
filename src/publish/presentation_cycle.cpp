#include "publish/presentation_cycle.h"

#include "core/working_file_names.h"
#include "publish/data_page.h"
#include "publish/publish_messages.h"
#include "publish/upload_time_text.h"
#include "publish/viewer_page.h"
#include "transfer/remote_path.h"
#include "transfer/replacing_upload.h"
#include "transfer/server_trust_questions.h"

#include <memory>
#include <utility>

namespace velmora {
namespace {

std::string remote(const SettingsRecord& settings, const std::string& name)
{
    return remotePath(settings.FTPWebDir, settings.FTPSubDir, name);
}

} // namespace

// One run: what it sends, measured against what the spectators have, and whether it failed.
struct PresentationCycle::Run {
    Run(const SettingsRecord& settings, const CyclePicture& picture, SpectatorsRecord::Known known)
        : settings(settings), picture(picture), known(std::move(known))
    {
    }

    const SettingsRecord& settings;
    const CyclePicture& picture;
    SpectatorsRecord::Known known;
    bool pictureThere = false; // the server's data page names this picture already
    bool pageThere = false;    // and that page is the one this run would send
    DataPageValues values;
    bool anyFailure = false;
};

PresentationCycle::PresentationCycle(SharedPresentation& shared, MessageBoxes& boxes, Clock& clock,
                                     std::string tempFolder, FtpTimeouts timeouts,
                                     ServerTrustFiles trust)
    : shared_(shared), boxes_(boxes), clock_(clock), tempFolder_(std::move(tempFolder)),
      trust_(std::move(trust)), connection_(timeouts)
{
}

CycleOutcome PresentationCycle::run(const SettingsRecord& settings, const CyclePicture& picture,
                                    PictureAdvance advance,
                                    std::optional<std::chrono::steady_clock::time_point> deadline)
{
    Run run = plan(settings, picture);
    if (run.pageThere && !shared_.spectators().viewerPageDue())
        return CycleOutcome::NothingNew; // no connection either

    const PresentationState startState = shared_.state();
    const std::uint32_t stopsAtStart = shared_.stops();
    if (stopsAtStart != stopsWhenKept_)
        connection_.endBeforeNextCycle();
    // Shared with the question, which a kept session holds beyond this cycle.
    const auto declined = std::make_shared<bool>(false);
    CycleConnection::Use connection = connection_.open(
        {settings.FTPServerName, settings.FTPUserName, settings.FTPPassword, deadline},
        cycleTrust(declined));
    if (connection.result() != FtpOpenResult::Connected)
        return notConnected(run, connection.result(), connection.session(), *declined);

    ServerSession& session = connection.session();
    sendViewerPage(run, session);
    if (!run.pictureThere && !sendPicture(run, session, advance))
        return CycleOutcome::Sent;
    if (!run.pageThere)
        sendDataPage(run, session);
    if (run.anyFailure)
        return CycleOutcome::Sent;

    wentThrough(run);
    // Only a running presentation's next cycle is sure to come; after Stop or Clear the server
    // should not have to hold an idle login.
    if (startState == PresentationState::Running && shared_.state() == PresentationState::Running &&
        shared_.stops() == stopsAtStart) {
        connection.keep();
        stopsWhenKept_ = stopsAtStart;
    }
    return CycleOutcome::Sent;
}

PresentationCycle::Run PresentationCycle::plan(const SettingsRecord& settings,
                                               const CyclePicture& picture)
{
    SpectatorsRecord& spectators = shared_.spectators();
    // A picture without a number (Clear's black one) replaces whatever the server showed.
    if (picture.number == 0)
        spectators.forget();
    Run run(settings, picture, spectators.known());
    run.pictureThere = picture.number != 0 && picture.number == run.known.picture.picture;

    DataPageValues& values = run.values;
    values.homepage = settings.LizenzSite;
    if (settings.RemoteMousePointer > 0) {
        values.markerX = picture.marker.x;
        values.markerY = picture.marker.y;
    }
    values.refreshMs = settings.BrowserRefresh;
    if (run.pictureThere) {
        // Name, counter and time stay those of the picture's upload: the viewer reloads no
        // picture, and the time says when the screen last changed.
        values.pictureNumber = shared_.pictureNumber();
        values.uploadTime = shared_.uploadTimeText();
        values.uploadCounter = shared_.uploadCounter();
    }
    run.pageThere = run.pictureThere && composeDataPage(values) == run.known.dataPage;
    return run;
}

ServerTrust PresentationCycle::cycleTrust(const std::shared_ptr<bool>& declined)
{
    ServerTrust trust =
        presenterTrust(trust_, boxes_, BoxModality::SystemModal, ChangedKeyAnswer::Refuse);
    trust.askUnverified = [ask = trust.askUnverified, declined](const UntrustedServer& server) {
        *declined = !ask(server);
        return !*declined;
    };
    return trust;
}

CycleOutcome PresentationCycle::notConnected(Run& run, FtpOpenResult opened,
                                             const ServerSession& session, bool declined)
{
    if (declined || opened == FtpOpenResult::ServerKeyChanged ||
        opened == FtpOpenResult::ServerKeyRevoked) {
        // Asking again at every cycle until the retry window ends would nag the presenter, and
        // a changed or revoked key must never be waited out.
        failed(run);
        shared_.reportFailure(boxes_, openFailureText(opened, session));
        return CycleOutcome::Refused;
    }
    fail(run, openFailureText(opened, session));
    return CycleOutcome::Sent;
}

void PresentationCycle::sendViewerPage(Run& run, ServerSession& session)
{
    const auto apply = shared_.spectators().viewerPageDue();
    if (!apply)
        return;
    const std::string page = tempFolder_ + files::kViewerPage;
    if (!writeViewerPage(page)) {
        // A local fault that waiting will not mend: reported at once.
        failed(run);
        shared_.stopWithMessage(boxes_, messages::kViewerPageNotCreated);
    } else if (session.putFile(page, remote(run.settings, "index.htm"), TransferType::Ascii)) {
        shared_.spectators().viewerPageSent(*apply);
    } else {
        fail(run, messages::kViewerPageNotUploaded);
    }
}

bool PresentationCycle::sendPicture(Run& run, ServerSession& session, PictureAdvance advance)
{
    const std::int32_t number = shared_.advancePictureNumber(advance);
    const std::string name = remote(run.settings, "Velmora" + std::to_string(number) + ".png");
    // Spectators may still be fetching the picture that last had this name: it is replaced in
    // one step, never rewritten in place. The bytes go up from memory, as the capture made them.
    const std::shared_ptr<const std::string>& png = run.picture.png;
    if (!png || !putBytesReplacing(session, *png, name, TransferType::Binary)) {
        // No data page: the one on the server keeps naming a picture that is complete.
        fail(run, messages::kPictureNotUploaded);
        return false;
    }
    run.values.pictureNumber = number;
    run.values.uploadTime = uploadTimeText(clock_.localSeconds());
    run.values.uploadCounter = shared_.pictureUploaded(run.values.uploadTime);
    return true;
}

void PresentationCycle::sendDataPage(Run& run, ServerSession& session)
{
    const std::string page = tempFolder_ + files::kDataPage;
    if (!writeDataPage(page, run.values))
        fail(run, messages::kDataPageNotCreated);
    else if (!session.putFile(page, remote(run.settings, "Velmora.htm"), TransferType::Ascii))
        fail(run, messages::kDataPageNotUploaded);
}

void PresentationCycle::wentThrough(const Run& run)
{
    if (run.picture.number != 0)
        shared_.spectators().published(run.known, run.picture.number, composeDataPage(run.values));
    // A cycle that went through without any failure ends a pending outage: the next short
    // outage gets a retry window of its own, and the picture names rotate again.
    shared_.cycleWentThrough();
}

void PresentationCycle::failed(Run& run)
{
    // After any failure nothing is sure to be on the server: the next cycle sends everything.
    run.anyFailure = true;
    shared_.spectators().forget();
}

void PresentationCycle::fail(Run& run, const std::string& message)
{
    failed(run);
    shared_.failureNoted(clock_, boxes_, run.settings.InternetRetryTime, message);
}

} // namespace velmora
