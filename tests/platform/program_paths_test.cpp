// Where the settings file and the library are, for a portable program folder
// and for an installed program.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/core/ProgramPaths.h"

using platform::ProgramPaths;

namespace {

QProcessEnvironment envOf(std::initializer_list<std::pair<const char*, const char*>> vars) {
    QProcessEnvironment env;
    for (const auto& [k, v] : vars) env.insert(QString::fromLatin1(k), QString::fromUtf8(v));
    return env;
}

TEST(ProgramPaths, PortableFolderKeepsSettingsBesideTheProgram) {
    const ProgramPaths p = platform::programPathsFor(
        QStringLiteral("/home/li/云笺录/yunjan"), false,
        envOf({{"HOME", "/home/li"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/data"}}));
    EXPECT_FALSE(p.installed);
    EXPECT_EQ(p.settingsFile, QStringLiteral("/home/li/云笺录/yunjan.ini"));
    EXPECT_TRUE(p.workDir.isEmpty());  // works where it was started
    EXPECT_EQ(p.documentsDir, QStringLiteral("/home/li/云笺录"));
}

// AddDB, beside the main program, reads the main program's settings file:
// beside both when portable, the user's one when installed.
TEST(ProgramPaths, AProgramBesideTheMainOneSharesItsSettingsFile) {
    const QProcessEnvironment env =
        envOf({{"HOME", "/home/li"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/data"}});
    const struct {
        bool installed;
        const char* settings;
    } cases[] = {{false, "/opt/云笺录/yunjan.ini"}, {true, "/cfg/yunjan/yunjan.ini"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installed);
        const ProgramPaths p =
            platform::mainProgramPathsFor(QStringLiteral("/opt/云笺录/AddDB"), c.installed, env);
        EXPECT_EQ(p.settingsFile, QString::fromUtf8(c.settings));
    }
}

TEST(ProgramPaths, InstalledProgramUsesTheUsersFolders) {
    struct Case {
        const char* name;
        QProcessEnvironment env;
        const char* settings;
        const char* work;
    } cases[] = {
        {"XDG folders set",
         envOf(
             {{"HOME", "/home/li"}, {"XDG_CONFIG_HOME", "/x/cfg/"}, {"XDG_DATA_HOME", "/x/data"}}),
         "/x/cfg/yunjan/yunjan.ini", "/x/data/yunjan"},
        {"defaults below HOME", envOf({{"HOME", "/home/li"}}), "/home/li/.config/yunjan/yunjan.ini",
         "/home/li/.local/share/yunjan"},
        {"empty XDG folders",
         envOf({{"HOME", "/home/li"}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", ""}}),
         "/home/li/.config/yunjan/yunjan.ini", "/home/li/.local/share/yunjan"},
        // Relative XDG folders are not valid and are ignored.
        {"relative XDG folders",
         envOf({{"HOME", "/home/li"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_DATA_HOME", "./data"}}),
         "/home/li/.config/yunjan/yunjan.ini", "/home/li/.local/share/yunjan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramPaths p =
            platform::programPathsFor(QStringLiteral("/usr/bin/yunjan"), true, c.env);
        EXPECT_TRUE(p.installed);
        EXPECT_EQ(p.settingsFile, QString::fromUtf8(c.settings));
        EXPECT_EQ(p.workDir, QString::fromUtf8(c.work));
        EXPECT_EQ(p.documentsDir, QStringLiteral("/home/li"));
    }
    // Without HOME the user's home folder as the system knows it.
    const ProgramPaths p =
        platform::programPathsFor(QStringLiteral("/usr/bin/yunjan"), true, envOf({}));
    EXPECT_EQ(p.settingsFile, QDir::homePath() + QStringLiteral("/.config/yunjan/yunjan.ini"));
    EXPECT_EQ(p.workDir, QDir::homePath() + QStringLiteral("/.local/share/yunjan"));
}

TEST(ProgramPaths, WhichProgramCountsAsInstalled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder the user can write: the portable case.
    EXPECT_FALSE(platform::isInstalledProgram(dir.filePath(QStringLiteral("yunjan"))));
    // The folder the build installs to, even for a user who may write it.
    EXPECT_TRUE(
        platform::isInstalledProgram(platform::installBinDir() + QStringLiteral("/yunjan")));
    // A folder that cannot be written (here: one that is not there).
    EXPECT_TRUE(platform::isInstalledProgram(dir.filePath(QStringLiteral("gone/yunjan"))));
}

}  // namespace
