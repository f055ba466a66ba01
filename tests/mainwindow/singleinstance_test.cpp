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
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "program not built";

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
