#pragma once
// SIGTERM, SIGINT and SIGHUP (a shutdown, Ctrl+C, a closed terminal) brought into the event
// loop: the handler only writes the signal's number to a socket pair, and a socket notifier
// reads it on the user-interface thread, where the program ends in order. Nothing else is
// done inside the handler.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers. Signals that come before Listen wait in the socket until the
    // receiver of Requested is ready.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts the default handlers back.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool Installed() const { return notifier_ != nullptr; }
    // From now on every signal (and any that came before) emits Requested.
    void Listen();

signals:
    void Requested(int signalNumber);

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};
