// Tray icon, minimise to tray, owner-drawn menu look, about/help/update links.
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "mainwindow/DrawXpMenu.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TrayFilter.h"
#include "platform/Shell.h"
#include "settings/AboutUnit.h"

namespace {

int g_trayOverride = -1;

void openWithShell(const QString& target, const QStringList& args = {}) {
    // The shell reports any failure itself; the program goes on.
    platform::shellOpen(platform::ShellRequest{target, args, QString()});
}

}  // namespace

bool MinimiseToTrayFilter::trayAvailable() {
    if (g_trayOverride >= 0) return g_trayOverride != 0;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MinimiseToTrayFilter::setTrayAvailableOverride(int value) {
    g_trayOverride = value;
}

bool MinimiseToTrayFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if ((w->windowState() & Qt::WindowMinimized) && trayAvailable()) {
            // Hide once the state change has been handled everywhere.
            QTimer::singleShot(0, w, [w] {
                if (!(w->windowState() & Qt::WindowMinimized)) return;
                w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                w->hide();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void TMainForm::setupTray() {
    TrayIcon1 = new QSystemTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setIcon(about::programIcon());
    TrayIcon1->setToolTip(QStringLiteral("云笺集 V2.6"));
    // The icon's own menu keeps the standard look.
    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("TrayPopup"));
    QAction* pmclose = popup->addAction(QStringLiteral("关闭"));
    pmclose->setObjectName(QStringLiteral("pmclose"));
    connect(pmclose, &QAction::triggered, this, &TMainForm::pmcloseClick);
    TrayIcon1->setContextMenu(popup);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) TrayIcon1Click();
            });
    TrayIcon1->show();
    installEventFilter(new MinimiseToTrayFilter(this));
}

void TMainForm::TrayIcon1Click() {
    if (isVisible()) {
        hide();
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMainForm::pmcloseClick() {
    close();
}
void TMainForm::mmCloseClick() {
    close();
}

void TMainForm::MMaboutClick() {
    TAboutForm dlg(this);
    dlg.exec();
}

void TMainForm::MMhelpClick() {
    openWithShell(QStringLiteral("help.chm"));
}

void TMainForm::mmUpdateClick() {
    openWithShell(QStringLiteral("update.exe"), {QStringLiteral("-s")});
}

void TMainForm::mmHomePageClick() {
    openWithShell(QString::fromUtf8(about::kHomePage));
}

void TMainForm::mmMailClick() {
    openWithShell(about::mailLink());
}

void TMainForm::setupMenuDrawing() {
    // One style for every owner-drawn drop-down; the line-spacing and
    // workbook submenus of the View menu keep the standard look.
    auto* style = new XpMenuStyle;
    style->setParent(this);
    const QStringList standardLook{QStringLiteral("标题行距"), QStringLiteral("工作簿")};
    for (QAction* a : menuBar()->actions())
        if (QMenu* m = a->menu()) applyXpMenuStyle(m, style, standardLook);
}
