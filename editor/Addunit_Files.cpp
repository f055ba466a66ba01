// The editor's document files: new, open (with the read-only box), dropped
// files, save, save as, print, closing and export of a selected picture.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include "editor/Addunit.h"
#include "editor/EditorCommands.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/ProgramPaths.h"
#include "richtext/RichEditCtrl.h"
#include "session/MainView.h"
#include "session/Session.h"
#include "store/ErrorText.h"
#include "widgets/ViewerFindDialog.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::prompt;

namespace {

const QString kUntitled = QStringLiteral("Untitled");
// Filters of the document dialogs (open offers text files too).
const QString kOpenFilter = QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)");
const QString kSaveFilter = QStringLiteral("Rich Text Files (*.RTF)");
const QString kBitmapFilter = QStringLiteral("Bitmaps 图片 (*.bmp)");

QStringList localFiles(const QMimeData* m) {
    QStringList files;
    if (!m || !m->hasUrls()) return files;
    for (const QUrl& u : m->urls())
        if (u.isLocalFile()) files << u.toLocalFile();
    return files;
}

}  // namespace

// ------------------------------------------------------------------ New

bool TAddForm::FileNew() {
    if (!QuerySaveChanges()) return false;
    SetDocumentName(kUntitled);
    withProtectedEdits([this] {
        view_.SetMargin(Editor);
        Editor->clearAll();
        if (isAddMode()) {
            EdtTheme->clear();
            CBXgroup->setEditText(QString());
        }
        Editor->setModified(false);
        Editor->setReadOnly(false);
        updateModifiedIndicator();
        // New text starts in the pane's own font.
        richtext::CharAttributes a = richtext::RichEditCtrl::attributesFromFont(Editor->font());
        a.charset = 134;
        Editor->setDefaultAttributes(a, richtext::RichEditCtrl::MaskAll);
        Editor->setSelAttributes(a, richtext::RichEditCtrl::MaskAll);
        Editor->setModified(false);
        commands_->SelectionChange();
    });
    commands_->RichEditChange();
    return true;
}

// ----------------------------------------------------------------- Open

void TAddForm::FileOpen() {
    if (!QuerySaveChanges()) return;
    platform::FileDialogRequest req;
    req.directory = platform::programPaths().documentsDir;
    req.filter = kOpenFilter;
    req.showReadOnly = true;
    const platform::FileDialogResult r = prompt().openFile(this, req);
    if (!r.accepted || r.path.isEmpty()) return;
    if (OpenDocumentFile(r.path)) Editor->setReadOnly(r.readOnly);
}

bool TAddForm::OpenDocumentFile(const QString& name) {
    try {
        withProtectedEdits([&] { Editor->loadFromFile(name); });
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return false;
    }
    SetDocumentName(name);
    Editor->setFocus();
    Editor->setModified(false);
    updateModifiedIndicator();
    commands_->RichEditChange();
    EdtTheme->setText(fileNamePart(name));
    return true;
}

// ------------------------------------------------------------ drop files

void TAddForm::openDroppedFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    // Only the first file of a drop counts.
    QApplication::setActiveWindow(this);
    raise();
    activateWindow();
    if (!QuerySaveChanges()) return;
    OpenDocumentFile(paths.first());
}

void TAddForm::dragEnterEvent(QDragEnterEvent* e) {
    if (!localFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(e);
}

void TAddForm::dropEvent(QDropEvent* e) {
    const QStringList files = localFiles(e->mimeData());
    if (files.isEmpty()) return QMainWindow::dropEvent(e);
    e->acceptProposedAction();
    openDroppedFiles(files);
}

bool TAddForm::dropFilter(QEvent* e) {
    switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDragMoveEvent*>(e);
            if (localFiles(d->mimeData()).isEmpty()) return false;
            d->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            const QStringList files = localFiles(d->mimeData());
            if (files.isEmpty()) return false;
            d->acceptProposedAction();
            openDroppedFiles(files);
            return true;
        }
        default:
            return false;
    }
}

// ----------------------------------------------------------------- Save

bool TAddForm::writeRtfFile(const QString& path) {
    QString error;
    QString cause;
    try {
        const QByteArray rtf = Editor->saveToBytes(false);
        // Written aside and renamed: a failed save leaves the old file whole.
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size() || !f.commit()) {
            error = QStringLiteral("无法写入文件 %1").arg(path);
            cause = f.errorString();
        }
    } catch (const std::exception& e) {
        const store::ErrorText m = store::errorText(e);
        error = m.text;
        cause = m.detail;
    }
    if (error.isEmpty()) return true;
    platform::reportError(this, error, cause);
    return false;
}

TAddForm::SaveResult TAddForm::FileSave() {
    if (documentName_ == kUntitled || fileExtension(documentName_) != QLatin1String(".rtf"))
        return FileSaveAs();
    if (!writeRtfFile(documentName_)) return SaveResult::Failed;
    MarkUnmodified();
    return SaveResult::Saved;
}

TAddForm::SaveResult TAddForm::FileSaveAs() {
    platform::FileDialogRequest req;
    req.directory = platform::programPaths().documentsDir;
    req.fileName = EdtTheme->text();
    req.filter = kSaveFilter;
    const platform::FileDialogResult r = prompt().saveFile(this, req);
    if (!r.accepted || r.path.isEmpty()) return SaveResult::Refused;
    const QString target = saveAsTarget(r.path);
    if (QFileInfo::exists(target) &&
        prompt().messageBox(this, QStringLiteral("文件已经存在，覆盖 %1 ？").arg(target),
                            QStringLiteral("Confirm"), Buttons::YesNoCancel,
                            Icon::Question) != Answer::Yes)
        return SaveResult::Refused;
    if (!writeRtfFile(target)) return SaveResult::Failed;
    SetDocumentName(target);
    MarkUnmodified();
    return SaveResult::Saved;
}

// ---------------------------------------------------------------- Print

void TAddForm::FilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    if (!prompt().printDialog(this, &printer)) return;
    printTo(&printer);
}

void TAddForm::printTo(QPrinter* printer) {
    const QRect page = printPageRect(printer->logicalDpiX(), printer->logicalDpiY(),
                                     printer->width(), printer->height());
    Editor->printDocument(printer, documentName_, page);
}

void TAddForm::FileExit() {
    close();
}

// ------------------------------------------------------- export picture

QImage TAddForm::selectedPicture() const {
    const QTextCursor sel = Editor->textCursor();
    QTextCursor c(Editor->document());
    c.setPosition(sel.selectionEnd());  // the format of the character before
    const QTextCharFormat f = c.charFormat();
    if (!f.isImageFormat()) return {};
    const QVariant v =
        Editor->document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
    if (v.canConvert<QImage>()) return v.value<QImage>();
    if (v.canConvert<QPixmap>()) return v.value<QPixmap>().toImage();
    return {};
}

void TAddForm::OutBmpItmClick() {
    if (!Editor->isSingleObjectSelected()) return;
    Editor->copy();
    QImage picture = selectedPicture();
    if (picture.isNull()) {
        const QMimeData* m = QGuiApplication::clipboard()->mimeData();
        if (m && m->hasImage()) picture = qvariant_cast<QImage>(m->imageData());
    }
    platform::FileDialogRequest req;
    req.filter = kBitmapFilter;
    req.defaultSuffix = QStringLiteral("bmp");
    const platform::FileDialogResult r = prompt().saveFile(this, req);
    if (!r.accepted || r.path.isEmpty()) return;
    if (QFileInfo::exists(r.path) &&
        prompt().messageBox(this, QStringLiteral("是否覆盖文件 \"%1\"？").arg(r.path),
                            QStringLiteral("Warning"), Buttons::YesNo,
                            Icon::Warning) != Answer::Yes)
        return;
    if (picture.isNull() || !picture.save(r.path, "BMP"))
        prompt().errorReport(this, QStringLiteral("无法写入文件 %1").arg(r.path));
}
