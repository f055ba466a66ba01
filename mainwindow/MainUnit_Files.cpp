// Import, export and print of articles.
#include <QFileInfo>
#include <QPrinter>

#include "editor/Addunit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PrintMargins.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "richtext/RichEditCtrl.h"
#include "store/Engine.h"
#include "store/ErrorText.h"
#include "widgets/ViewerFindDialog.h"

using platform::Buttons;
using platform::Icon;

namespace {

// The printer chosen in the print and printer setup dialogs, kept for the run.
class PrinterHolder : public QObject {
  public:
    explicit PrinterHolder(QObject* parent) : QObject(parent) {
        setObjectName(QStringLiteral("printerHolder"));
    }
    QPrinter printer{QPrinter::HighResolution};
};

QPrinter& sharedPrinter(TMainForm* w) {
    for (QObject* o : w->children())
        if (auto* h = dynamic_cast<PrinterHolder*>(o)) return h->printer;
    return (new PrinterHolder(w))->printer;
}

}  // namespace

QString exportTargetPath(const QString& chosen) {
    // Only an exact ".rtf" ending is kept; anything else gets ".rtf" appended.
    return chosen.endsWith(QStringLiteral(".rtf"), Qt::CaseSensitive)
               ? chosen
               : chosen + QStringLiteral(".rtf");
}

QRect printPageRect(int dpiX, int dpiY, const QSize& printable) {
    const int mx = qRound(dpiX / 25.4 * 20);
    const int my = qRound(dpiY / 25.4 * 20);
    // left, top, right = width - mx, bottom = height - my
    return QRect(QPoint(mx, my), QPoint(printable.width() - mx, printable.height() - my))
        .adjusted(0, 0, -1, -1);
}

void TMainForm::mmImportClick() {
    platform::FileDialogRequest req;
    req.filter = QStringLiteral("Rich Text Files (*.RTF *.rtf);;Text Files (*.TXT *.txt)");
    const platform::FileDialogResult res = platform::prompt().openFile(this, req);
    if (!res.accepted || res.path.isEmpty()) return;
    session_.editorMode = session::EditorMode::Add;
    try {
        // Also when the editor is already open from an earlier import: it
        // comes forward with the new file.
        AddForm->showForImport(res.path);
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
    }
}

void TMainForm::mmExportClick() {
    if (selectedIndex() < 0 || selectedIndex() >= db().ADOQuery1().recordCount()) {
        platform::prompt().messageBox(this, QStringLiteral("请选择要导出的文章题目!"),
                                      QStringLiteral("提示"), Buttons::Ok, Icon::Information);
        return;
    }
    platform::FileDialogRequest req;
    req.fileName = session_.shown.title;
    req.filter = QStringLiteral("Rich Text Files (*.RTF *.rtf)");
    const platform::FileDialogResult res = platform::prompt().saveFile(this, req);
    if (!res.accepted || res.path.isEmpty()) return;
    const QString target = exportTargetPath(res.path);
    if (QFileInfo::exists(target)) {
        const platform::Answer a = platform::prompt().messageBox(
            this, QStringLiteral("文件已经存在，覆盖 %1 ？").arg(target), QStringLiteral("Confirm"),
            Buttons::YesNoCancel, Icon::Question);
        if (a != platform::Answer::Yes) return;
    }
    try {
        RichEdit1->saveToFile(target);
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
    }
}

void TMainForm::mmPrintClick() {
    QPrinter& printer = sharedPrinter(this);
    if (!platform::prompt().printDialog(this, &printer)) return;
    const QRect page =
        printPageRect(printer.logicalDpiX(), printer.logicalDpiY(),
                      printer.pageLayout().paintRectPixels(printer.resolution()).size());
    try {
        RichEdit1->printDocument(&printer, QStringLiteral("文档打印"), page);
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
    }
}

void TMainForm::mmPrintSetupClick() {
    platform::prompt().printerSetup(this, &sharedPrinter(this));
}
