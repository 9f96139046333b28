#pragma once

#include "tests/EventWait.h"
#include "tests/FreePort.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>
#include <utility>

// Debian's mosquitto on a loopback port of the test's own, started and stopped by the test.
class Mosquitto
{
public:
    static QString program()
    {
        return QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                              {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    }
    static bool installed()
    {
        return !program().isEmpty() && !QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub")).isEmpty()
               && !QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd")).isEmpty();
    }

    explicit Mosquitto(quint16 port = quietPort()) : port(port) {}
    ~Mosquitto() { stop(); }

    // One user with a password instead of anonymous clients.
    void requireUser(const QString &user, const QString &password)
    {
        passwords = dir.filePath(QStringLiteral("passwd"));
        QProcess::execute(QStringLiteral("mosquitto_passwd"), {QStringLiteral("-c"), QStringLiteral("-b"), passwords, user, password});
        // Started as root, mosquitto reads the file as its own user.
        const auto readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                              | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                              | QFileDevice::ExeOther;
        QFile::setPermissions(dir.path(), readable);
        QFile::setPermissions(passwords, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                             | QFileDevice::ReadOther);
    }

    // TLS on the listener with a certificate for 127.0.0.1 signed by a CA of the test's own;
    // the CA's file for the client. Empty when openssl is missing or fails.
    QString requireTls()
    {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty())
            return {};
        const auto run = [&](const QStringList &args) {
            QProcess p;
            p.start(openssl, args);
            return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };
        const QString ca = dir.filePath(QStringLiteral("ca.crt"));
        const QString caKey = dir.filePath(QStringLiteral("ca.key"));
        const QString key = dir.filePath(QStringLiteral("server.key"));
        const QString csr = dir.filePath(QStringLiteral("server.csr"));
        const QString crt = dir.filePath(QStringLiteral("server.crt"));
        const QString ext = dir.filePath(QStringLiteral("san.ext"));
        QFile san(ext);
        if (!san.open(QIODevice::WriteOnly))
            return {};
        san.write("subjectAltName=IP:127.0.0.1\n");
        san.close();
        const bool made =
            run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", caKey, "-out", ca, "-days", "2",
                 "-subj", "/CN=Courtlyx test CA"})
            && run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", "/CN=127.0.0.1"})
            && run({"x509", "-req", "-in", csr, "-CA", ca, "-CAkey", caKey, "-CAcreateserial", "-out", crt, "-days",
                    "2", "-extfile", ext});
        if (!made)
            return {};
        for (const QString &f : {ca, key, crt})
            QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                         | QFileDevice::ReadOther);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                              | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                              | QFileDevice::ReadOther | QFileDevice::ExeOther);
        extra += "cafile " + ca.toUtf8() + "\ncertfile " + crt.toUtf8() + "\nkeyfile " + key.toUtf8() + '\n';
        return ca;
    }

    bool start()
    {
        QFile conf(dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        QByteArray text = "listener " + QByteArray::number(port) + " 127.0.0.1\n";
        text += passwords.isEmpty() ? "allow_anonymous true\n"
                                    : "allow_anonymous false\npassword_file " + passwords.toUtf8() + '\n';
        conf.write(text + extra);
        conf.close();
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(program(), {QStringLiteral("-c"), conf.fileName()});
        if (!process->waitForStarted())
            return false;
        return waitFor([this] {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), port);
            return probe.waitForConnected(100);
        }, 5000);
    }
    void stop()
    {
        if (!process)
            return;
        process->kill();
        process->waitForFinished();
        process.reset();
    }

    QTemporaryDir dir;
    quint16 port;
    QString passwords;
    QByteArray extra;
    std::unique_ptr<QProcess> process;
};

// A mosquitto_sub of the test's own, collecting "topic payload-in-hex" as they come.
class Subscriber
{
public:
    Subscriber(quint16 port, const QString &filter, QStringList more = {})
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral("mosquitto_sub"),
                      QStringList{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                  QString::number(port), QStringLiteral("-t"), filter, QStringLiteral("-F"),
                                  QStringLiteral("%t %x")} + more);
        process.waitForStarted();
    }
    ~Subscriber()
    {
        process.kill();
        process.waitForFinished();
    }
    // Every message so far, topic and payload.
    QList<std::pair<QString, QByteArray>> messages()
    {
        buffer += process.readAllStandardOutput();
        QList<std::pair<QString, QByteArray>> out;
        for (const QByteArray &line : buffer.split('\n')) {
            if (line.isEmpty())
                continue;
            const qsizetype space = line.indexOf(' ');
            out.append({QString::fromUtf8(line.left(space)),
                        space < 0 ? QByteArray() : QByteArray::fromHex(line.mid(space + 1))});
        }
        if (!buffer.endsWith('\n') && !out.isEmpty())
            out.removeLast(); // a line still being written
        return out;
    }
    QList<QByteArray> on(const QString &topic)
    {
        QList<QByteArray> out;
        for (const auto &[t, payload] : messages())
            if (t == topic)
                out.append(payload);
        return out;
    }
    QProcess process;
    QByteArray buffer;
};

// The retained message of a topic now, as a new subscriber gets it; nothing when none.
inline std::optional<QByteArray> retainedOn(quint16 port, const QString &topic)
{
    QProcess sub;
    sub.start(QStringLiteral("mosquitto_sub"),
              {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
               QStringLiteral("-t"), topic, QStringLiteral("-F"), QStringLiteral("%x"), QStringLiteral("-C"),
               QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("1"), QStringLiteral("--retained-only")});
    sub.waitForFinished(5000);
    const QByteArray out = sub.readAllStandardOutput().trimmed();
    if (sub.exitCode() != 0 || out.isEmpty())
        return std::nullopt;
    return QByteArray::fromHex(out);
}
