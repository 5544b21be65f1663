#pragma once
// One running KVR per program folder and user. The first process listens on a local
// socket; a later one finds it there, tells it to come forward and ends. What to open is
// passed through Config.ini's LastDir, written by the later process before it calls.
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // programFolder keys the instance: programs with different folders (and settings files)
    // run side by side.
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when no other instance runs; this one then takes hand-overs from now on.
    bool Claim();
    // After a failed Claim: asks the running instance to come forward and open LastDir.
    bool HandOver();
    // Stops taking hand-overs, so that a restarted program can claim the place.
    void Release();

    const QString& ServerName() const { return serverName_; }

signals:
    void handOverRequested();

private:
    void OnNewConnection();

    QString serverName_;
    QLocalServer* server_ = nullptr;
    QLocalSocket* runningInstance_ = nullptr;
};
