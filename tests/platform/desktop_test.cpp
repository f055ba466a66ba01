// The program as the desktop sees it: the window class and desktop file name
// match the menu entry; Qt's own dialogs and menus read Chinese.

#include "platform/core/Desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include "platform/Prompt.h"

namespace {

// The keys of the desktop entry (the [Desktop Entry] group only).
QMap<QString, QString> desktopEntry() {
    QMap<QString, QString> keys;
    QFile f(QStringLiteral(YUNJAN_SOURCE_DIR "/desktop/") + platform::desktopFileId() +
            QStringLiteral(".desktop"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    bool inEntry = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry && line.contains(QLatin1Char('='))) {
            const int eq = static_cast<int>(line.indexOf(QLatin1Char('=')));
            keys.insert(line.left(eq), line.mid(eq + 1));
        }
    }
    return keys;
}

TEST(DesktopIdentity, WindowClassAndDesktopFileMatchTheMenuEntry) {
    const QMap<QString, QString> entry = desktopEntry();
    ASSERT_FALSE(entry.isEmpty()) << "desktop entry not found";
    const QString oldName = QCoreApplication::applicationName();
    platform::setProgramIdentity();
    // X11 matches StartupWMClass against the window's class, which Qt takes
    // from the application name; Wayland matches the desktop file name.
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")), QCoreApplication::applicationName());
    EXPECT_EQ(entry.value(QStringLiteral("Icon")), QGuiApplication::desktopFileName());
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("yunjan"));
    EXPECT_EQ(entry.value(QStringLiteral("Name[zh_CN]")), QStringLiteral("云笺录"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), platform::programVersion());
    QCoreApplication::setApplicationName(oldName);
    QGuiApplication::setDesktopFileName(QString());
}

TEST(QtTranslations, FileChosenForTheUsersLanguages) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString zhCN = dir + QStringLiteral("/qtbase_zh_CN.qm");
    ASSERT_TRUE(QFile::exists(zhCN)) << "Qt's translations are not installed";
    struct Case {
        QStringList languages;
        const char* file;
    } cases[] = {
        {{QStringLiteral("zh-CN")}, "qtbase_zh_CN.qm"},
        {{QStringLiteral("zh-Hans-CN"), QStringLiteral("zh-CN")}, "qtbase_zh_CN.qm"},
        {{QStringLiteral("zh-TW")}, "qtbase_zh_TW.qm"},
        {{QStringLiteral("de-DE"), QStringLiteral("de")}, "qtbase_de.qm"},
        // English is Qt's own language: the program's Chinese instead.
        {{QStringLiteral("en-US"), QStringLiteral("en")}, "qtbase_zh_CN.qm"},
        {{QStringLiteral("en-GB"), QStringLiteral("de-DE")}, "qtbase_zh_CN.qm"},
        {{QStringLiteral("C")}, "qtbase_zh_CN.qm"},
        {{}, "qtbase_zh_CN.qm"},
        // A language without a file is passed over.
        {{QStringLiteral("eo"), QStringLiteral("fr-FR")}, "qtbase_fr.qm"},
        {{QStringLiteral("eo")}, "qtbase_zh_CN.qm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.languages.join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(platform::qtTranslationFile(c.languages, dir),
                  dir + QLatin1Char('/') + QString::fromLatin1(c.file));
    }
    QTemporaryDir empty;
    EXPECT_TRUE(platform::qtTranslationFile({QStringLiteral("zh-CN")}, empty.path()).isEmpty());
}

TEST(QtTranslations, RightToLeftLanguageKeepsTheLayout) {
    QTranslator* t = platform::installQtTranslations({QStringLiteral("ar")});
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->filePath().endsWith(QStringLiteral("qtbase_ar.qm")));
    QCoreApplication::processEvents();  // the language change is delivered
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    QCoreApplication::removeTranslator(t);
    delete t;
    QCoreApplication::processEvents();
}

bool hasChinese(const QString& s) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return s.contains(han);
}

// Qt's translations installed as the program installs them (an English
// desktop), removed again after the test.
class ChineseQtTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        translator = platform::installQtTranslations({QStringLiteral("en-US")});
        ASSERT_NE(translator, nullptr);
    }
    void TearDown() override {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    static void save(QWidget* w, const char* name) {
        const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
        if (!dir.isEmpty()) w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name));
    }
    QTranslator* translator = nullptr;
};

TEST_F(ChineseQtTexts, TranslatorIsInstalled) {
    EXPECT_TRUE(translator->filePath().endsWith(QStringLiteral("qtbase_zh_CN.qm")));
    EXPECT_TRUE(hasChinese(QCoreApplication::translate("QFileDialog", "Save As")));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No | QDialogButtonBox::Save | QDialogButtonBox::Open);
    for (QAbstractButton* b : box.buttons())
        EXPECT_TRUE(hasChinese(b->text())) << b->text().toStdString();
}

TEST_F(ChineseQtTexts, SaveDialog) {
    QStringList texts;
    QString folderType;
    bool seen = false;
    // The real prompt's save dialog, looked at while it runs, then cancelled.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg) return;
        seen = true;
        dlg->resize(640, 420);
        QApplication::processEvents();
        texts << dlg->windowTitle();
        for (QLabel* l : dlg->findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty()) texts << l->text();
        for (QPushButton* b : dlg->findChildren<QPushButton*>())
            if (b->isVisible()) texts << b->text();
        // The type column of a folder (the source folder holds folders only
        // and files; its first rows are folders).
        if (auto* model = dlg->findChild<QFileSystemModel*>()) {
            const QModelIndex root = model->index(QStringLiteral(YUNJAN_SOURCE_DIR));
            QElapsedTimer t;
            t.start();
            while (model->rowCount(root) == 0 && t.elapsed() < 3000)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
            for (int row = 0; row < model->rowCount(root); ++row)
                if (model->isDir(model->index(row, 0, root)))
                    folderType = model->index(row, 2, root).data().toString();
        }
        save(dlg, "qt_save_dialog.png");
        dlg->reject();
    });
    platform::FileDialogRequest req;
    req.directory = QStringLiteral(YUNJAN_SOURCE_DIR);
    req.fileName = QStringLiteral("文章.rtf");
    req.filter = QStringLiteral("RTF 文件 (*.rtf);;文本文件 (*.txt)");
    const platform::FileDialogResult r = platform::prompt().saveFile(nullptr, req);
    EXPECT_FALSE(r.accepted);
    ASSERT_TRUE(seen);
    ASSERT_GE(texts.size(), 4) << texts.join(QLatin1Char('|')).toStdString();
    // Title, labels ("查看：", "文件名称：", "文件类型：") and buttons.
    for (const QString& t : texts) EXPECT_TRUE(hasChinese(t)) << t.toStdString();
    EXPECT_EQ(folderType.toStdString(), "文件夹");
}

TEST_F(ChineseQtTexts, LineEditContextMenu) {
    QLineEdit edit;
    edit.setText(QStringLiteral("云笺录"));
    edit.selectAll();
    edit.show();
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    int items = 0;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        ++items;
        EXPECT_TRUE(hasChinese(a->text())) << a->text().toStdString();
    }
    EXPECT_GE(items, 6);  // undo, redo, cut, copy, paste, delete, select all
    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    save(menu.get(), "qt_lineedit_menu.png");
    menu->hide();
}

}  // namespace
