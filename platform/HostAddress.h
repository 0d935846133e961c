#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>

// The PC's own IPv4 address in dotted decimal, as other copies reach it.
namespace HostAddress {

// VURNA_ADDRESS when set (several copies on one host, each on its own 127.0.0.x, or the
// interface of a multi-homed PC); otherwise the first IPv4 address that the host name
// resolves to, skipping loopback addresses (Debian maps the host name to 127.0.1.1, which no
// other PC can reach), then the first IPv4 address of an interface that is up; empty when
// there is none. Never fails.
QByteArray LookUpOwnAddress();

// VURNA_ADDRESS as set (the address the datagram listener binds to alone); empty when unset.
QByteArray PinnedAddress();

// The choice among candidates, apart from the look-ups: the first IPv4, non-loopback
// address of `resolved`, else of `interfaces`; empty when none.
QByteArray ChooseAddress(const QList<QHostAddress>& resolved, const QList<QHostAddress>& interfaces);

} // namespace HostAddress
