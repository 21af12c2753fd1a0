#include "gui/about_box.h"

#include "app/program_windows.h"

#include <QLabel>

namespace velmora {

AboutBox::AboutBox(QWidget* owner, const QFont& titleFont, const QString& homepage,
                   std::function<void()> onLink)
    : QDialog(owner), onLink_(std::move(onLink)),
      gadgets_(*this, aboutBoxDescription().gadgets, titleFont,
               [this](WindowAction action) { act(action); })
{
    describeWindow(*this, aboutBoxDescription(), Qt::Dialog);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // A path of this system, in its own encoding: a long one keeps its start and its file name
    // in the link's fixed width.
    auto& link = static_cast<QLabel&>(gadgets_.at(kAboutLinkGadget));
    link.setText(link.fontMetrics().elidedText(homepage, Qt::ElideMiddle, link.width()));
    link.setToolTip(homepage);
    centreOnScreen(*this, owner);
}

void AboutBox::act(WindowAction action)
{
    if (action == WindowAction::OpenLink && onLink_)
        onLink_();
    else if (action == WindowAction::CloseWindow)
        close();
}

} // namespace velmora
