#pragma once
// "Einstellungen" on Qt: the described window, its gadgets named "gadget<id>". Clicks and the
// close box go to the wiring as actions.

#include "app/settings_window_actions.h"
#include "gui/qt_gadgets.h"
#include "settings/settings_form.h"

#include <QWidget>

#include <functional>

namespace velmora {

class SettingsWindow final : public QWidget, public SettingsWindowView {
    Q_OBJECT
public:
    SettingsWindow(QWidget* owner, SettingsWindowEvents events);
    ~SettingsWindow() override;

    std::string text(SettingsField field) const override;
    void setText(SettingsField field, const std::string& text) override;
    void focus(SettingsField field) override;
    bool checked(SettingsCheck box) const override;
    void setChecked(SettingsCheck box, bool on) override;
    void closeWindow() override;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsWindowEvents events_;
    QtGadgets gadgets_;
    bool closing_ = false;
    bool inCloseEvent_ = false;
};

} // namespace velmora
