#include "gui/settings_window.h"

#include "gui/text_codec.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>

namespace velmora {

template <typename Gadget>
Gadget& SettingsWindow::add(int id, int x, int y, int width, int height)
{
    auto gadget = std::make_unique<Gadget>(this);
    gadget->setObjectName(QStringLiteral("gadget%1").arg(id));
    gadget->setGeometry(x, y, width, height);
    Gadget& made = *gadget;
    byId_[id] = gadget.get();
    gadgets_.push_back(std::move(gadget));
    return made;
}

namespace {

void setCaption(QGroupBox& frame, const QString& text) { frame.setTitle(text); }
void setCaption(QLabel& label, const QString& text) { label.setText(text); }
void setCaption(QAbstractButton& button, const QString& text) { button.setText(text); }

void makeNumberField(QLineEdit& field, const QValidator& digitsOnly, int maxLength)
{
    field.setValidator(&digitsOnly);
    field.setMaxLength(maxLength);
}

} // namespace

SettingsWindow::SettingsWindow(QWidget* owner, SettingsWindowActions actions)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      actions_(std::move(actions)), digitsOnly_(QRegularExpression(QStringLiteral("[0-9]*")))
{
    setWindowTitle(QStringLiteral("Einstellungen"));
    // The gadget sizes were laid out for a narrow dialog font; a metric-compatible narrow face
    // keeps every label whole in them.
    QFont dialogFont(QStringLiteral("Arial Narrow"));
    dialogFont.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
    dialogFont.setPixelSize(12);
    setFont(dialogFont);
    setAttribute(Qt::WA_DeleteOnClose, false);

    const auto frame = [this](int id, int x, int y, int w, int h, const QString& text) {
        setCaption(add<QGroupBox>(id, x, y, w, h), text);
    };
    const auto label = [this](int id, int x, int y, int w, int h, const QString& text,
                              bool wrap = false) {
        QLabel& made = add<QLabel>(id, x, y, w, h);
        setCaption(made, text);
        made.setWordWrap(wrap);
        made.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    };
    const auto edit = [this](int id, int x, int y, int w, int h) -> QLineEdit& {
        return add<QLineEdit>(id, x, y, w, h);
    };
    const auto button = [this](int id, int x, int y, int w, int h, const QString& text) {
        QPushButton& made = add<QPushButton>(id, x, y, w, h);
        setCaption(made, text);
        made.setAutoDefault(false);
    };
    const auto check = [this](int id, int x, int y, int w, int h, const QString& text) {
        setCaption(add<QCheckBox>(id, x, y, w, h), text);
    };

    // Creation order is tab order.
    frame(7, 5, 10, 335, 225, QStringLiteral("FTP Einstellungen"));
    label(8, 15, 40, 315, 15, QStringLiteral("Servername  (Bsp.  ftp.example.com)"));
    edit(9, 15, 55, 315, 20);
    label(10, 15, 80, 315, 15,
          QStringLiteral("Web-Verzeichnis  (Bsp.  public_html/  oder leer wenn Hauptverz.)"));
    edit(11, 15, 95, 315, 20);
    label(12, 15, 120, 315, 15,
          QStringLiteral("Unterverzeichnis im Web-Verzeichnis  (Bsp.  meinverzeichnis/ )"));
    edit(13, 15, 135, 315, 20);
    label(14, 15, 160, 150, 15, QStringLiteral("UserID"));
    edit(15, 15, 175, 150, 20);
    label(16, 180, 160, 150, 15, QStringLiteral("Passwort"));
    edit(17, 180, 175, 150, 20).setEchoMode(QLineEdit::Password);
    button(18, 15, 205, 150, 20, QStringLiteral("Verzeichnis prüfen"));
    frame(19, 5, 245, 335, 200, QStringLiteral("Login Einstellungen"));
    label(20, 15, 275, 320, 45,
          QStringLiteral("Die Präsentation im obigen Unterverzeichnis kann mit LoginID und "
                         "Passwort vor dem Zugriff geschützt werden, wenn sie auf einem Apache "
                         "Webserver liegt (htaccess)."),
          true);
    label(21, 15, 330, 315, 15,
          QStringLiteral("Absoluter Verzeichnis-Pfad auf dem Server (notwendig)"));
    edit(22, 15, 345, 265, 20);
    button(23, 285, 345, 45, 20, QStringLiteral("Laden"));
    label(24, 15, 370, 150, 15, QStringLiteral("LoginID"));
    edit(25, 15, 385, 150, 20);
    label(26, 180, 370, 150, 15, QStringLiteral("Passwort"));
    edit(27, 180, 385, 150, 20);
    button(28, 15, 415, 150, 20, QStringLiteral("Login auf Server installieren"));
    button(29, 180, 415, 150, 20, QStringLiteral("Login vom Server entfernen"));
    frame(30, 350, 10, 335, 270, QStringLiteral("Präsentation Einstellungen"));
    label(31, 360, 40, 315, 15,
          QStringLiteral("Meine Homepage (wird am Ende der Präsentation angezeigt)"));
    edit(32, 360, 55, 315, 20);
    label(39, 360, 87, 315, 15,
          QStringLiteral("Ausgewählter Bildschirmbereich (leer für ganzen Bildschirm)"));
    edit(40, 360, 102, 143, 20);
    label(41, 510, 105, 165, 15, QStringLiteral("Links,Oben,Rechts,Unten (Pixels)"));
    button(42, 360, 125, 144, 20, QStringLiteral("Bereich bestimmen"));
    button(43, 510, 125, 144, 20, QStringLiteral("Ganzer Bildschirm"));
    check(33, 360, 155, 315, 20,
          QStringLiteral("Mauszeiger als Kreuz in kleinem rotem Rechteck anzeigen"));
    check(36, 360, 175, 315, 20,
          QStringLiteral("Anzeige auf 256 Farben beschränken (schnellere Übertragung)"));
    check(37, 360, 195, 315, 20,
          QStringLiteral("Anzeige auf 75% verkleinern (kleinere Abbildung)"));
    check(38, 360, 222, 315, 20,
          QStringLiteral("Präsentation automatisch nach Programmstart beginnen"));
    button(44, 360, 250, 315, 20, QStringLiteral("Vorschau der Anzeige"));
    frame(45, 350, 291, 335, 154, QStringLiteral("Technische Einstellungen"));
    QLineEdit& pause = edit(34, 360, 317, 37, 20);
    pause.setText(QStringLiteral("0"));
    makeNumberField(pause, digitsOnly_, 600);
    label(35, 405, 320, 275, 15,
          QStringLiteral("Zus. Sekunden (max. 600) zwischen Desktop-Bildern"));
    QLineEdit& retry = edit(49, 360, 346, 37, 20);
    retry.setText(QStringLiteral("30"));
    makeNumberField(retry, digitsOnly_, 600);
    label(50, 405, 343, 275, 29,
          QStringLiteral("Anzahl Sekunden (max. 600) während derer versucht wird, eine "
                         "Internetverbindung herzustellen (Standard: 30)"),
          true);
    QLineEdit& refresh = edit(46, 360, 375, 37, 20);
    refresh.setText(QStringLiteral("2000"));
    makeNumberField(refresh, digitsOnly_, 999999);
    label(47, 405, 379, 275, 15,
          QStringLiteral("Browser-Refresh in Millisekunden (Standard: 2000)"));
    label(48, 361, 397, 320, 43,
          QStringLiteral("In diesem Intervall stellt der Internet-Browser des Zuschauers eine "
                         "Verbindung zum Server her, um zu prüfen, ob ein neues Abbild des "
                         "Desktops zur Anzeige bereit ist."),
          true);
    button(52, 585, 452, 90, 25, QStringLiteral("OK"));

    onClick(18, [this] { actions_.checkServerDirectory(*this); });
    onClick(23, [this] { actions_.loadAbsoluteServerPath(*this); });
    onClick(28, [this] { actions_.installLogin(*this); });
    onClick(29, [this] { actions_.removeLogin(*this); });
    onClick(42, [this] { actions_.pickRegion(*this); });
    onClick(43, [this] { actions_.wholeScreen(*this); });
    onClick(44, [this] { actions_.preview(*this); });
    onClick(52, [this] { actions_.ok(*this); });

    setFixedSize(694, 482);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::onClick(int id, std::function<void()> action)
{
    auto* button = static_cast<QPushButton*>(byId_.at(id));
    connect(button, &QPushButton::clicked, this, std::move(action));
}

QLineEdit& SettingsWindow::field(SettingsField id) const
{
    return *static_cast<QLineEdit*>(byId_.at(static_cast<int>(id)));
}

QCheckBox& SettingsWindow::box(SettingsCheck id) const
{
    return *static_cast<QCheckBox*>(byId_.at(static_cast<int>(id)));
}

std::string SettingsWindow::text(SettingsField id) const
{
    return toWindows1252(field(id).text());
}

void SettingsWindow::setText(SettingsField id, const std::string& text)
{
    field(id).setText(fromWindows1252(text));
}

void SettingsWindow::focus(SettingsField id)
{
    field(id).setFocus(Qt::OtherFocusReason);
}

bool SettingsWindow::checked(SettingsCheck id) const
{
    return box(id).isChecked();
}

void SettingsWindow::setChecked(SettingsCheck id, bool on)
{
    box(id).setChecked(on);
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
        actions_.closeBox(*this);
        inCloseEvent_ = false;
    }
    event->setAccepted(closing_);
}

} // namespace velmora
