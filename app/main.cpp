// Program entry: one running copy, the splash window, the main window and the
// article editor, then the message loop.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <cstdio>
#include <memory>

#include "editor/Addunit.h"
#include "mainwindow/BackupUnit.h"
#include "mainwindow/FlashUnit.h"
#include "mainwindow/JetStartup.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/ProgramFolder.h"
#include "mainwindow/SessionEnd.h"
#include "platform/SingleInstance.h"
#include "platform/core/Desktop.h"
#include "platform/core/ProgramPaths.h"
#include "settings/AboutUnit.h"

namespace {

// The face names stored articles and the windows use, mapped to installed faces.
void substituteFonts() {
    const QStringList families = QFontDatabase::families();
    auto pick = [&families](std::initializer_list<const char*> wanted) {
        QStringList r;
        for (const char* w : wanted)
            if (families.contains(QString::fromLatin1(w), Qt::CaseInsensitive))
                r << QString::fromLatin1(w);
        return r;
    };
    const QStringList cjkSerif = pick({"Noto Serif CJK SC", "Noto Sans CJK SC", "AR PL UMing CN",
                                       "WenQuanYi Zen Hei", "DejaVu Sans"});
    const QStringList cjkSans =
        pick({"Noto Sans CJK SC", "Noto Serif CJK SC", "WenQuanYi Zen Hei", "DejaVu Sans"});
    const QStringList latinSans = pick({"DejaVu Sans", "Noto Sans", "Liberation Sans"}) + cjkSans;
    for (const char* face : {"宋体", "SimSun", "新宋体", "NSimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(face), cjkSerif);
    for (const char* face : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf8(face), cjkSans);
    for (const char* face : {"Tahoma", "Arial", "MS Sans Serif", "Verdana"})
        QFont::insertSubstitutions(QString::fromLatin1(face), latinSans);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::setProgramIdentity();
    platform::installQtTranslations(QLocale::system().uiLanguages());
    QApplication::setQuitOnLastWindowClosed(false);
    substituteFonts();
    // The windows are laid out for the classic 9-point interface font.
    QFont ui(QStringLiteral("Tahoma"));
    ui.setPointSize(9);
    QApplication::setFont(ui);
    QApplication::setWindowIcon(about::programIcon());

    // A running copy is brought back instead of starting a second one.
    platform::SingleInstance single(QStringLiteral("砚溪舟-云笺录 V2.8"));
    if (single.notifyRunning()) return 0;
    single.listen();

    // An installed program works in the user's own folder.
    if (const auto entered = enterProgramFolder(platform::programPaths()); !entered)
        std::fprintf(stderr, "yunjan: %s\n", entered.error().toLocal8Bit().constData());

    // A library in the Access format is converted (after asking) before anything else.
    if (!convertJetAtStartup()) return 1;

    auto splash = std::make_unique<TFlashForm>();
    splash->showNow();

    TMainForm main(splash.get());
    main.endsApplication = true;
    QObject::connect(&single, &platform::SingleInstance::restoreRequested, &main,
                     &TMainForm::restoreWindow);
    // A failed start has shown its message: end without showing the window.
    if (!main.quitRequested) main.show();

    auto editor = std::make_unique<TAddForm>(main.session(), main);
    editor->hide();
    main.AddForm = editor.get();
    // SIGTERM, SIGHUP and the session manager end the program as its menu does.
    auto guard = std::make_unique<sessionend::Guard>(&main, editor.get());

    splash->hide();
    splash.reset();

    // The day's copy of the library, once the window is up.
    if (!main.quitRequested) backupui::dailyBackup(&main);
    // Text an earlier run could not save.
    if (!main.quitRequested) sessionend::offerRecovery(&main, editor.get());

    int code = 1;
    if (!main.quitRequested) code = app.exec();
    if (main.quitRequested) code = 1;
    guard.reset();
    main.AddForm = nullptr;
    editor.reset();
    return code;
}
