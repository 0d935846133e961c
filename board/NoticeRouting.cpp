#include "board/NoticeRouting.h"

#include "board/Datagram.h"

#include <QSet>

QList<QByteArray> NoticeDestinations(qint32 mode, const QByteArray& ownAddress, const QByteArray& ownFileName,
                                     const TVurnaDataArray& members)
{
    QList<QByteArray> destinations;
    if (mode == 0 || ownAddress.isEmpty())
        return destinations;
    QSet<QByteArray> seen;
    // Several records can carry one address (a PC shared by two members, an address handed on
    // by DHCP); one datagram per host is enough, the receiver applies it once either way.
    const auto add = [&destinations, &seen](const QByteArray& address) {
        if (!seen.contains(address)) {
            seen.insert(address);
            destinations.append(address);
        }
    };
    const QByteArray ownBroadcast = Datagram::BroadcastAddress(ownAddress);
    if (mode != 1)
        add(ownBroadcast);
    for (qsizetype i = 1; i < members.size(); ++i) {
        const TVurnaDataRec& member = members.at(i);
        if (!member.Running || member.IP.isEmpty())
            continue;
        if (mode == 1) {
            if (member.FileName != ownFileName)
                add(member.IP);
        } else if (Datagram::BroadcastAddress(member.IP) != ownBroadcast) {
            add(member.IP);
        }
    }
    return destinations;
}
