#include "app/program_windows.h"

#include "settings/settings_form.h"

namespace velmora {
namespace {

using K = GadgetKind;
using A = WindowAction;

constexpr int id(SettingsField field)
{
    return static_cast<int>(field);
}
constexpr int id(SettingsCheck box)
{
    return static_cast<int>(box);
}

// The fields and check boxes carry the numbers the settings form reads them by.
constexpr GadgetDescription kGadgets[] = {
    {7, K::Frame, {5, 10, 335, 225}, "FTP Einstellungen"},
    {8, K::Label, {15, 40, 315, 15}, "Servername  (Bsp.  ftp.example.com)"},
    {id(SettingsField::ServerName), K::Field, {15, 55, 315, 20}, ""},
    {10,
     K::Label,
     {15, 80, 315, 15},
     "Web-Verzeichnis  (Bsp.  public_html/  oder leer wenn Hauptverz.)"},
    {id(SettingsField::WebDir), K::Field, {15, 95, 315, 20}, ""},
    {12,
     K::Label,
     {15, 120, 315, 15},
     "Unterverzeichnis im Web-Verzeichnis  (Bsp.  meinverzeichnis/ )"},
    {id(SettingsField::SubDir), K::Field, {15, 135, 315, 20}, ""},
    {14, K::Label, {15, 160, 150, 15}, "UserID"},
    {id(SettingsField::UserName), K::Field, {15, 175, 150, 20}, ""},
    {16, K::Label, {180, 160, 150, 15}, "Passwort"},
    {id(SettingsField::Password), K::PasswordField, {180, 175, 150, 20}, ""},
    {18,
     K::Button,
     {15, 205, 150, 20},
     "Verzeichnis pr\xFC"
     "fen",
     A::CheckServerDirectory},
    {19, K::Frame, {5, 245, 335, 200}, "Login Einstellungen"},
    {20,
     K::WrappingLabel,
     {15, 275, 320, 45},
     "Die Pr\xE4sentation im obigen Unterverzeichnis kann mit LoginID und Passwort vor dem "
     "Zugriff gesch\xFCtzt werden, wenn sie auf einem Apache Webserver liegt (htaccess)."},
    {21, K::Label, {15, 330, 315, 15}, "Absoluter Verzeichnis-Pfad auf dem Server (notwendig)"},
    {id(SettingsField::HtpasswdPath), K::Field, {15, 345, 265, 20}, ""},
    {23, K::Button, {285, 345, 45, 20}, "Laden", A::LoadAbsoluteServerPath},
    {24, K::Label, {15, 370, 150, 15}, "LoginID"},
    {id(SettingsField::LoginId), K::Field, {15, 385, 150, 20}, ""},
    {26, K::Label, {180, 370, 150, 15}, "Passwort"},
    {id(SettingsField::LoginPassword), K::Field, {180, 385, 150, 20}, ""},
    {28, K::Button, {15, 415, 150, 20}, "Login auf Server installieren", A::InstallLogin},
    {29, K::Button, {180, 415, 150, 20}, "Login vom Server entfernen", A::RemoveLogin},
    {30, K::Frame, {350, 10, 335, 270}, "Pr\xE4sentation Einstellungen"},
    {31,
     K::Label,
     {360, 40, 315, 15},
     "Meine Homepage (wird am Ende der Pr\xE4sentation angezeigt)"},
    {id(SettingsField::Homepage), K::Field, {360, 55, 315, 20}, ""},
    {39,
     K::Label,
     {360, 87, 315, 15},
     "Ausgew\xE4hlter Bildschirmbereich (leer f\xFCr ganzen Bildschirm)"},
    {id(SettingsField::ScreenRegion), K::Field, {360, 102, 143, 20}, ""},
    {41, K::Label, {510, 105, 165, 15}, "Links,Oben,Rechts,Unten (Pixels)"},
    {42, K::Button, {360, 125, 144, 20}, "Bereich bestimmen", A::PickRegion},
    {43, K::Button, {510, 125, 144, 20}, "Ganzer Bildschirm", A::WholeScreen},
    {id(SettingsCheck::RemoteMousePointer),
     K::Check,
     {360, 155, 315, 20},
     "Mauszeiger als Kreuz in kleinem rotem Rechteck anzeigen"},
    {id(SettingsCheck::Force256),
     K::Check,
     {360, 175, 315, 20},
     "Anzeige auf 256 Farben beschr\xE4nken (schnellere \xDC"
     "bertragung)"},
    {id(SettingsCheck::ForceDownscale),
     K::Check,
     {360, 195, 315, 20},
     "Anzeige auf 75% verkleinern (kleinere Abbildung)"},
    {id(SettingsCheck::AutostartPresentation),
     K::Check,
     {360, 222, 315, 20},
     "Pr\xE4sentation automatisch nach Programmstart beginnen"},
    {44, K::Button, {360, 250, 315, 20}, "Vorschau der Anzeige", A::Preview},
    {45, K::Frame, {350, 291, 335, 154}, "Technische Einstellungen"},
    {id(SettingsField::PauseSeconds), K::NumberField, {360, 317, 37, 20}, "0", A::None, 600},
    {35, K::Label, {405, 320, 275, 15}, "Zus. Sekunden (max. 600) zwischen Desktop-Bildern"},
    {id(SettingsField::InternetRetryTime), K::NumberField, {360, 346, 37, 20}, "30", A::None, 600},
    {50,
     K::WrappingLabel,
     {405, 343, 275, 29},
     "Anzahl Sekunden (max. 600) w\xE4hrend derer versucht wird, eine Internetverbindung "
     "herzustellen (Standard: 30)"},
    {id(SettingsField::BrowserRefresh),
     K::NumberField,
     {360, 375, 37, 20},
     "2000",
     A::None,
     999999},
    {47, K::Label, {405, 379, 275, 15}, "Browser-Refresh in Millisekunden (Standard: 2000)"},
    {48,
     K::WrappingLabel,
     {361, 397, 320, 43},
     "In diesem Intervall stellt der Internet-Browser des Zuschauers eine Verbindung zum "
     "Server her, um zu pr\xFC"
     "fen, ob ein neues Abbild des Desktops zur Anzeige bereit ist."},
    {52, K::Button, {585, 452, 90, 25}, "OK", A::Ok},
};

} // namespace

const WindowDescription& settingsWindowDescription()
{
    static const WindowDescription window{
        .title = "Einstellungen",
        .clientWidth = 694,
        .clientHeight = 482,
        .placement = Placement::CentredOnScreen,
        .font = WindowFont::NarrowDialog,
        .gadgets = kGadgets,
    };
    return window;
}

} // namespace velmora
