#include "publish/presentation_cycle.h"

#include "core/message_titles.h"
#include "core/working_file_names.h"
#include "publish/data_page.h"
#include "publish/publish_messages.h"
#include "transfer/remote_path.h"
#include "transfer/replacing_upload.h"
#include "publish/retry_window.h"
#include "transfer/server_trust_questions.h"
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
    bool sentSomething = false;
    return runCycle(settings, CyclePicture{marker, 0}, advance, deadline, sentSomething);
}

bool PresentationCycle::present(const SettingsRecord& settings, CyclePicture picture)
{
    bool sentSomething = false;
    runCycle(settings, picture, PictureAdvance::HoldWhileFailing, std::nullopt, sentSomething);
    return sentSomething;
}

bool PresentationCycle::runCycle(const SettingsRecord& settings, CyclePicture picture,
                                 PictureAdvance advance,
                                 std::optional<std::chrono::steady_clock::time_point> deadline,
                                 bool& sentSomething)
{
    // A picture without a number (Clear's black one) replaces whatever the server showed.
    if (picture.number == 0)
        shared_.published.forget();
    const PublishedPicture::Known known = shared_.published.known();
    const bool pictureThere = picture.number != 0 && picture.number == known.picture;

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
        values.pictureNumber = shared_.pictureNumber;
        values.uploadTime = shared_.uploadTimeText.get();
        values.uploadCounter = shared_.uploadCounter;
    }
    const bool pageThere = pictureThere && composeDataPage(values) == dataPageOnServer_;
    if (pageThere && !shared_.viewerPage.pendingApply())
        return true; // nothing to send: no connection either
    sentSomething = true;

    bool anyFailure = false;
    // After any failure nothing is sure to be on the server: the next cycle sends everything.
    const auto failed = [&] {
        anyFailure = true;
        shared_.published.forget();
    };
    const auto fail = [&](const std::string& message) {
        failed();
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
    const std::uint32_t stopsAtStart = shared_.stops.load();
    if (stopsAtStart != stopsWhenKept_)
        connection_.endBeforeNextCycle();
    CycleConnection::Use connection = connection_.open(
        {settings.FTPServerName, settings.FTPUserName, settings.FTPPassword, deadline},
        std::move(trust));
    ServerSession& session = connection.session();
    const FtpOpenResult opened = connection.result();
    const bool stopsAtOnce = *declined || opened == FtpOpenResult::ServerKeyChanged;
    if (opened != FtpOpenResult::Connected && stopsAtOnce) {
        // Asking again at every cycle until the retry window ends would nag the presenter, and
        // a changed key must never be waited out.
        failed();
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
            failed();
            shared_.state = PresentationState::Stopped;
            boxes_.show(titles::kError, messages::kViewerPageNotCreated, BoxButtons::Ok,
                        BoxModality::SystemModal);
        } else if (session.putFile(page, remote("index.htm"), TransferType::Ascii)) {
            shared_.viewerPage.markSent(*apply);
        } else {
            fail(messages::kViewerPageNotUploaded);
        }
    }

    if (!pictureThere) {
        const std::int32_t number = nextPictureNumber(advance);
        shared_.pictureNumber = number;
        const std::string pictureName = "Velmora" + std::to_string(number) + ".png";
        // Spectators may still be fetching the picture that last had this name: it is replaced
        // in one step, never rewritten in place.
        if (!putFileReplacing(session, tempFolder_ + files::kPicture, remote(pictureName),
                              TransferType::Binary)) {
            // No data page: the one on the server keeps naming a picture that is complete.
            fail(messages::kPictureNotUploaded);
            return true;
        }
        values.pictureNumber = number;
        values.uploadTime = uploadTimeText(clock_.localSeconds());
        shared_.uploadTimeText.set(values.uploadTime);
        values.uploadCounter = shared_.uploadCounter.fetch_add(1) + 1;
    }

    if (!pageThere) {
        const std::string dataPage = tempFolder_ + files::kDataPage;
        if (!writeDataPage(dataPage, values))
            fail(messages::kDataPageNotCreated);
        else if (!session.putFile(dataPage, remote("Velmora.htm"), TransferType::Ascii))
            fail(messages::kDataPageNotUploaded);
    }
    if (!anyFailure && picture.number != 0) {
        dataPageOnServer_ = composeDataPage(values);
        shared_.published.record(known, picture.number);
    }

    // A cycle that went through without any failure ends a pending outage: the next short
    // outage gets a retry window of its own, and the picture names rotate again.
    if (!anyFailure)
        shared_.firstFailureTime = 0;
    // Only a running presentation's next cycle is sure to come; after Stop or Clear the server
    // should not have to hold an idle login.
    if (!anyFailure && startState == PresentationState::Running &&
        shared_.state == PresentationState::Running && shared_.stops.load() == stopsAtStart) {
        connection.keep();
        stopsWhenKept_ = stopsAtStart;
    }
    return true;
}

} // namespace velmora
