#include "gui/settings_window.h"

#include "app/program_windows.h"

#include <QCloseEvent>

namespace velmora {

SettingsWindow::SettingsWindow(QWidget* owner, SettingsWindowEvents events)
    : QWidget(owner), events_(std::move(events)),
      gadgets_(*this, settingsWindowDescription().gadgets, font(),
               [this](WindowAction action) { events_(action, *this); })
{
    describeWindow(*this, settingsWindowDescription(), Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);
    centreOnScreen(*this, owner);
}

SettingsWindow::~SettingsWindow() = default;

std::string SettingsWindow::text(SettingsField field) const
{
    return gadgets_.text(static_cast<int>(field));
}

void SettingsWindow::setText(SettingsField field, const std::string& text)
{
    gadgets_.setText(static_cast<int>(field), text);
}

void SettingsWindow::focus(SettingsField field)
{
    gadgets_.focus(static_cast<int>(field));
}

bool SettingsWindow::checked(SettingsCheck box) const
{
    return gadgets_.checked(static_cast<int>(box));
}

void SettingsWindow::setChecked(SettingsCheck box, bool on)
{
    gadgets_.setChecked(static_cast<int>(box), on);
}

void SettingsWindow::closeWindow()
{
    closing_ = true;
    if (!inCloseEvent_)
        close();
    emit closed();
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        // The close box applies and saves like OK, only without the region check.
        inCloseEvent_ = true;
        events_(WindowAction::CloseBox, *this);
        inCloseEvent_ = false;
    }
    event->setAccepted(closing_);
}

} // namespace velmora
