// Word-processor import and paste of web content. The word processor works
// on an OpenFilesThread; every change of the pane is handed to the window's
// thread in order, so the user can keep working meanwhile.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMimeData>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <memory>

#include "editor/Addunit.h"
#include "editor/ThreadUnit.h"
#include "platform/ErrorReport.h"
#include "platform/OfficeServer.h"
#include "platform/Prompt.h"
#include "platform/core/ProgramPaths.h"
#include "richtext/RichEditCtrl.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::prompt;

namespace {

// The import dialog's filter: the descriptions as the user sees them, each
// with its patterns separated by blanks (a file dialog takes "*.DOC;*.DOT"
// for one pattern that matches nothing). Matching ignores case.
const QString kImportFilter = QStringLiteral(
    "所有支持文档 (*.DOC *.DOT *.HTM *.HTML *.MHT *.MHTML *.WRI *.DOCX);;"
    "Word文档 (*.doc *.dot);;"
    "XML 文件 (*.XML);;"
    "所有网页 (*.htm *.html *.mht *.mhtml);;"
    "Windows Write (*.wri);;"
    "Word2007  文档 (*.docx)");

// Runs f on the window's thread after everything handed over before it.
// The form may be gone by then: f is skipped.
void onWindowThread(const QPointer<TAddForm>& form, std::function<void(TAddForm*)> f) {
    QMetaObject::invokeMethod(
        qApp,
        [form, f = std::move(f)] {
            if (form) f(form.data());
        },
        Qt::QueuedConnection);
}

}  // namespace

const QString& TAddForm::busyText() {
    static const QString text = QStringLiteral("〖砚溪舟云笺集〗系统正在处理数据……");
    return text;
}

const QString& TAddForm::importFilter() {
    return kImportFilter;
}

void TAddForm::FileOopenWordClick() {
    platform::FileDialogRequest req;
    req.directory = platform::programPaths().documentsDir;
    req.filter = kImportFilter;
    const platform::FileDialogResult r = prompt().openFile(this, req);
    if (!r.accepted || r.path.isEmpty()) return;
    OpenFilesThread::start(this, OpenFilesThread::ImportFile, r.path, QString());
}

void TAddForm::EditPasteHtmlClick() {
    // The web content is taken now: the worker cannot read the clipboard.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QString html;
    if (data && data->hasHtml())
        html = data->html();
    else if (data && data->hasText())
        html = Qt::convertFromPlainText(data->text());
    OpenFilesThread::start(this, OpenFilesThread::PasteWebFormat, QString(), html);
}

void TAddForm::ImportDocument(QPointer<TAddForm> form, bool import, const QString& fileName,
                              const QString& html) {
    // What the pane held before the import, to give it back on failure.
    auto before = std::make_shared<QByteArray>();

    // 1. Import only: the busy text as the pane's only line.
    if (import) {
        onWindowThread(form, [before](TAddForm* f) {
            *before = f->Editor->saveToBytes();
            f->withProtectedEdits([f] {
                f->Editor->clearAll();
                f->Editor->insertPlainText(busyText());
            });
        });
    }
    // 2. Hourglass over the pane.
    onWindowThread(form, [](TAddForm* f) { f->Editor->viewport()->setCursor(Qt::WaitCursor); });

    // 3. Connect to the server or start one.
    if (!platform::OfficeServer::connect()) {
        onWindowThread(form, [](TAddForm* f) {
            prompt().messageBox(f, QStringLiteral("你的系统中，没有安装WORD组件，不能正常工作。"),
                                QStringLiteral("提示框"), Buttons::Ok, Icon::Warning);
            f->Editor->viewport()->unsetCursor();
        });
        return;
    }
    // 4. Cursor back to default.
    onWindowThread(form, [](TAddForm* f) { f->Editor->viewport()->unsetCursor(); });

    // 5. Open the document, or add one and paste the web content (7).
    auto opened = import ? platform::OfficeServer::open(fileName)
                         : platform::OfficeServer::addAndPasteHtml(html);
    if (!opened) {
        platform::logCause(
            import ? QStringLiteral("无法导入文档") : QStringLiteral("无法粘贴网页格式的内容"),
            opened.error());
        // The word processor could not take the document: say so and give
        // the pane back what it held.
        onWindowThread(form, [import, before, fileName](TAddForm* f) {
            if (import) {
                f->withProtectedEdits([f, before] {
                    const bool modified = f->Editor->document()->isModified();
                    f->Editor->loadFromBytes(*before);
                    f->Editor->document()->setModified(modified);
                });
            }
            const QString text = import ? QStringLiteral("无法导入文档：%1").arg(fileName)
                                        : QStringLiteral("无法粘贴网页格式的内容。");
            prompt().messageBox(f, text, QStringLiteral("提示框"), Buttons::Ok, Icon::Warning);
        });
        return;
    }
    platform::OfficeServer::Document& doc = opened.value();
    // 6. Hide its window.
    doc.hideWindow();
    // 8. Select all and copy: the whole document as rich text.
    const QByteArray rtf = doc.selectAllAndCopy();
    // 10. Close without saving (the temporary files go with it).
    doc.closeWithoutSaving();

    onWindowThread(form, [import, rtf](TAddForm* f) {
        // 7. Import: clear the pane.
        if (import) f->withProtectedEdits([f] { f->Editor->clearAll(); });
        // 9. The clipboard holds the document; paste it at the caret.
        auto* mime = new QMimeData;
        mime->setData(QStringLiteral("text/rtf"), rtf);
        mime->setData(QStringLiteral("application/rtf"), rtf);
        QGuiApplication::clipboard()->setMimeData(mime);
        f->Editor->paste();
    });
}

void TAddForm::shutdownImportServer() {
    // Imports still running get a moment to finish (they never wait for this
    // thread); then a server without open documents is told to quit.
    QDeadlineTimer deadline(20000);
    while (OpenFilesThread::activeCount() > 0 && !deadline.hasExpired()) QThread::msleep(20);
    platform::OfficeServer::quitIfIdle();
}
