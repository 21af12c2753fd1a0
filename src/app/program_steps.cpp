#include "app/program_steps.h"

#include "settings/settings_store.h"

namespace velmora {

ProgramSteps::ProgramSteps(const ProgramFolders& folders, MessageBoxes& boxes,
                           SettingsRecord& settings)
    : folders_(folders), boxes_(boxes), settings_(settings)
{
}

bool ProgramSteps::loadImageLibrary()
{
    return true;
}

void ProgramSteps::loadSettings()
{
    LoadSettings(settings_, folders_.work, boxes_);
}

void ProgramSteps::attach(SharedPresentation& shared, StatusDisplay& display)
{
    shared_ = &shared;
    display_ = &display;
}

void ProgramSteps::startRegionFrame() {}
void ProgramSteps::openSettingsWindow() {}
void ProgramSteps::stopRegionFrame() {}
void ProgramSteps::unloadImageLibrary() {}

void ProgramSteps::captureDesktopPicture(const SettingsRecord&) {}
void ProgramSteps::runPresentationCycle(const SettingsRecord&) {}

void ProgramSteps::clearPresentation(const SettingsRecord&,
                                     const std::function<void()>& waitForUpload)
{
    shared_->state = PresentationState::Cleared;
    shared_->firstFailureTime = 0;
    waitForUpload();
}

} // namespace velmora
