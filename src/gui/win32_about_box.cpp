#include "gui/win32_about_box.h"

#include "app/program_windows.h"

namespace velmora {

Win32AboutBox::Win32AboutBox(HWND owner, HFONT titleFont, const std::string& homepage,
                             std::function<void()> openHomepage)
    : Win32DescribedWindow(aboutBoxDescription(), owner, titleFont,
                           [this](WindowAction action) { onAction(action); }),
      openHomepage_(std::move(openHomepage))
{
    setText(kAboutLinkGadget, homepage);
}

void Win32AboutBox::onAction(WindowAction action)
{
    if (action == WindowAction::OpenLink && openHomepage_)
        openHomepage_();
    else if (action == WindowAction::CloseWindow)
        hide();
}

} // namespace velmora
