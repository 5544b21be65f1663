#include "gui/app/single_instance.h"

#include <unistd.h>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

// Named after the instance mutex of the program's first platform.
const char kInstanceName[] = "KVR-{051CC34C-4AB1-4d2d-AC6A-049552B67A5A}";
const QByteArray kHandOverMessage = "HANDOVER\n";
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 2000;

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent) {
    const QByteArray folderKey =
        QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    serverName_ = QStringLiteral("%1-%2-%3")
                      .arg(QLatin1String(kInstanceName))
                      .arg(static_cast<qulonglong>(::getuid()))
                      .arg(QLatin1String(folderKey));
}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::Claim() {
    server_ = new QLocalServer(this);
    // No socket options: with them the socket is bound elsewhere and renamed into place,
    // which silently replaces a running instance's socket instead of failing.
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (server_->listen(serverName_)) return true;

    runningInstance_ = new QLocalSocket(this);
    runningInstance_->connectToServer(serverName_);
    if (runningInstance_->waitForConnected(kConnectTimeoutMs)) return false;

    // Nobody answers: a program that ended without cleaning up left its socket behind.
    delete runningInstance_;
    runningInstance_ = nullptr;
    QLocalServer::removeServer(serverName_);
    server_->listen(serverName_);
    return true;
}

bool SingleInstance::HandOver() {
    if (!runningInstance_) return false;
    runningInstance_->write(kHandOverMessage);
    const bool sent = runningInstance_->waitForBytesWritten(kWriteTimeoutMs);
    runningInstance_->disconnectFromServer();
    return sent;
}

void SingleInstance::Release() {
    if (server_) server_->close();
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* caller = server_->nextPendingConnection()) {
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        // A message may arrive in pieces; it counts once its line is complete.
        const auto consume = [this, caller] {
            while (caller->canReadLine())
                if (caller->readLine() == kHandOverMessage) emit handOverRequested();
        };
        connect(caller, &QLocalSocket::readyRead, this, consume);
        consume();
    }
}
