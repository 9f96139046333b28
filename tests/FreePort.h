#pragma once

#include <QFile>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>

// A port for a server the test starts itself, free on every address just now. Taken below the
// kernel's range for outgoing connections: a port probed free there can be taken by any client
// connection of a test running beside before the server binds it (seen on a loaded CI machine).
inline quint16 quietPort()
{
    int lowestEphemeral = 32768;
    QFile range(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (range.open(QIODevice::ReadOnly)) {
        const int first = range.readAll().simplified().split(' ').value(0).toInt();
        if (first > 11000)
            lowestEphemeral = first;
    }
    for (int tries = 0; tries < 200; ++tries) {
        const auto port = quint16(QRandomGenerator::global()->bounded(10000, lowestEphemeral));
        QTcpServer probe;
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
    return 0;
}
