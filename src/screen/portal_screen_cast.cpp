#include "screen/portal_screen_cast.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <optional>

namespace velmora {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

// Source types and cursor modes as the ScreenCast interface numbers them.
constexpr quint32 kMonitor = 1;
constexpr quint32 kCursorEmbedded = 2;
constexpr quint32 kCursorMetadata = 4;
// Remembered until the presenter revokes it, across runs.
constexpr quint32 kPersistUntilRevoked = 2;

std::optional<quint32> screenCastProperty(const QString& name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kScreenCast << name;
    const QDBusReply<QVariant> reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
    if (!reply.isValid())
        return std::nullopt;
    bool ok = false;
    const quint32 value = reply.value().toUInt(&ok);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

} // namespace

// Receives the answers of the portal's requests and the end of the session. Every request is
// answered by a signal on an object path that the caller announces beforehand, so the receiver
// listens there before the call goes out and no answer can slip past.
class PortalSignals final : public QObject {
    Q_OBJECT
public:
    std::atomic<bool> sessionClosed{false};

    // The answer to one request, or nothing when none came in time.
    struct Answer {
        quint32 code = 2;
        QVariantMap results;
    };

    std::optional<Answer> request(const QString& method, const QList<QVariant>& arguments,
                                  QVariantMap options, std::chrono::milliseconds limit,
                                  QString& error)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        static int requests = 0;
        const QString token = QStringLiteral("velmora%1").arg(++requests);
        QString sender = bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString expected =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        options.insert(QStringLiteral("handle_token"), token);

        answer_.reset();
        listenOn(expected);
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenCast, method);
        QList<QVariant> all = arguments;
        all << options;
        call.setArguments(all);
        const QDBusReply<QDBusObjectPath> reply = bus.call(
            call, QDBus::Block, static_cast<int>(std::chrono::milliseconds(10000).count()));
        if (!reply.isValid()) {
            stopListening(expected);
            error = method + QStringLiteral(": ") + reply.error().message();
            return std::nullopt;
        }
        // Portals older than the announced path rule answer on the path they return.
        const QString path = reply.value().path();
        if (path != expected) {
            stopListening(expected);
            listenOn(path);
        }

        if (!answer_) {
            QEventLoop wait;
            QTimer limitTimer;
            limitTimer.setSingleShot(true);
            QObject::connect(&limitTimer, &QTimer::timeout, &wait, &QEventLoop::quit);
            waiting_ = &wait;
            limitTimer.start(static_cast<int>(limit.count()));
            wait.exec();
            waiting_ = nullptr;
        }
        stopListening(path);
        if (!answer_)
            error = method + QStringLiteral(": no answer from the portal in time");
        return answer_;
    }

    void watchSession(const QString& path)
    {
        QDBusConnection::sessionBus().connect(kService, path, kSession, QStringLiteral("Closed"),
                                              this, SLOT(closed(QVariantMap)));
    }

public slots:
    void response(uint code, const QVariantMap& results)
    {
        answer_ = Answer{code, results};
        if (waiting_)
            waiting_->quit();
    }
    void closed(const QVariantMap&) { sessionClosed = true; }

private:
    void listenOn(const QString& path)
    {
        QDBusConnection::sessionBus().connect(kService, path, kRequest, QStringLiteral("Response"),
                                              this, SLOT(response(uint, QVariantMap)));
    }
    void stopListening(const QString& path)
    {
        QDBusConnection::sessionBus().disconnect(kService, path, kRequest,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(response(uint, QVariantMap)));
    }

    std::optional<Answer> answer_;
    QEventLoop* waiting_ = nullptr;
};

// The steps of open() in their order; each returns Granted when the next may follow.
struct PortalScreenCast::Impl {
    PortalSignals listener;
    QString session;
    QDBusUnixFileDescriptor pipeWire;
    std::uint32_t node = 0;
    bool cursorAsMetadata = false;
    std::string restoreToken;
    std::string failure;

    PortalOutcome fail(PortalOutcome outcome, const QString& why)
    {
        failure = why.toStdString();
        return outcome;
    }

    // A request that came back without an answer failed; one answered with a code other than 0
    // was refused or failed, as that code says.
    PortalOutcome answered(const std::optional<PortalSignals::Answer>& answer, const QString& step,
                           const QString& error)
    {
        if (!answer)
            return fail(PortalOutcome::Failed, error);
        if (answer->code == 0)
            return PortalOutcome::Granted;
        // 1: the presenter cancelled the dialog; anything else is the desktop's own refusal.
        return fail(answer->code == 1 ? PortalOutcome::Refused : PortalOutcome::Failed,
                    step + QStringLiteral(" answered %1").arg(answer->code));
    }

    PortalOutcome createSession(const PortalRequestOptions& options)
    {
        QString error;
        QVariantMap create;
        // Each session a path of its own: a closed one may still be known to the portal.
        static int sessions = 0;
        create.insert(QStringLiteral("session_handle_token"),
                      QStringLiteral("velmora_session%1").arg(++sessions));
        const auto created =
            listener.request(QStringLiteral("CreateSession"), {}, create, options.stepLimit, error);
        const PortalOutcome outcome = answered(created, QStringLiteral("CreateSession"), error);
        if (outcome != PortalOutcome::Granted)
            return outcome;
        session = created->results.value(QStringLiteral("session_handle")).toString();
        if (session.isEmpty())
            return fail(PortalOutcome::Failed, QStringLiteral("CreateSession gave no session"));
        listener.watchSession(session);
        return PortalOutcome::Granted;
    }

    PortalOutcome selectSources(const PortalRequestOptions& options, quint32 version,
                                std::optional<quint32> cursorModes)
    {
        QVariantMap select;
        select.insert(QStringLiteral("types"), kMonitor);
        select.insert(QStringLiteral("multiple"), false);
        // The pointer beside the picture lets the spectators' marker follow it; where the desktop
        // cannot do that, the pointer at least shows inside the picture.
        if (cursorModes) {
            cursorAsMetadata = (*cursorModes & kCursorMetadata) != 0;
            if (cursorAsMetadata || (*cursorModes & kCursorEmbedded) != 0)
                select.insert(QStringLiteral("cursor_mode"),
                              cursorAsMetadata ? kCursorMetadata : kCursorEmbedded);
        }
        // Restoring needs version 4; older portals refuse unknown options.
        if (version >= 4) {
            select.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
            if (!options.restoreToken.empty())
                select.insert(QStringLiteral("restore_token"),
                              QString::fromStdString(options.restoreToken));
        }
        QString error;
        const auto selected = listener.request(QStringLiteral("SelectSources"),
                                               {QVariant::fromValue(QDBusObjectPath(session))},
                                               select, options.stepLimit, error);
        return answered(selected, QStringLiteral("SelectSources"), error);
    }

    // Start may wait for the presenter's choice of monitor.
    PortalOutcome start(const PortalRequestOptions& options)
    {
        QString error;
        const auto started = listener.request(
            QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(session)), QString()}, {},
            options.startLimit, error);
        const PortalOutcome outcome = answered(started, QStringLiteral("Start"), error);
        if (outcome != PortalOutcome::Granted)
            return outcome;
        const std::optional<quint32> first =
            firstStreamNode(started->results.value(QStringLiteral("streams")));
        if (!first)
            return fail(PortalOutcome::Failed, QStringLiteral("Start gave no stream"));
        node = *first;
        restoreToken =
            started->results.value(QStringLiteral("restore_token")).toString().toStdString();
        return PortalOutcome::Granted;
    }

    // a(ua{sv}): one stream for the one monitor chosen; its node is what PipeWire connects to.
    static std::optional<quint32> firstStreamNode(const QVariant& value)
    {
        const QDBusArgument streams = value.value<QDBusArgument>();
        std::optional<quint32> first;
        streams.beginArray();
        while (!streams.atEnd()) {
            quint32 node = 0;
            QVariantMap properties;
            streams.beginStructure();
            streams >> node >> properties;
            streams.endStructure();
            if (!first)
                first = node;
        }
        streams.endArray();
        return first;
    }

    PortalOutcome openPipeWireRemote(const PortalRequestOptions& options)
    {
        QDBusMessage remote = QDBusMessage::createMethodCall(kService, kPath, kScreenCast,
                                                             QStringLiteral("OpenPipeWireRemote"));
        remote << QVariant::fromValue(QDBusObjectPath(session)) << QVariantMap();
        const QDBusReply<QDBusUnixFileDescriptor> fd = QDBusConnection::sessionBus().call(
            remote, QDBus::Block, static_cast<int>(options.stepLimit.count()));
        if (!fd.isValid() || !fd.value().isValid())
            return fail(PortalOutcome::Failed,
                        QStringLiteral("OpenPipeWireRemote: ") + fd.error().message());
        pipeWire = fd.value();
        return PortalOutcome::Granted;
    }
};

PortalScreenCast::PortalScreenCast() : impl_(std::make_unique<Impl>())
{
}

PortalScreenCast::~PortalScreenCast()
{
    if (!impl_->session.isEmpty()) {
        const QDBusMessage close = QDBusMessage::createMethodCall(
            kService, impl_->session, kSession, QStringLiteral("Close"));
        QDBusConnection::sessionBus().call(close, QDBus::Block, 2000);
    }
}

bool PortalScreenCast::available()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The portal is usually started on demand, so its name may not be taken yet: the property
    // read starts it where the bus can, and answers only where ScreenCast exists.
    const std::optional<quint32> types = screenCastProperty(QStringLiteral("AvailableSourceTypes"));
    return types && (*types & kMonitor) != 0;
}

PortalOutcome PortalScreenCast::open(const PortalRequestOptions& options)
{
    Impl& d = *impl_;
    if (!QDBusConnection::sessionBus().isConnected())
        return d.fail(PortalOutcome::NoPortal, QStringLiteral("no session bus"));
    const std::optional<quint32> version = screenCastProperty(QStringLiteral("version"));
    const std::optional<quint32> cursorModes =
        screenCastProperty(QStringLiteral("AvailableCursorModes"));
    if (!version)
        return d.fail(PortalOutcome::NoPortal, QStringLiteral("no ScreenCast portal"));

    PortalOutcome outcome = d.createSession(options);
    if (outcome == PortalOutcome::Granted)
        outcome = d.selectSources(options, *version, cursorModes);
    if (outcome == PortalOutcome::Granted)
        outcome = d.start(options);
    if (outcome == PortalOutcome::Granted)
        outcome = d.openPipeWireRemote(options);
    return outcome;
}

QDBusUnixFileDescriptor& PortalScreenCast::pipeWire()
{
    return impl_->pipeWire;
}

std::uint32_t PortalScreenCast::node() const
{
    return impl_->node;
}

bool PortalScreenCast::cursorAsMetadata() const
{
    return impl_->cursorAsMetadata;
}

const std::string& PortalScreenCast::restoreToken() const
{
    return impl_->restoreToken;
}

const std::string& PortalScreenCast::failureDetail() const
{
    return impl_->failure;
}

bool PortalScreenCast::closedByDesktop() const
{
    return impl_->listener.sessionClosed;
}

} // namespace velmora

#include "portal_screen_cast.moc"
