#include "mainwindow/SessionEnd.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSaveFile>
#include <QSessionManager>

#include "editor/Addunit.h"
#include "mainwindow/MainUnit.h"
#include "platform/Prompt.h"
#include "platform/TerminationSignals.h"
#include "richtext/RichEditCtrl.h"

namespace sessionend {

QString recoveryFilePath(TMainForm* main) {
    return QFileInfo(main->db().connection().databasePath())
        .absoluteDir()
        .filePath(QStringLiteral("recovery.rtf"));
}

bool writeRecovery(TMainForm* main, TAddForm* editor) {
    if (!editor || !editor->isVisible() || !editor->Editor->modified()) return false;
    try {
        const QByteArray rtf = editor->Editor->saveToBytes(false);
        QSaveFile f(recoveryFilePath(main));
        return f.open(QIODevice::WriteOnly) && f.write(rtf) == rtf.size() && f.commit();
    } catch (const std::exception&) {
        return false;
    }
}

void endSession(TMainForm* main, TAddForm* editor) {
    static bool ending = false;
    if (ending) return;
    ending = true;
    writeRecovery(main, editor);
    if (editor) {
        // Its text is safe in the recovery file: it closes without asking.
        editor->Editor->setModified(false);
        editor->hide();
    }
    // As "退出(&X)": writes the settings file and ends the application.
    main->close();
    if (main->endsApplication) QCoreApplication::exit(0);  // also leaves open dialogs
    ending = false;
}

void offerRecovery(TMainForm* main, TAddForm* editor) {
    const QString path = recoveryFilePath(main);
    if (!QFileInfo(path).isFile()) return;
    const platform::Answer a = platform::prompt().messageBox(
        main, QStringLiteral("上次程序结束时编辑器中有未保存的文章，是否打开它继续编辑？"),
        QStringLiteral("确认"), platform::Buttons::YesNo, platform::Icon::Question);
    if (a == platform::Answer::Yes && editor) {
        main->session().editorMode = session::EditorMode::Add;
        editor->showForImport(path);
        // Not read (the error was shown): the file stays for the next start.
        if (!editor->isVisible() || editor->Editor->plainText().isEmpty()) return;
        // The text is new: no title yet, and it still has to be saved.
        editor->EdtTheme->clear();
        editor->Editor->setModified(true);
        editor->updateModifiedIndicator();
    }
    QFile::remove(path);
}

Guard::Guard(TMainForm* main, TAddForm* editor, QObject* parent)
    : QObject(parent), main_(main), editor_(editor) {
    auto* signals_ = new platform::TerminationSignals(this);
    connect(signals_, &platform::TerminationSignals::terminationRequested, this,
            [this] { endSession(main_, editor_); });
#ifndef QT_NO_SESSIONMANAGER
    // The desktop ends the session: keep everything now, leave right after.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& m) {
        m.setRestartHint(QSessionManager::RestartNever);
        QMetaObject::invokeMethod(
            this, [this] { endSession(main_, editor_); }, Qt::QueuedConnection);
        writeRecovery(main_, editor_);
        main_->FormClose();
    });
#endif
}

}  // namespace sessionend
