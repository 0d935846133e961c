#include "board/NoticeRouting.h"

#include "board/Datagram.h"

QList<QByteArray> NoticeDestinations(qint32 mode, const QByteArray& ownAddress, const QByteArray& ownFileName,
                                     const TVurnaDataArray& members)
{
    QList<QByteArray> destinations;
    if (mode == 0 || ownAddress.isEmpty())
        return destinations;
    // One datagram per running member, as every copy expects; two members on one PC get two.
    const auto add = [&destinations](const QByteArray& address) { destinations.append(address); };
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
