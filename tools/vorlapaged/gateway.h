#pragma once
// The gateway's event loop side: the SNPP listeners and clients, and the one place that
// queues their pages. Transactions are taken one at a time, in the order they came, each
// through the running program when it holds the directory, else on the directory itself;
// the directory's lock is held only while there is something to queue or send.

#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory/directory_store.h"
#include "platform/program_directory_lock.h"
#include "settings/program_directory.h"
#include "tools/vorlapaged/local_run.h"
#include "tools/vorlapaged/snpp_session.h"
#include "tools/vorlapaged/users_file.h"
#include "tools/vorlapaged/vorlapaged_options.h"

class QTcpServer;
class QTcpSocket;
class Gateway;

namespace vorla {
class QtSettingsStore;
}

// One client: its socket, its SNPP session and its idle timer.
class Connection : public QObject, public snpp::IGateway {
    Q_OBJECT
public:
    Connection(Gateway& gateway, QTcpSocket* socket, const snpp::Limits& limits, int idleSeconds);
    ~Connection() override;
    QString Peer() const { return peer_; }
    // The client has disconnected (the object itself goes at the next turn of the loop).
    bool Gone() const { return gone_; }
    void Finish(const snpp::Outcome& outcome);

    std::optional<std::string> Resolve(std::string_view pagerId) override;
    bool LoginRequired() const override;
    bool CheckLogin(std::string_view user, std::string_view password) override;
    std::optional<std::string> TakeText(std::string_view bytes, std::string* error) override;
    void Submit(const snpp::Transaction& transaction) override;

private:
    void ReadSome();
    void Write(const std::string& replies);
    void OnIdle();

    Gateway& gateway_;
    QTcpSocket* socket_;
    snpp::Session session_;
    QTimer idle_;
    QString peer_;
    bool closing_ = false;
    bool gone_ = false;
};

class Gateway : public QObject {
    Q_OBJECT
public:
    Gateway(const VorlapagedOptions& options, const vorla::ProgramDirectory& home);
    ~Gateway() override;

    // Opens the sockets systemd passed and the --listen addresses (127.0.0.1 by default when
    // there are neither). False with the reason when one cannot be used.
    bool Listen(std::string* error);
    // Sends what is due now and sets the wake-up for the next timed page.
    void Start();
    // Stops taking clients; a run in progress is cancelled as vorlapage's is. Emits Stopped.
    void Stop();

    // For the connections.
    std::optional<std::string> Resolve(std::string_view pagerId);
    bool LoginRequired() const { return options_.requireLogin; }
    bool CheckLogin(std::string_view user, std::string_view password);
    void Enqueue(Connection* client, const snpp::Transaction& transaction);
    void Log(int priority, const std::string& text);
    void ConnectionClosed();

signals:
    void Stopped();

private:
    struct Pending {
        QPointer<Connection> client;
        QString peer;
        snpp::Transaction transaction;
        QDateTime since;
    };
    void Accept(QTcpServer* server);
    bool Allowed(const QHostAddress& address) const;
    void Work();
    // Queues one transaction; none when the directory is busy for now (try again later).
    std::optional<snpp::Outcome> Take(const Pending& pending);
    std::optional<snpp::Outcome> HandOver(const Pending& pending, qint64 holderPid,
                                          const QString& holderHost);
    bool OpenRun();
    void Step();
    void EndRun();
    void Wake();
    void ScheduleWake(std::optional<uint32_t> nextTimedPage);
    void Status(const std::string& text);

    VorlapagedOptions options_;
    const vorla::ProgramDirectory& home_;
    std::string folder_;
    snpp::Limits limits_;
    std::vector<std::pair<QHostAddress, int>> allowed_;
    std::vector<QTcpServer*> servers_;
    int connections_ = 0;
    std::deque<Pending> pending_;
    bool working_ = false;
    bool inStep_ = false;
    bool stopping_ = false;
    long taken_ = 0;
    QTimer work_;
    QTimer step_;
    QTimer wake_;
    vorla::ProgramDirectoryLock lock_;
    std::unique_ptr<vorla::QtSettingsStore> settings_;
    std::unique_ptr<LocalRun> run_;
    // The directory's names for PAGE while the gateway does not hold it; read again when the
    // file changes.
    std::unique_ptr<DirectoryStore> names_;
    std::optional<std::pair<long long, long long>> namesStamp_;
    UsersFile users_;
};
