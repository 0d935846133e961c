#pragma once

#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>

// Where one notice goes, decided from the own board's sending mode, the PC's own address, the
// own member and the members of the board on show.
//   0 (or no own address): nowhere.
//   1: straight to every other running member that has announced an address.
//   2, 3 (and any other value): the own network's broadcast address, then straight to every
//      running member whose address lies in another network.
// An address appears once even when several members announced it.
QList<QByteArray> NoticeDestinations(qint32 mode, const QByteArray& ownAddress, const QByteArray& ownFileName,
                                     const TVurnaDataArray& members);
