// A second start of the program restores the running main window and exits.

#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QProcess>

#include "tests/mainwindow/MainFixture.h"

using namespace mwtest;

namespace {
class SingleInstanceTest : public InstalledDbTest {};
}  // namespace

TEST_F(SingleInstanceTest, SecondStartRestoresTheHiddenWindowAndExits) {
    const QString program = QStringLiteral(YUNJAN_BINARY_DIR "/yunjan");
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << "the program is built with the tests";

    platform::SingleInstance single(QStringLiteral("砚溪舟-云笺录 V2.8"));
    if (single.notifyRunning()) GTEST_SKIP() << "a copy of the program is running";
    ASSERT_TRUE(single.listen());
    open();
    QObject::connect(&single, &platform::SingleInstance::restoreRequested, w.get(),
                     &TMainForm::restoreWindow);
    w->hide();  // as when minimised to the tray
    ASSERT_FALSE(w->isVisible());

    QProcess second;
    second.setWorkingDirectory(db.dir());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForStarted(10000));
    // Serve the request while waiting for the second copy to end.
    QElapsedTimer t;
    t.start();
    while (second.state() != QProcess::NotRunning && t.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        second.waitForFinished(20);
    }
    ASSERT_EQ(second.state(), QProcess::NotRunning);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitFor([this] { return w->isVisible(); }));
    EXPECT_FALSE(w->isMinimized());
    // The second copy opened no window of its own and wrote no settings.
    EXPECT_FALSE(QFileInfo::exists(db.dir() + "/yunjan.ini"));
}

// The running copy is the one on the user's desktop: a start on another
// display or Wayland session is a copy of its own, on the same display (any
// screen of it) it finds the running one.
TEST(SingleInstanceKey, OneCopyPerUserAndDesktopSession) {
    struct Env {
        const char* display;
        const char* wayland;
    };
    struct Case {
        const char* name;
        Env first, second;
        bool found;
    } cases[] = {
        {"same display", {":7", nullptr}, {":7", nullptr}, true},
        {"another screen of the display", {":7", nullptr}, {":7.1", nullptr}, true},
        {"another display", {":7", nullptr}, {":8", nullptr}, false},
        {"another Wayland session", {":7", "wayland-7"}, {":7", "wayland-8"}, false},
        {"Wayland and X of one session", {":7", "wayland-7"}, {":7", "wayland-7"}, true},
    };
    const QByteArray display = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
    auto set = [](const Env& e) {
        qputenv("DISPLAY", e.display);
        if (e.wayland)
            qputenv("WAYLAND_DISPLAY", e.wayland);
        else
            qunsetenv("WAYLAND_DISPLAY");
    };
    const QString key = QStringLiteral("yunjan-test-%1").arg(QCoreApplication::applicationPid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set(c.first);
        platform::SingleInstance running(key);
        ASSERT_TRUE(running.listen());
        int restores = 0;
        QObject::connect(&running, &platform::SingleInstance::restoreRequested,
                         [&] { ++restores; });
        set(c.second);
        platform::SingleInstance second(key);
        EXPECT_EQ(second.notifyRunning(), c.found);
        if (c.found) {
            EXPECT_TRUE(waitFor([&] { return restores == 1; }, 2000));
        } else {
            EXPECT_TRUE(second.listen());
            EXPECT_EQ(restores, 0);
        }
    }
    qputenv("DISPLAY", display);
    if (wayland.isNull())
        qunsetenv("WAYLAND_DISPLAY");
    else
        qputenv("WAYLAND_DISPLAY", wayland);
}
