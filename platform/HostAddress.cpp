#include "platform/HostAddress.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace HostAddress {

namespace {

QByteArray firstUsable(const QList<QHostAddress>& addresses)
{
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString().toLatin1();
    }
    return {};
}

QList<QHostAddress> interfaceAddresses()
{
    QList<QHostAddress> result;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries())
            result.append(entry.ip());
    }
    return result;
}

} // namespace

QByteArray ChooseAddress(const QList<QHostAddress>& resolved, const QList<QHostAddress>& interfaces)
{
    QByteArray address = firstUsable(resolved);
    if (address.isEmpty())
        address = firstUsable(interfaces);
    return address;
}

QByteArray PinnedAddress()
{
    return qgetenv("VURNA_ADDRESS").trimmed();
}

QByteArray LookUpOwnAddress()
{
    const QByteArray configured = PinnedAddress();
    if (!configured.isEmpty()) {
        const QHostAddress address(QString::fromLatin1(configured));
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString().toLatin1();
    }
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    const QList<QHostAddress> resolved = info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>{};
    return ChooseAddress(resolved, interfaceAddresses());
}

} // namespace HostAddress
