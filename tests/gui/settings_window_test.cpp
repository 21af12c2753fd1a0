// The settings window in-process: its gadgets, filling and applying, and what OK and the close
// box do, with the region check and the tools recorded instead of run.

#include "app/described_settings_window.h"
#include "app/program_windows.h"
#include "app/settings_window_actions.h"
#include "gui/qt_front_end.h"
#include "settings/settings_store.h"
#include "support/fake_message_boxes.h"
#include "support/file_bytes.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {
namespace {

// The region tools and the server tools, recorded instead of run.
struct RecordingTools {
    bool regionValid = true;
    std::vector<std::string> calls;

    RegionTools region()
    {
        RegionTools tools;
        tools.validateRegionText = [this](SettingsFields& fields) {
            calls.push_back("validate");
            if (!regionValid)
                fields.focus(SettingsField::ScreenRegion);
            return regionValid;
        };
        tools.startRegionFrame = [this] { calls.push_back("startFrame"); };
        tools.stopRegionFrame = [this] { calls.push_back("stopFrame"); };
        tools.showPreview = [this] { calls.push_back("preview"); };
        return tools;
    }

    SettingsWindowActions actions(SettingsRecord& settings, SharedPresentation& shared,
                                  const std::string& work, MessageBoxes& boxes)
    {
        SettingsWindowActions actions =
            settingsWindowActions(settings, shared, work, boxes, region());
        actions.pickRegion = [this](SettingsWindowView&) { calls.push_back("picker"); };
        actions.checkServerDirectory = [this](SettingsWindowView& view) {
            calls.push_back("check:" + view.text(SettingsField::ServerName));
        };
        actions.loadAbsoluteServerPath = [this](SettingsWindowView& view) {
            calls.push_back("load");
            view.setText(SettingsField::HtpasswdPath, "/srv/www/demo/");
        };
        actions.installLogin = [this](SettingsWindowView&) { calls.push_back("install"); };
        actions.removeLogin = [this](SettingsWindowView&) { calls.push_back("remove"); };
        return actions;
    }
};

// The application object comes from the tests' own main().
class SettingsWindowTest : public ::testing::Test {
protected:
    // The window as the wiring opens it: described, its clicks going to the actions.
    std::unique_ptr<DescribedSettingsWindow> open()
    {
        const SettingsWindowEvents events =
            settingsWindowEvents(services.actions(settings, shared, work, boxes));
        WindowEvents described;
        described.action = [this, events](WindowAction action) { events(action, *form); };
        return std::make_unique<DescribedSettingsWindow>(
            frontEnd.openWindow(settingsWindowDescription(), std::move(described), nullptr), [] {});
    }
    template <typename Gadget> Gadget* gadget(int id)
    {
        return window.findChild<Gadget*>(QStringLiteral("gadget%1").arg(id));
    }
    QLineEdit& field(int id) { return *gadget<QLineEdit>(id); }
    void click(int id) { gadget<QPushButton>(id)->click(); }
    std::string savedFile() { return test::fileBytes(work + "Velmora.prf"); }

    test::TemporaryFolder folder;
    std::string work = folder.path() + "/";
    SettingsRecord settings;
    SharedPresentation shared;
    test::FakeMessageBoxes boxes;
    RecordingTools services;
    QtFrontEnd frontEnd;
    std::unique_ptr<DescribedSettingsWindow> form = open();
    QWidget& window = dynamic_cast<QWidget&>(form->window());
};

TEST_F(SettingsWindowTest, GadgetsSitAtTheirPlacesInCreationOrder)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(window.size(), QSize(694, 482));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    const struct {
        int id;
        QRect place;
    } expected[] = {{7, {5, 10, 335, 225}},    {9, {15, 55, 315, 20}},    {17, {180, 175, 150, 20}},
                    {18, {15, 205, 150, 20}},  {20, {15, 275, 320, 45}},  {22, {15, 345, 265, 20}},
                    {23, {285, 345, 45, 20}},  {29, {180, 415, 150, 20}}, {40, {360, 102, 143, 20}},
                    {43, {510, 125, 144, 20}}, {38, {360, 222, 315, 20}}, {34, {360, 317, 37, 20}},
                    {49, {360, 346, 37, 20}},  {46, {360, 375, 37, 20}},  {52, {585, 452, 90, 25}}};
    for (const auto& [id, place] : expected) {
        auto* widget = gadget<QWidget>(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_EQ(widget->geometry(), place) << id;
    }
    // Creation order is the table's order, so the children list follows it.
    QStringList order;
    for (QObject* child : gadget<QWidget>(7)->parentWidget()->children())
        if (child->objectName().startsWith(QStringLiteral("gadget")))
            order << child->objectName().mid(6);
    EXPECT_EQ(order.mid(0, 4), (QStringList{"7", "8", "9", "10"}));
    EXPECT_EQ(order.mid(order.indexOf("32"), 4), (QStringList{"32", "39", "40", "41"}));
    EXPECT_EQ(order.last(), QStringLiteral("52"));

    EXPECT_EQ(field(17).echoMode(), QLineEdit::Password);
    EXPECT_EQ(field(27).echoMode(), QLineEdit::Normal);
    EXPECT_EQ(field(34).text(), QStringLiteral("0"));
    EXPECT_EQ(field(49).text(), QStringLiteral("30"));
    EXPECT_EQ(field(46).text(), QStringLiteral("2000"));
    EXPECT_EQ(field(34).maxLength(), 600);
    EXPECT_EQ(field(46).maxLength(), 999999);
    EXPECT_EQ(gadget<QLabel>(8)->text(), QStringLiteral("Servername  (Bsp.  ftp.example.com)"));
    EXPECT_EQ(gadget<QPushButton>(18)->text(), QStringLiteral("Verzeichnis prüfen"));
}

TEST_F(SettingsWindowTest, NumberFieldsTakeDigitsOnly)
{
    field(34).clear();
    for (const char* typed : {"9", "a", "0", "-", "0"})
        field(34).insert(QString::fromLatin1(typed));
    EXPECT_EQ(field(34).text(), QStringLiteral("900"));
}

TEST_F(SettingsWindowTest, FillThenApplyKeepsEveryValueAndSaves)
{
    settings.FTPServerName = "ftp.example.net:2121";
    settings.FTPWebDir = "public_html/";
    settings.FTPSubDir = "show/";
    settings.FTPUserName = "presenter";
    settings.FTPPassword = "s\xE9"
                           "cret";
    settings.LizenzSite = "https://example.net/";
    settings.HtpasswdPath = "/srv/www/show/";
    settings.HtpasswdLoginID = "guest";
    settings.HtpasswdLoginPass = "open";
    settings.PauseSeconds = 3;
    settings.RemoteMousePointer = 1;
    settings.Force256 = 1;
    settings.ForceDownscale = 0;
    settings.AutostartPresentation = 1;
    settings.ScreenRegion = "1,1,800,600";
    settings.BrowserRefresh = 1500;
    settings.InternetRetryTime = 45;
    const SettingsRecord before = settings;

    FillSettingsWindow(settings, *form);
    EXPECT_EQ(field(17).text(), QStringLiteral("s\u00E9cret"));
    EXPECT_TRUE(gadget<QCheckBox>(36)->isChecked());
    EXPECT_FALSE(gadget<QCheckBox>(37)->isChecked());
    shared.spectators().viewerPageSent(*shared.spectators().viewerPageDue());
    settings = SettingsRecord{};
    ApplySettingsWindow(*form, settings, shared, work, boxes);

    EXPECT_EQ(settings.FTPServerName, before.FTPServerName);
    EXPECT_EQ(settings.FTPPassword, before.FTPPassword);
    EXPECT_EQ(settings.FTPWebDir, before.FTPWebDir);
    EXPECT_EQ(settings.HtpasswdLoginPass, before.HtpasswdLoginPass);
    EXPECT_EQ(settings.LizenzSite, before.LizenzSite);
    EXPECT_EQ(settings.ScreenRegion, before.ScreenRegion);
    EXPECT_EQ(settings.PauseSeconds, 3);
    EXPECT_EQ(settings.BrowserRefresh, 1500);
    EXPECT_EQ(settings.InternetRetryTime, 45);
    EXPECT_EQ(settings.Force256, 1);
    EXPECT_EQ(settings.AutostartPresentation, 1);
    EXPECT_EQ(settings.PresentationAddress, "http://www.example.com/show/");
    EXPECT_FALSE(shared.spectators().viewerPageOnServer())
        << "the next cycle must send the viewer page again";

    SettingsRecord reloaded;
    LoadSettings(reloaded, work, boxes);
    EXPECT_EQ(reloaded.FTPUserName, "presenter");
    EXPECT_EQ(reloaded.FTPPassword, before.FTPPassword);
    EXPECT_EQ(reloaded.SettingVersion, 2);
}

TEST_F(SettingsWindowTest, ApplyTidiesDirectoriesHomepageAndNumbers)
{
    field(11).setText(QStringLiteral("/"));
    field(13).setText(QString());
    field(32).setText(QString());
    field(34).setText(QStringLiteral("900"));
    field(49).setText(QString());
    ApplySettingsWindow(*form, settings, shared, work, boxes);
    EXPECT_EQ(settings.FTPWebDir, "");
    EXPECT_EQ(settings.FTPSubDir, "mydirectory/");
    EXPECT_EQ(field(13).text(), QStringLiteral("mydirectory/")) << "tidied visibly";
    EXPECT_EQ(settings.LizenzSite, "http://");
    EXPECT_EQ(settings.PauseSeconds, 900) << "the typed number is applied unchanged";
    EXPECT_EQ(settings.InternetRetryTime, 0);

    field(11).setText(QStringLiteral("public_html"));
    field(13).setText(QStringLiteral("show"));
    field(32).setText(QStringLiteral("www.example.org"));
    ApplySettingsWindow(*form, settings, shared, work, boxes);
    EXPECT_EQ(settings.FTPWebDir, "public_html/");
    EXPECT_EQ(settings.FTPSubDir, "show/");
    EXPECT_EQ(settings.LizenzSite, "http://www.example.org");

    field(32).setText(QStringLiteral("ftp://files.example.org"));
    ApplySettingsWindow(*form, settings, shared, work, boxes);
    EXPECT_EQ(settings.LizenzSite, "ftp://files.example.org");
}

TEST_F(SettingsWindowTest, OkRefusesABadRegionButTheCloseBoxSavesIt)
{
    window.show();
    beforeOpeningSettingsWindow(shared, services.region());
    field(40).setText(QStringLiteral("10;10;200;200"));
    services.regionValid = false;
    click(52);
    EXPECT_TRUE(window.isVisible()) << "OK with a bad region keeps the window open";
    EXPECT_EQ(settings.ScreenRegion, "");
    EXPECT_EQ(savedFile(), "") << "nothing applied";

    shared.start(); // started again from the main window meanwhile
    window.close(); // the close box
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shared.state(), PresentationState::Stopped);
    EXPECT_EQ(settings.ScreenRegion, "10;10;200;200");
    EXPECT_NE(savedFile().find("ScreenRegion = 10;10;200;200\r\n"), std::string::npos)
        << savedFile();
    EXPECT_EQ(services.calls, (std::vector<std::string>{"stopFrame", "validate", "startFrame"}));
}

TEST_F(SettingsWindowTest, OkWithAGoodRegionAppliesClosesAndRestartsTheFrame)
{
    window.show();
    field(40).setText(QStringLiteral("1,1,800,600"));
    click(52);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(settings.ScreenRegion, "1,1,800,600");
    EXPECT_EQ(services.calls, (std::vector<std::string>{"validate", "startFrame"}));
}

TEST_F(SettingsWindowTest, PreviewAppliesAndStaysOpenToolsActOnTypedFields)
{
    window.show();
    field(9).setText(QStringLiteral("typed.example"));
    click(18);
    click(23);
    EXPECT_EQ(field(22).text(), QStringLiteral("/srv/www/demo/"));
    EXPECT_EQ(settings.FTPServerName, "") << "tools never change the record";
    click(44);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(settings.FTPServerName, "typed.example");
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"check:typed.example", "load", "validate", "preview"}));

    field(40).setText(QStringLiteral("1,1,2,2"));
    click(43);
    EXPECT_EQ(field(40).text(), QString());
}

} // namespace
} // namespace velmora
