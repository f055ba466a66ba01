#pragma once
// Minimise to the tray: installed on the main window by setupTray(). A
// minimise hides the window instead (no task-bar entry) when the desktop has
// a system tray; without one the window minimises normally, so it can always
// be brought back. Every other state change passes unchanged.

#include <QObject>

class MinimiseToTrayFilter : public QObject {
    Q_OBJECT
  public:
    explicit MinimiseToTrayFilter(QObject* parent) : QObject(parent) {}

    // Whether the desktop has a tray. Tests can force the answer:
    // -1 asks the desktop (default), 0 no tray, 1 a tray.
    static bool trayAvailable();
    static void setTrayAvailableOverride(int value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
