#pragma once
// "Einstellungen": every gadget at its pixel place, created in the order that gives the tab
// order. Each gadget's object name is "gadget<id>". Clicks go to its SettingsWindowActions.

#include "settings/settings_form.h"

#include <QRegularExpressionValidator>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLineEdit;

namespace velmora {

class SettingsWindow final : public QWidget, public SettingsWindowView {
    Q_OBJECT
public:
    SettingsWindow(QWidget* owner, SettingsWindowActions actions);
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
    template <typename Gadget>
    Gadget& add(int id, int x, int y, int width, int height);
    QLineEdit& field(SettingsField id) const;
    QCheckBox& box(SettingsCheck id) const;
    void onClick(int id, std::function<void()> action);

    SettingsWindowActions actions_;
    QRegularExpressionValidator digitsOnly_; // number fields take typed digits only
    std::vector<std::unique_ptr<QWidget>> gadgets_;
    std::map<int, QWidget*> byId_;
    bool closing_ = false;
    bool inCloseEvent_ = false;
};

} // namespace velmora
