#include "app/about_box.h"

#include "app/program_windows.h"

namespace velmora {

void AboutBox::open(DescribedWindow& owner)
{
    if (!window_) {
        WindowEvents events;
        events.action = [this](WindowAction action) {
            if (action == WindowAction::OpenLink && openHomepage_)
                openHomepage_();
            else if (action == WindowAction::CloseWindow)
                window_->hide();
        };
        window_ = frontEnd_.openWindow(aboutBoxDescription(), std::move(events), &owner);
        window_->setText(kAboutLinkGadget, homepage_);
    }
    window_->show();
}

} // namespace velmora
