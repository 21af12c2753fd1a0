#pragma once
// What the spectators have, as far as the program knows: the picture that the data page on the
// server names (by the capture's number for it), the text of that data page, and whether the
// viewer page for the settings in force is on the server. The presentation cycle keeps it up to
// date; the capture consults it to tell news from what the server shows already.
//
// Start, Clear and every failure forget the picture and its page, so the next cycle sends
// everything; a cycle that was under way meanwhile cannot bring the old knowledge back. Applying
// the settings asks for the viewer page again, and an apply during its upload still gets its page.

#include "core/shared_text.h"
#include "publish/published_picture.h"
#include "publish/viewer_page_apply_count.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace velmora {

class SpectatorsRecord {
public:
    // What a cycle knows when it begins; it hands this back when it has published.
    struct Known {
        PublishedPicture::Known picture;
        std::string dataPage; // the page last sent for that picture
    };

    Known known() const { return {picture_.known(), dataPage_.get()}; }
    // The capture's number of the picture the spectators have; 0 when not known.
    std::uint32_t picture() const { return picture_.known().picture; }
    // After a cycle put picture and its data page up. Nothing is recorded when the knowledge
    // was forgotten since the cycle began.
    void published(const Known& since, std::uint32_t picture, std::string dataPage)
    {
        // The page first: the picture's number is what makes it count.
        dataPage_.set(std::move(dataPage));
        picture_.record(since.picture, picture);
    }
    // Nothing is sure to be on the server any more.
    void forget() { picture_.forget(); }

    // The apply the viewer page is to go up for; empty when it is on the server.
    std::optional<std::uint64_t> viewerPageDue() const { return viewerPage_.pendingApply(); }
    void viewerPageSent(std::uint64_t apply) { viewerPage_.markSent(apply); }
    bool viewerPageOnServer() const { return viewerPage_.sent(); }
    // The settings were applied: the next cycle sends the viewer page again.
    void settingsApplied() { viewerPage_.countApply(); }

private:
    PublishedPicture picture_;
    // Only ever read beside a picture that was recorded with it.
    SharedText dataPage_;
    ViewerPageApplyCount viewerPage_;
};

} // namespace velmora
