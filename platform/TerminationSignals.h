#pragma once
// SIGTERM and SIGHUP (the desktop logging out, `kill`) as a Qt signal: the
// handler only writes the signal number into a socket pair, and a socket
// notifier on the creating thread emits terminationRequested from the event
// loop, where the program can end as it does from its menu.

#include <QObject>

class QSocketNotifier;

namespace platform {

class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    // Installs the handlers (one object at a time).
    explicit TerminationSignals(QObject* parent = nullptr);
    // Restores the default handlers.
    ~TerminationSignals() override;

  signals:
    void terminationRequested(int signalNumber);

  private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
