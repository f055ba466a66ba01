#pragma once
// One running copy per user and desktop session: the first start listens on
// a local socket named after the main window's caption, the user and the
// session (display or Wayland socket, runtime folder); a second start on the
// same desktop asks it to restore its window and then exits.

#include <QObject>
#include <QString>

class QLocalServer;

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy answered (it was asked to restore its window).
    bool notifyRunning();
    // Starts listening; emits restoreRequested when a later copy starts.
    bool listen();

  signals:
    void restoreRequested();

  private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace platform
