// The article viewer: showing the selected article, zoom, background, links,
// copy through the copy buffer, and the find dialog.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QTextCursor>

#include "mainwindow/ColorCombo.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "richtext/RichEditCtrl.h"
#include "store/Fields.h"
#include "widgets/ViewerFindDialog.h"

namespace {

// Keeps a rich-text control's 20-pixel text inset when the control changes
// size, and paints the inset in the pane's own background colour.
class MarginKeeper : public QObject {
  public:
    explicit MarginKeeper(richtext::RichEditCtrl* ctrl) : QObject(ctrl), ctrl_(ctrl) {
        ctrl->installEventFilter(this);
        syncInset();
    }

    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == ctrl_) {
            if (e->type() == QEvent::Resize)
                ctrl_->SetMargin();
            else if (e->type() == QEvent::PaletteChange)
                syncInset();
        }
        return false;
    }

  private:
    void syncInset() {
        QPalette pal = ctrl_->palette();
        if (pal.color(QPalette::Window) == pal.color(QPalette::Base)) return;
        pal.setColor(QPalette::Window, pal.color(QPalette::Base));
        ctrl_->setAutoFillBackground(true);
        ctrl_->setPalette(pal);
    }

    richtext::RichEditCtrl* ctrl_;
};

}  // namespace

void TMainForm::SetMargin(richtext::RichEditCtrl* ctrl) {
    if (!ctrl) return;
    if (!ctrl->property("yunjanMarginKept").toBool()) {
        ctrl->setProperty("yunjanMarginKept", true);
        new MarginKeeper(ctrl);
    }
    ctrl->SetMargin();
}

QByteArray TMainForm::viewerContent() const {
    return RichEdit1->saveToBytes(false);
}

void TMainForm::ListBox1Click() {
    try {
        ShowArticle();
    } catch (const std::exception& e) {
        platform::logCause(QStringLiteral("文章未找到！"), store::errorCause(e));
        platform::prompt().messageBox(this, QStringLiteral("文章未找到！"), QStringLiteral("提示:"),
                                      platform::Buttons::Ok, platform::Icon::Error);
    }
}

void TMainForm::ShowArticle() {
    const int i = selectedIndex();
    if (i < 0) throw std::runtime_error("no title selected");
    store::RecordSet& q = session_.store().ADOQuery1();
    session_.store().moveMainTo(i);
    if (q.eof()) throw std::runtime_error("no row for the selected title");
    session_.shown.isFormat = q.asBoolean(store::kFieldIsFormat);
    session_.shown.title = q.asString(QStringLiteral("Theme"));
    session_.shown.group = q.asString(store::kFieldGroup);
    if (session_.shown.isFormat) {
        const QByteArray bytes = q.readBlob(store::kFieldContent);
        RichEdit1->clearAll();
        RichEdit1->loadFromBytes(bytes);
    } else {
        QString text = q.asString(store::kFieldContent);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        RichEdit1->clearAll();
        // A plain body is always shown in the viewer's own font.
        RichEdit1->setDefaultAttributes(richtext::RichEditCtrl::attributesFromFont(*viewerFont),
                                        richtext::RichEditCtrl::MaskAll);
        RichEdit1->appendLine(text);
    }
    CBXscaleChange();
}

void TMainForm::CBXscaleChange() {
    const QString text = CBXscale->currentText();
    const int pct = text.indexOf(QLatin1Char('%'));
    bool ok = false;
    const int n = pct > 0 ? text.left(pct).trimmed().toInt(&ok) : 0;
    if (!ok || n <= 0) return;
    RichEdit1->setZoom(n, 100);
}

void TMainForm::mmZoomIClick() {
    if (CBXscale->currentIndex() < CBXscale->count() - 1) {
        CBXscale->setCurrentIndex(CBXscale->currentIndex() + 1);
        CBXscaleChange();
    }
}

void TMainForm::mmZoomRClick() {
    if (CBXscale->currentIndex() > 0) {
        CBXscale->setCurrentIndex(CBXscale->currentIndex() - 1);
        CBXscaleChange();
    }
}

platform::ColorCode TMainForm::viewerBackgroundCode() const {
    return static_cast<ColorComboBox*>(cxColorComboBox1)->colorCode();
}

void TMainForm::setViewerBackgroundCode(platform::ColorCode code) {
    static_cast<ColorComboBox*>(cxColorComboBox1)->setColorCode(code);
    // The chooser announces only changes; apply in any case.
    cxColorComboBox1PropertiesChange();
}

void TMainForm::cxColorComboBox1PropertiesChange() {
    RichEdit1->setPaneBackground(platform::colorFromCode(viewerBackgroundCode()));
}

void TMainForm::RichEdit1URLClick(const QString& url, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    platform::ShellRequest req;
    req.target = url;
    platform::shellOpen(req);
}

void TMainForm::N1Click() {
    QClipboard* cb = QApplication::clipboard();
    cb->clear();
    RichEdit1->copy();
    copyBuffer->clearAll();
    copyBuffer->paste();
    copyBuffer->selectAllText();
    copyBuffer->copy();
}

void TMainForm::BtnFindTextClick() {
    RichEdit1->setFocus();
    if (!findDialog_) {
        findDialog_ = new ViewerFindDialog(this);
        connect(findDialog_, &ViewerFindDialog::findNext, this, &TMainForm::FindDialog1Find);
        connect(findDialog_, &ViewerFindDialog::dialogClosed, this, [this] {
            activateWindow();
            setFocus();
        });
    }
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
}

void TMainForm::FindDialog1Find() {
    if (!findDialog_) return;
    const QString text = findDialog_->findText();
    if (text.isEmpty()) return;
    richtext::FindOptions opt;
    opt.matchCase = findDialog_->matchCase();
    opt.wholeWord = findDialog_->wholeWord();
    const int selStart = RichEdit1->selStart();
    int found = -1;
    if (findDialog_->down()) {
        const int start = selStart + RichEdit1->selLength();
        found = RichEdit1->findText(text, start, -1, opt);
    } else {
        // The last match that begins before the selection.
        int last = -1;
        for (;;) {
            const int from = last + 1;
            if (from >= selStart) break;
            const int m = RichEdit1->findText(text, from, selStart - from, opt);
            if (m < 0) break;
            last = m;
        }
        found = last;
    }
    if (found >= 0) {
        RichEdit1->setFocus();
        RichEdit1->setSel(found, static_cast<int>(text.size()));
        return;
    }
    QTextCursor c = RichEdit1->textCursor();
    c.movePosition(QTextCursor::End);
    RichEdit1->setTextCursor(c);
    RichEdit1->scrollCaret();
    platform::prompt().messageBox(
        findDialog_, QStringLiteral("文字 \"") + text + QStringLiteral("\" 没有发现！"),
        QStringLiteral("提示"), platform::Buttons::Ok, platform::Icon::Information);
}

ViewerFindDialog* TMainForm::findDialog() const {
    return findDialog_;
}
