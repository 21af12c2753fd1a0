#include "gui/qt_position_store.h"

#include <QSettings>
#include <QString>

namespace velmora {
namespace {

std::optional<long long> readNumber(const QSettings& store, const char* name)
{
    if (!store.contains(name))
        return std::nullopt;
    bool ok = false;
    const long long value = store.value(name).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

StoredPosition QtPositionStore::read() const
{
    const QSettings store(QStringLiteral("Corvantis"), QStringLiteral("Velmora"));
    return {readNumber(store, "PosX"), readNumber(store, "PosY")};
}

void QtPositionStore::save(const std::string& installDir, int x, int y)
{
    QSettings store(QStringLiteral("Corvantis"), QStringLiteral("Velmora"));
    store.setValue("InstallDir", QString::fromLocal8Bit(installDir.c_str()));
    store.setValue("PosX", x);
    store.setValue("PosY", y);
    store.sync();
}

} // namespace velmora
