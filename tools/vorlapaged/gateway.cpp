#include "tools/vorlapaged/gateway.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "paging/incoming_text.h"
#include "paging/local_time.h"
#include "paging/paging_classes.h"
#include "settings/qt_settings_store.h"
#include "tools/vorlapage/running_program.h"
#include "tools/vorlapage/vorlapage_options.h"
#include "tools/vorlapaged/directory_names.h"
#include "tools/vorlapaged/systemd_notify.h"

namespace {

constexpr int kReadChunk = 16 * 1024;
constexpr int kBusyRetryMilliseconds = 250;
// Timed pages are looked for at least this often, for pages others queued meanwhile.
constexpr int kWakeSeconds = 60;

// syslog priorities, for journald's "<N>" line prefix.
constexpr int kError = 3, kWarning = 4, kInfo = 6;

std::string Quoted(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text;
}

// The moment of a hold time: with its difference from GMT as given, else the gateway's
// local time. None outside what a page's time can hold.
std::optional<uint32_t> HoldMoment(const snpp::HoldTime& hold) {
    if (const auto utc = snpp::UtcSeconds(hold)) {
        if (*utc < 0 || *utc > 0xFFFFFFFFLL) return std::nullopt;
        return static_cast<uint32_t>(*utc);
    }
    std::tm local{};
    local.tm_year = hold.year - 1900;
    local.tm_mon = hold.month - 1;
    local.tm_mday = hold.day;
    local.tm_hour = hold.hour;
    local.tm_min = hold.minute;
    local.tm_sec = hold.second;
    local.tm_isdst = -1;
    return FileTimeFromLocal(local);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
Connection::Connection(Gateway& gateway, QTcpSocket* socket, const snpp::Limits& limits, int idleSeconds)
    : QObject(&gateway), gateway_(gateway), socket_(socket), session_(*this, limits) {
    socket_->setParent(this);
    // Unread bytes wait in the kernel, not in memory here, while a transaction is being taken.
    socket_->setReadBufferSize(kReadChunk);
    QHostAddress address = socket_->peerAddress();
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped) address = QHostAddress(v4);
    peer_ = address.toString();
    idle_.setSingleShot(true);
    idle_.setInterval(idleSeconds * 1000);
    connect(&idle_, &QTimer::timeout, this, &Connection::OnIdle);
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::ReadSome);
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!closing_ && session_.Waiting())
            gateway_.Log(kWarning, peer_.toStdString() + " left before its page was taken");
        closing_ = true;
        gone_ = true;
        deleteLater();
    });
    Write(snpp::Session::Greeting());
    idle_.start();
}

Connection::~Connection() {
    gateway_.ConnectionClosed();
}

void Connection::ReadSome() {
    while (!closing_ && !session_.Waiting() && socket_->bytesAvailable() > 0) {
        const QByteArray bytes = socket_->read(kReadChunk);
        if (bytes.isEmpty()) break;
        idle_.start();
        Write(session_.Receive(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
    }
}

void Connection::Write(const std::string& replies) {
    if (!replies.empty() && socket_->state() == QAbstractSocket::ConnectedState)
        socket_->write(replies.data(), static_cast<qint64>(replies.size()));
    if (session_.Closed() && !closing_) {
        closing_ = true;
        idle_.stop();
        socket_->disconnectFromHost();
    }
}

void Connection::OnIdle() {
    if (closing_ || session_.Waiting()) return;
    gateway_.Log(kInfo, peer_.toStdString() + " was silent too long and was closed");
    socket_->write(snpp::Session::TimeoutReply().c_str());
    closing_ = true;
    socket_->disconnectFromHost();
}

void Connection::Finish(const snpp::Outcome& outcome) {
    Write(session_.Finish(outcome));
    idle_.start();
    // Commands that came while the page was being taken.
    if (!closing_ && socket_->bytesAvailable() > 0) QTimer::singleShot(0, this, &Connection::ReadSome);
}

std::optional<std::string> Connection::Resolve(std::string_view pagerId) {
    return gateway_.Resolve(pagerId);
}
bool Connection::LoginRequired() const {
    return gateway_.LoginRequired();
}
bool Connection::CheckLogin(std::string_view user, std::string_view password) {
    const bool good = gateway_.CheckLogin(user, password);
    gateway_.Log(good ? kInfo : kWarning, peer_.toStdString() +
                                              (good ? " logged in as \"" : " failed to log in as \"") +
                                              std::string(user) + "\"");
    return good;
}
std::optional<std::string> Connection::TakeText(std::string_view bytes, std::string* error) {
    return ToMessageText(bytes, error);
}
void Connection::Submit(const snpp::Transaction& transaction) {
    gateway_.Enqueue(this, transaction);
}

// ---------------------------------------------------------------------------------------------
Gateway::Gateway(const VorlapagedOptions& options, const vorla::ProgramDirectory& home)
    : options_(options),
      home_(home),
      folder_(home.GetProgramDirectory()),
      lock_(QString::fromStdString(home.GetProgramDirectory())),
      users_(folder_ + kUsersFileName) {
    limits_.lineLength = static_cast<size_t>(options.maxLineBytes);
    limits_.recipients = static_cast<size_t>(options.maxRecipients);
    for (const std::string& network : options.allow) {
        const QString text = QString::fromStdString(network);
        auto subnet = QHostAddress::parseSubnet(
            text.contains('/') ? text : text + (text.contains(':') ? "/128" : "/32"));
        if (!subnet.first.isNull())
            allowed_.push_back(subnet);
        else
            Log(kError, "--allow \"" + network + "\" is not a network; it lets nobody in");
    }
    work_.setSingleShot(true);
    connect(&work_, &QTimer::timeout, this, &Gateway::Work);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &Gateway::Step);
    wake_.setSingleShot(true);
    connect(&wake_, &QTimer::timeout, this, &Gateway::Wake);
}

Gateway::~Gateway() {
    for (QTcpServer* server : servers_)
        server->close();
    if (run_) {
        run_->Close();
        run_.reset();
    }
    lock_.Release();
}

void Gateway::Log(int priority, const std::string& text) {
    // Under systemd the journal takes the priority from the line's "<N>" prefix.
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    if (journal) std::cerr << '<' << priority << '>';
    std::cerr << "vorlapaged: " << text << std::endl;
}

void Gateway::Status(const std::string& text) {
    vorla::NotifySystemd("STATUS=" + text);
}

bool Gateway::Listen(std::string* error) {
    for (int descriptor : vorla::SystemdListenSockets()) {
        auto* server = new QTcpServer(this);
        if (!server->setSocketDescriptor(descriptor)) {
            *error = "the socket systemd passed (" + std::to_string(descriptor) + ") cannot be used";
            return false;
        }
        servers_.push_back(server);
    }
    std::vector<ListenAddress> addresses = options_.listen;
    if (addresses.empty() && servers_.empty()) addresses.push_back({"127.0.0.1", kDefaultSnppPort});
    for (const ListenAddress& address : addresses) {
        QHostAddress host;
        if (address.host == "localhost")
            host = QHostAddress(QHostAddress::LocalHost);
        else if (!host.setAddress(QString::fromStdString(address.host))) {
            *error = "\"" + address.host + "\" is not an IP address";
            return false;
        }
        auto* server = new QTcpServer(this);
        if (!server->listen(host, static_cast<quint16>(address.port))) {
            *error = "cannot listen on " + address.host + ":" + std::to_string(address.port) + ": " +
                     server->errorString().toStdString();
            return false;
        }
        servers_.push_back(server);
    }
    for (QTcpServer* server : servers_) {
        server->setMaxPendingConnections(options_.maxConnections);
        connect(server, &QTcpServer::newConnection, this, [this, server] { Accept(server); });
        Log(kInfo, "listening on " + server->serverAddress().toString().toStdString() + ":" +
                       std::to_string(server->serverPort()));
    }
    return true;
}

bool Gateway::Allowed(const QHostAddress& address) const {
    if (allowed_.empty() && options_.allow.empty()) return true;
    QHostAddress peer = address;
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped) peer = QHostAddress(v4);
    for (const auto& subnet : allowed_)
        if (peer.isInSubnet(subnet)) return true;
    return false;
}

void Gateway::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        const std::string peer = socket->peerAddress().toString().toStdString();
        if (stopping_ || !Allowed(socket->peerAddress()) || connections_ >= options_.maxConnections) {
            const char* why = stopping_ ? "Gateway Service Unavailable, shutting down"
                              : connections_ >= options_.maxConnections
                                  ? "Gateway Service Unavailable, too many clients"
                                  : "Gateway Service Unavailable to this address";
            Log(kWarning, peer + " refused: " + why);
            const std::string reply = snpp::FormatReply(421, why);
            socket->write(reply.data(), static_cast<qint64>(reply.size()));
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromHost();
            continue;
        }
        ++connections_;
        new Connection(*this, socket, limits_, options_.idleSeconds);
    }
}

void Gateway::ConnectionClosed() {
    --connections_;
}

std::optional<std::string> Gateway::Resolve(std::string_view pagerId) {
    if (run_) return ResolvePagerId(run_->Store(), pagerId);
    // Read without the lock: the directory file is only ever replaced whole.
    const std::string path = folder_ + std::string(kDirectoryFileName);
    std::error_code error;
    const auto size = static_cast<long long>(std::filesystem::file_size(path, error));
    const auto time =
        static_cast<long long>(std::filesystem::last_write_time(path, error).time_since_epoch().count());
    if (!error && (!namesStamp_ || *namesStamp_ != std::make_pair(size, time))) {
        static const ClassRegistry registry = MakeProgramClassRegistry();
        auto store = std::make_unique<DirectoryStore>();
        if (LoadDirectoryFile(path, registry, *store) == ArchiveError::None) {
            names_ = std::move(store);
            namesStamp_ = {size, time};
        } else {
            Log(kError, path + " does not read; no name can be paged until it does");
        }
    }
    if (!names_) return std::nullopt;
    return ResolvePagerId(*names_, pagerId);
}

bool Gateway::CheckLogin(std::string_view user, std::string_view password) {
    std::string problem;
    const bool good = users_.Check(user, password, &problem);
    if (!problem.empty()) Log(kError, problem);
    return good;
}

void Gateway::Enqueue(Connection* client, const snpp::Transaction& transaction) {
    pending_.push_back({client, client->Peer(), transaction, QDateTime::currentDateTimeUtc()});
    work_.start(0);
}

void Gateway::Work() {
    // Never inside an engine step or a hand-over that waits: Work runs again when they end.
    if (working_ || inStep_) return;
    working_ = true;
    while (!pending_.empty()) {
        const Pending& pending = pending_.front();
        if (!pending.client || pending.client->Gone()) {
            Log(kWarning, pending.peer.toStdString() + " left before its page was taken; nothing was queued");
            pending_.pop_front();
            continue;
        }
        std::optional<snpp::Outcome> outcome = Take(pending);
        if (!outcome) {
            // A directory another process holds (a vorlapage run, another gateway) is waited for a
            // while; then the client is told 421 and nothing is taken.
            if (pending.since.msecsTo(QDateTime::currentDateTimeUtc()) < options_.busyWaitSeconds * 1000LL) {
                work_.start(kBusyRetryMilliseconds);
                break;
            }
            outcome = snpp::Outcome{
                421, "Gateway Service Unavailable, the program directory is busy; nothing was taken"};
            Log(kError, pending.peer.toStdString() + ": the program directory stayed busy; told 421");
        }
        if (pending.client) pending.client->Finish(*outcome);
        pending_.pop_front();
    }
    working_ = false;
    if (run_ && !run_->Sending()) EndRun();
}

bool Gateway::OpenRun() {
    settings_ = std::make_unique<vorla::QtSettingsStore>();
    run_ = std::make_unique<LocalRun>(
        home_, *settings_, options_.ports, [] { QCoreApplication::processEvents(QEventLoop::AllEvents); },
        [this](const std::string& line, bool problem) { Log(problem ? kWarning : kInfo, line); });
    if (run_->Open()) return true;
    Log(kError, "the queue file does not read and could not be moved aside; nothing is queued");
    run_.reset();
    settings_.reset();
    lock_.Release();
    return false;
}

std::optional<snpp::Outcome> Gateway::Take(const Pending& pending) {
    const snpp::Transaction& transaction = pending.transaction;
    std::optional<uint32_t> at;
    if (transaction.hold) {
        at = HoldMoment(*transaction.hold);
        if (!at) return snpp::Outcome{550, "Error, Invalid Delivery Date/Time"};
    }
    if (!run_) {
        switch (lock_.TryAcquire()) {
            case vorla::ProgramDirectoryLock::Result::Acquired:
                if (!OpenRun())
                    return snpp::Outcome{
                        421, "Gateway Service Unavailable, the queue cannot be read; nothing was taken"};
                break;
            case vorla::ProgramDirectoryLock::Result::HeldByOther:
                return HandOver(pending, lock_.HolderProcessId(), lock_.HolderHost());
            default:
                Log(kError, lock_.RefusalText().toStdString());
                return snpp::Outcome{
                    421,
                    "Gateway Service Unavailable, the program directory cannot be used; nothing was taken"};
        }
    }
    std::string note = "Taken from SNPP client " + pending.peer.toStdString();
    if (!transaction.user.empty()) note += ", user " + transaction.user;
    if (!transaction.callerId.empty()) note += ", caller " + transaction.callerId;
    size_t pages = 0;
    const SendChoice choice = at ? SendChoice::At : SendChoice::Now;
    switch (run_->Queue(transaction.recipients, transaction.text, choice, at, note, &pages)) {
        case LocalRun::Result::Queued:
            ++taken_;
            Log(kInfo,
                note + ": " + std::to_string(pages) + " page(s) for " + Quoted(transaction.recipients));
            Status("Taken " + std::to_string(taken_) + " transaction(s); sending");
            if (run_->Sending() && !step_.isActive()) step_.start();
            return snpp::Outcome{250, at ? "Message Queued for Later Delivery" : "Message Sent Successfully"};
        case LocalRun::Result::UnknownName:
            return snpp::Outcome{550, "Error, Invalid Pager ID (no longer in the directory)"};
        case LocalRun::Result::NothingToSend:
            return snpp::Outcome{550,
                                 "Error, the message has nothing to send, or everyone named has it already"};
        case LocalRun::Result::NotSaved:
            break;
    }
    Log(kError, "the queue file could not be written; told 421 and nothing was taken");
    return snpp::Outcome{421, "Gateway Service Unavailable, the queue cannot be written; nothing was taken"};
}

std::optional<snpp::Outcome> Gateway::HandOver(const Pending& pending, qint64 holderPid,
                                               const QString& holderHost) {
    VorlapageOptions handed;
    handed.mode = VorlapageOptions::Mode::Queue;
    handed.to = pending.transaction.recipients;
    handed.message = pending.transaction.text;
    if (pending.transaction.hold) {
        handed.choice = SendChoice::At;
        handed.at = HoldMoment(*pending.transaction.hold);
    }
    // The program's runs are waited for; clients are served meanwhile.
    const HandOverOutcome outcome = HandToRunningProgram(handed, holderPid, holderHost, [this] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return stopping_;
    });
    if (!outcome.exitCode) {
        Log(kInfo, "the directory is busy (" + outcome.reason + "); trying again");
        return std::nullopt;
    }
    std::string note = pending.peer.toStdString();
    if (!pending.transaction.user.empty()) note += ", user " + pending.transaction.user;
    switch (*outcome.exitCode) {
        case 0:
            ++taken_;
            Log(kInfo, "Taken from SNPP client " + note + " and handed to the running program for " +
                           Quoted(pending.transaction.recipients));
            return snpp::Outcome{250, pending.transaction.hold ? "Message Queued for Later Delivery"
                                                               : "Message Sent Successfully"};
        case 2:
            return snpp::Outcome{550, "Error, Invalid Pager ID (the running program has no such name)"};
        default:
            Log(kWarning, "the running program took the page of " + note + " but its run failed");
            return snpp::Outcome{554, "Error, failed: the running program could not send it (see its log)"};
    }
}

void Gateway::Step() {
    if (inStep_ || !run_) return;
    inStep_ = true;
    const bool more = run_->Step();
    inStep_ = false;
    if (!pending_.empty()) work_.start(0);
    if (!more && !run_->Sending()) {
        step_.stop();
        if (!working_) EndRun();
    }
}

void Gateway::EndRun() {
    if (!run_ || run_->Sending() || inStep_ || !pending_.empty()) return;
    step_.stop();
    const std::optional<uint32_t> next = run_->NextTimedPage();
    run_->Close();
    run_.reset();
    settings_.reset();
    lock_.Release();
    ScheduleWake(next);
    Status(stopping_ ? "Stopping" : "Idle; taken " + std::to_string(taken_) + " transaction(s)");
    if (stopping_) emit Stopped();
}

void Gateway::ScheduleWake(std::optional<uint32_t> nextTimedPage) {
    qint64 seconds = kWakeSeconds;
    if (nextTimedPage) {
        const qint64 until = static_cast<qint64>(*nextTimedPage) - QDateTime::currentSecsSinceEpoch();
        seconds = std::clamp<qint64>(until, 1, kWakeSeconds);
    }
    wake_.start(static_cast<int>(seconds * 1000));
}

void Gateway::Start() {
    Wake();
    vorla::NotifySystemd("READY=1");
}

void Gateway::Wake() {
    if (stopping_) return;
    if (run_) {
        run_->SendDue();
        if (run_->Sending() && !step_.isActive()) step_.start();
        return;
    }
    // The program, or a vorlapage run, sends what is due while it holds the directory.
    if (lock_.TryAcquire() != vorla::ProgramDirectoryLock::Result::Acquired) {
        ScheduleWake(std::nullopt);
        return;
    }
    if (!OpenRun()) {
        ScheduleWake(std::nullopt);
        return;
    }
    run_->SendDue();
    if (run_->Sending()) {
        Status("Sending pages that are due");
        step_.start();
    } else {
        EndRun();
    }
}

void Gateway::Stop() {
    if (stopping_) return;
    stopping_ = true;
    Log(kInfo, "stopping");
    vorla::NotifySystemd("STOPPING=1");
    for (QTcpServer* server : servers_)
        server->close();
    wake_.stop();
    if (run_ && run_->Sending()) {
        run_->Stop();
        if (!step_.isActive()) step_.start();
        return;  // EndRun emits Stopped once the script has hung up
    }
    if (run_ && !inStep_)
        EndRun();
    else
        emit Stopped();
}
