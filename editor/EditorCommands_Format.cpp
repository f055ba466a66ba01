// Character and paragraph formatting, the font dialog, and inserting
// pictures and objects.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QMainWindow>
#include <QMimeData>
#include <QPainter>
#include <QTextCursor>

#include "editor/EditorCommands.h"
#include "editor/ParaFmt.h"
#include "platform/Prompt.h"

using richtext::CharAttributes;
using richtext::RichEditCtrl;

namespace {

// The largest character size the pane accepts, in points; larger values
// typed into the size box are brought down to it.
constexpr int kMaxFontSize = 1638;

}  // namespace

namespace {
void setStyleBit(EditorCommands& c, int bit, int mask, bool down) {
    CharAttributes a;
    a.style = down ? bit : 0;
    c.setCurrentTextAttributes(a, mask);
}
}  // namespace

void EditorCommands::BoldButtonClick(bool down) {
    if (updating_ || !pane_) return;
    setStyleBit(*this, richtext::StyleBold, RichEditCtrl::MaskBold, down);
}

void EditorCommands::ItalicButtonClick(bool down) {
    if (updating_ || !pane_) return;
    setStyleBit(*this, richtext::StyleItalic, RichEditCtrl::MaskItalic, down);
}

void EditorCommands::UnderlineButtonClick(bool down) {
    if (updating_ || !pane_) return;
    setStyleBit(*this, richtext::StyleUnderline, RichEditCtrl::MaskUnderline, down);
}

void EditorCommands::ScriptButtonClick() {
    if (updating_ || !pane_) return;
    CharAttributes a;
    if (action("FormatSuperscript")->isChecked())
        a.script = richtext::Script::Superscript;
    else if (action("FormatSubscript")->isChecked())
        a.script = richtext::Script::Subscript;
    else
        a.script = richtext::Script::None;
    setCurrentTextAttributes(a, RichEditCtrl::MaskScript);
}

void EditorCommands::FontNameChange(const QString& face) {
    if (updating_ || !pane_ || face.isEmpty()) return;
    CharAttributes a;
    a.face = face.left(31);
    setCurrentTextAttributes(a, RichEditCtrl::MaskFace);
}

void EditorCommands::FontSizeChange(int size) {
    if (updating_ || !pane_ || size <= 0) return;
    CharAttributes a;
    a.size = qMin(size, kMaxFontSize);
    setCurrentTextAttributes(a, RichEditCtrl::MaskSize);
}

void EditorCommands::AlignButtonClick(int tag) {
    if (updating_ || !pane_) return;
    richtext::ParaAttributes p;
    p.alignment = tag;
    pane_->setParaAttributes(p, RichEditCtrl::PMaskAlignment);
}

void EditorCommands::BulletsButtonClick(bool down) {
    if (updating_ || !pane_) return;
    richtext::ParaAttributes p;
    p.bullets = down;
    pane_->setParaAttributes(p, RichEditCtrl::PMaskBullets);
}

void EditorCommands::FormatFontClick() {
    if (updating_ || !pane_) return;
    const CharAttributes cur = pane_->selAttributes();
    QFont initial(cur.face);
    if (cur.size > 0) initial.setPointSize(cur.size);
    initial.setBold(cur.style & richtext::StyleBold);
    initial.setItalic(cur.style & richtext::StyleItalic);
    initial.setUnderline(cur.style & richtext::StyleUnderline);
    initial.setStrikeOut(cur.style & richtext::StyleStrikeOut);
    QFont chosen;
    if (!platform::prompt().chooseFont(window_, initial, &chosen)) return;
    CharAttributes a = RichEditCtrl::attributesFromFont(chosen);
    a.face = a.face.left(31);
    a.size = qBound(1, a.size, kMaxFontSize);
    setCurrentTextAttributes(a, RichEditCtrl::MaskFace | RichEditCtrl::MaskSize |
                                    RichEditCtrl::MaskBold | RichEditCtrl::MaskItalic |
                                    RichEditCtrl::MaskUnderline | RichEditCtrl::MaskStrike |
                                    RichEditCtrl::MaskPitch);
    SelectionChange();
}

void EditorCommands::FormatParagraphClick() {
    if (!pane_) return;
    EditParagraphFormat(pane_, window_);
    SelectionChange();
}

void EditorCommands::ProtectedClick() {
    if (updating_ || !pane_) return;
    // Changing the protection of protected text is itself a change to it.
    const bool old = allowProtectedChange_;
    setAllowProtectedChange(true);
    CharAttributes a = currentTextAttributes();
    a.isProtected = !a.isProtected;
    setCurrentTextAttributes(a, RichEditCtrl::MaskProtected);
    setAllowProtectedChange(old);
    action("FormatProtected")->setChecked(currentTextAttributes().isProtected);
}

void EditorCommands::DisabledClick() {
    if (updating_ || !pane_) return;
    CharAttributes a = currentTextAttributes();
    a.disabled = !a.disabled;
    setCurrentTextAttributes(a, RichEditCtrl::MaskDisabled);
    action("FormatDisabled")->setChecked(currentTextAttributes().disabled);
}

void EditorCommands::HiddenClick() {
    if (updating_ || !pane_) return;
    CharAttributes a = currentTextAttributes();
    a.hidden = !a.hidden;
    setCurrentTextAttributes(a, RichEditCtrl::MaskHidden);
    action("FormatHidden")->setChecked(currentTextAttributes().hidden);
}

// ---- pictures and objects ------------------------------------------------------

namespace {

QCheckBox* findFormatCheck(QMainWindow* w, QCheckBox* known) {
    if (known) return known;
    return w ? w->findChild<QCheckBox*>(QStringLiteral("ChkIsformat")) : nullptr;
}

// Puts image on the clipboard and pastes it at the caret; when the pane does
// not take the clipboard's picture, inserts it directly.
void pasteImage(RichEditCtrl* pane, const QImage& image) {
    QApplication::clipboard()->setImage(image);
    const int before = pane->document()->characterCount();
    pane->paste();
    if (pane->document()->characterCount() == before) pane->textCursor().insertImage(image);
}

// A file that is not a picture is embedded as a picture of its icon with its
// name underneath.
QImage filePackagePicture(const QFileInfo& info) {
    const QString name = info.fileName();
    QFont font = QApplication::font();
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    const int textWidth = qMin(fm.horizontalAdvance(name), 300);
    const int w = qMax(64, textWidth + 12);
    QImage img(w, 64, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    const QIcon icon = QFileIconProvider().icon(info);
    QPixmap pm = icon.pixmap(32, 32);
    if (pm.isNull()) {
        pm = QPixmap(32, 32);
        pm.fill(QColor(220, 230, 245));
        QPainter ip(&pm);
        ip.setPen(QColor(60, 60, 60));
        ip.drawRect(pm.rect().adjusted(4, 0, -5, -1));
    }
    p.drawPixmap((w - 32) / 2, 6, pm);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(6, 42, w - 12, 18), Qt::AlignHCenter | Qt::AlignVCenter,
               fm.elidedText(name, Qt::ElideMiddle, w - 12));
    return img;
}

}  // namespace

bool EditorCommands::insertPictureFile(const QString& path) {
    if (!pane_) return false;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) return false;
    if (QCheckBox* chk = findFormatCheck(window_, formatCheck_)) chk->setChecked(true);
    pasteImage(pane_, image);
    return true;
}

void EditorCommands::InsertPictureClick() {
    if (!pane_) return;
    platform::FileDialogRequest req;
    req.caption = QStringLiteral("插入图片");
    req.filter = QStringLiteral(
        "所有图片 (*.bmp *.jpg *.jpeg *.gif *.png);;Bitmaps (*.bmp);;JPEG Image File (*.jpg "
        "*.jpeg);;GIF Image (*.gif);;PNG Image (*.png)");
    const platform::FileDialogResult r = platform::prompt().openFile(window_, req);
    if (!r.accepted || r.path.isEmpty()) return;
    if (!insertPictureFile(r.path))
        platform::prompt().errorReport(window_, QStringLiteral("无法读取图片文件 %1").arg(r.path));
}

void EditorCommands::InsertObjectClick() {
    if (!pane_) return;
    platform::FileDialogRequest req;
    req.caption = QStringLiteral("插入对象");
    req.filter = QStringLiteral("所有文件 (*)");
    const platform::FileDialogResult r = platform::prompt().openFile(window_, req);
    if (!r.accepted || r.path.isEmpty()) return;
    if (insertPictureFile(r.path)) return;
    const QFileInfo info(r.path);
    if (!info.isFile()) return;
    if (QCheckBox* chk = findFormatCheck(window_, formatCheck_)) chk->setChecked(true);
    pasteImage(pane_, filePackagePicture(info));
}
