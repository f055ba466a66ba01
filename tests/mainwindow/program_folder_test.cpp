// An installed program's first and later starts: the user's folders, the
// library with the welcome articles, the settings file in the config folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "mainwindow/FlashUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/ProgramFolder.h"
#include "mainwindow/TitleList.h"
#include "platform/core/ProfileFile.h"
#include "tests/support/ScriptedPrompt.h"

namespace {

class InstalledProgramFolder : public ::testing::Test {
  protected:
    InstalledProgramFolder() : oldCwd(QDir::currentPath()) {
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("cfg")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));
        paths = platform::programPathsFor(QStringLiteral("/usr/bin/yunjan"), true, env);
    }
    ~InstalledProgramFolder() override { QDir::setCurrent(oldCwd); }

    // One start of the program up to a shown main window, then its close.
    int startAndClose(int width) {
        TFlashForm splash;
        TMainForm w(&splash);
        w.settingsFile = paths.settingsFile;  // what the program takes from programPaths()
        w.show();
        QApplication::processEvents();
        w.resize(width, 600);
        const int titles = w.ListBox1->count();
        w.close();
        return titles;
    }

    QTemporaryDir home;
    QProcessEnvironment env;
    platform::ProgramPaths paths;
    testsupport::ScriptedPrompt prompt;
    const QString oldCwd;
};

TEST_F(InstalledProgramFolder, FirstStartCreatesTheLibraryAndLaterStartsKeepIt) {
    const QString work = home.filePath(QStringLiteral("share/yunjan"));
    const QString library = work + QStringLiteral("/data/YunjanDB.mdb");
    const QString settings = home.filePath(QStringLiteral("cfg/yunjan/yunjan.ini"));
    ASSERT_EQ(paths.workDir, work);
    ASSERT_EQ(paths.settingsFile, settings);

    const auto entered = enterProgramFolder(paths);
    ASSERT_TRUE(entered) << entered.error().toStdString();
    EXPECT_EQ(QDir::currentPath(), work);
    EXPECT_TRUE(QFileInfo::exists(library));
    EXPECT_TRUE(QFileInfo(settings).dir().exists());

    // The program finds its library there: the welcome articles, no message.
    EXPECT_GT(startAndClose(700), 0);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.texts().join("|").toStdString();
    EXPECT_EQ(platform::ProfileFile(settings).readInteger(QStringLiteral("WindowSize"),
                                                          QStringLiteral("WindowWidth"), 0),
              700);

    // A later start leaves the user's library as it is.
    const QDateTime modified = QFileInfo(library).lastModified();
    QFile marker(work + QStringLiteral("/data/keep"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    QDir::setCurrent(oldCwd);
    const auto again = enterProgramFolder(paths);
    ASSERT_TRUE(again) << again.error().toStdString();
    EXPECT_EQ(QFileInfo(library).lastModified(), modified);
    EXPECT_TRUE(QFileInfo::exists(marker.fileName()));
}

TEST_F(InstalledProgramFolder, FolderThatCannotBeMadeIsReported) {
    // The data folder's place is taken by a file.
    QFile blocker(home.filePath(QStringLiteral("share")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto entered = enterProgramFolder(paths);
    EXPECT_FALSE(entered);
    EXPECT_TRUE(entered.error().contains(paths.workDir)) << entered.error().toStdString();
    EXPECT_EQ(QDir::currentPath(), oldCwd);
}

TEST(PortableProgramFolder, StaysWhereItWasStarted) {
    QTemporaryDir dir;
    const QString cwd = QDir::currentPath();
    const platform::ProgramPaths p = platform::programPathsFor(
        dir.filePath(QStringLiteral("yunjan")), false, QProcessEnvironment());
    EXPECT_TRUE(enterProgramFolder(p));
    EXPECT_EQ(QDir::currentPath(), cwd);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("data"))));
}

}  // namespace
