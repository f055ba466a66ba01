// Entry point of every test executable: a QApplication (offscreen unless a
// platform was chosen) so widget tests can create real windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("yunjan-tests"));
    // The face names stored documents use, mapped to installed faces.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"),
                                                        QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("Noto Serif CJK SC"),
                                                          QStringLiteral("Noto Sans CJK SC")});
    return RUN_ALL_TESTS();
}
