#include "platform/Prompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLayout>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>

namespace platform {
namespace {

QMessageBox::Icon toQt(Icon i) {
    switch (i) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

class RealPrompt final : public Prompt {
  public:
    Answer messageBox(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override {
        QMessageBox box(toQt(icon), caption, text, QMessageBox::NoButton, owner);
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        QPushButton* yes = nullptr;
        QPushButton* no = nullptr;
        switch (buttons) {
            case Buttons::Ok:
                ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
                break;
            case Buttons::OkCancel:
                ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
                cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
                break;
            case Buttons::YesNo:
                yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
                no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
                break;
            case Buttons::YesNoCancel:
                yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
                no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
                cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
                break;
        }
        if (cancel)
            box.setEscapeButton(cancel);
        else if (no)
            box.setEscapeButton(no);
        else if (ok)
            box.setEscapeButton(ok);
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        if (clicked && clicked == ok) return Answer::Ok;
        if (clicked && clicked == yes) return Answer::Yes;
        if (clicked && clicked == no) return Answer::No;
        if (buttons == Buttons::YesNo) return Answer::No;
        return Answer::Cancel;
    }

    void showMessage(QWidget* owner, const QString& text) override {
        messageBox(owner, text, QString::fromUtf8(kAppTitle), Buttons::Ok, Icon::None);
    }
    void information(QWidget* owner, const QString& text) override {
        messageBox(owner, text, QString::fromUtf8(kAppTitle), Buttons::Ok, Icon::Information);
    }
    void errorReport(QWidget* owner, const QString& text, const QString& detail) override {
        if (detail.isEmpty()) {
            messageBox(owner, text, QString::fromUtf8(kAppTitle), Buttons::Ok, Icon::Error);
            return;
        }
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppTitle), text,
                        QMessageBox::NoButton, owner);
        QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
        box.setDetailedText(detail);
        box.exec();
    }

    FileDialogResult openFile(QWidget* owner, const FileDialogRequest& req) override {
        QFileDialog dlg(owner, req.caption, req.directory, req.filter);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        if (!req.fileName.isEmpty()) dlg.selectFile(req.fileName);
        QCheckBox* ro = nullptr;
        if (req.showReadOnly) {
            ro = new QCheckBox(QStringLiteral("以只读方式打开(&R)"), &dlg);
            if (auto* lay = dlg.layout()) lay->addWidget(ro);
        }
        FileDialogResult r;
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return r;
        r.accepted = true;
        r.paths = dlg.selectedFiles();
        r.path = r.paths.first();
        r.filterIndex = static_cast<int>(dlg.nameFilters().indexOf(dlg.selectedNameFilter()));
        if (r.filterIndex < 0) r.filterIndex = 0;
        r.readOnly = ro && ro->isChecked();
        return r;
    }

    FileDialogResult saveFile(QWidget* owner, const FileDialogRequest& req) override {
        QFileDialog dlg(owner, req.caption, req.directory, req.filter);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        // Callers ask about overwriting themselves.
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!req.defaultSuffix.isEmpty()) dlg.setDefaultSuffix(req.defaultSuffix);
        if (!req.fileName.isEmpty()) dlg.selectFile(req.fileName);
        FileDialogResult r;
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return r;
        r.accepted = true;
        r.paths = dlg.selectedFiles();
        r.path = r.paths.first();
        r.filterIndex = static_cast<int>(dlg.nameFilters().indexOf(dlg.selectedNameFilter()));
        if (r.filterIndex < 0) r.filterIndex = 0;
        return r;
    }

    bool chooseColor(QWidget* owner, const QColor& initial, QColor* chosen) override {
        QColor c = QColorDialog::getColor(initial, owner);
        if (!c.isValid()) return false;
        if (chosen) *chosen = c;
        return true;
    }
    bool chooseFont(QWidget* owner, const QFont& initial, QFont* chosen) override {
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, initial, owner);
        if (ok && chosen) *chosen = f;
        return ok;
    }
    bool printDialog(QWidget* owner, QPrinter* printer) override {
        QPrintDialog dlg(printer, owner);
        return dlg.exec() == QDialog::Accepted;
    }
    bool printerSetup(QWidget* owner, QPrinter* printer) override {
        QPageSetupDialog dlg(printer, owner);
        return dlg.exec() == QDialog::Accepted;
    }
};

Prompt* g_prompt = nullptr;

}  // namespace

Prompt& prompt() {
    static RealPrompt real;
    return g_prompt ? *g_prompt : real;
}

void setPrompt(Prompt* p) {
    g_prompt = p;
}

}  // namespace platform
