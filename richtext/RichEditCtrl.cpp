// The rich-text control: content, selection, undo kinds, protected text,
// find and the clipboard. Formatting is in RichEditCtrlFormat.cpp, the view
// (zoom, links, margins, printing) in RichEditCtrlView.cpp.
//
// Positions are QTextDocument positions: UTF-16 units, as in the rich-edit
// control (a Chinese character is one, a paragraph break is one, a picture
// is one, a character beyond the BMP such as an emoji is two).

#include "richtext/RichEditCtrl.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>

#include "platform/core/TextCodec.h"
#include "richtext/Log.h"
#include "richtext/RichEditCtrlImpl.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

namespace richtext {

RichEditCtrl::RichEditCtrl(QWidget* parent) : QTextEdit(parent), d(std::make_unique<Impl>()) {
    setAcceptRichText(true);
    setUndoRedoEnabled(true);
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] {
        const int n = document()->availableUndoSteps();
        if (n <= 0) return;
        if (int(d->kinds.size()) > n - 1) d->kinds.resize(std::size_t(n - 1));
        while (int(d->kinds.size()) < n - 1) d->kinds.push_back(UndoKind::Unknown);
        d->kinds.push_back(d->pendingKind);
    });
    connect(this, &QTextEdit::textChanged, this, [this] {
        emit contentChanged();
        if (d->autoUrl) d->urlTimer.start();
    });
    auto selChanged = [this] {
        const QTextCursor c = textCursor();
        if (c.anchor() == d->lastAnchor && c.position() == d->lastPos) return;
        d->lastAnchor = c.anchor();
        d->lastPos = c.position();
        emit selectionChangedEx();
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, selChanged);
    connect(this, &QTextEdit::selectionChanged, this, selChanged);
    d->urlTimer.setSingleShot(true);
    d->urlTimer.setInterval(0);
    connect(&d->urlTimer, &QTimer::timeout, this, [this] { setAutoUrlDetect(d->autoUrl); });
}

RichEditCtrl::~RichEditCtrl() = default;

// --- content ----------------------------------------------------------------

static QString normaliseLineEnds(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace('\r', '\n');
    return text;
}

void RichEditCtrl::loadFromBytes(const QByteArray& bytes, bool plainText) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool plain = attempt == 0 ? plainText : !plainText;
        if (plain) {
            clearAll();
            QTextCursor c(document());
            c.insertText(normaliseLineEnds(platform::fromGbk(bytes)),
                         d->haveDefault ? d->defaultFmt : QTextCharFormat());
        } else {
            if (!looksLikeRtf(bytes)) continue;
            readRtf(bytes, document());
            registerPictures(document());
        }
        d->kinds.clear();
        document()->clearUndoRedoStacks();
        setTextCursor(QTextCursor(document()));
        document()->setModified(false);
        return;
    }
    throw StreamError("Failed to Load Stream");
}

QByteArray RichEditCtrl::saveToBytes(bool plainText) const {
    if (plainText) {
        QString text = plainText ? this->plainText() : QString();
        text.replace('\n', QLatin1String("\r\n"));
        return platform::toGbk(text);
    }
    return writeRtf(document());
}

void RichEditCtrl::loadFromStream(QIODevice& in, bool plainText) {
    if (!in.isReadable()) throw StreamError("Failed to Load Stream");
    loadFromBytes(in.readAll(), plainText);
}

void RichEditCtrl::saveToStream(QIODevice& out, bool plainText) const {
    const QByteArray bytes = saveToBytes(plainText);
    if (!out.isWritable() || out.write(bytes) != bytes.size())
        throw StreamError("Failed to Save Stream");
}

static bool isTxt(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

void RichEditCtrl::loadFromFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(lcRichText).noquote() << "cannot read" << path << "--" << f.errorString();
        throw StreamError("Failed to Load Stream");
    }
    loadFromStream(f, isTxt(path));
}

void RichEditCtrl::saveToFile(const QString& path) const {
    const QByteArray bytes = saveToBytes(isTxt(path));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !f.flush()) {
        qCWarning(lcRichText).noquote() << "cannot write" << path << "--" << f.errorString();
        throw StreamError("Failed to Save Stream");
    }
}

void RichEditCtrl::clearAll() {
    clear();
    d->kinds.clear();
    if (d->haveDefault) setCurrentCharFormat(d->defaultFmt);
}

void RichEditCtrl::appendLine(const QString& line) {
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    if (!c.block().text().isEmpty()) c.insertBlock();
    const QTextCharFormat f = d->haveDefault ? d->defaultFmt : currentCharFormat();
    c.insertText(normaliseLineEnds(line), f);
    c.insertBlock(c.blockFormat(), f);
    c.endEditBlock();
}

QString RichEditCtrl::plainText() const {
    return plainTextOf(document());
}

// --- selection ----------------------------------------------------------------

static int docLength(const QTextDocument* doc) {
    return qMax(0, doc->characterCount() - 1);
}

int RichEditCtrl::selStart() const {
    return textCursor().selectionStart();
}

int RichEditCtrl::selLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichEditCtrl::setSel(int start, int length) {
    const int len = docLength(document());
    start = qBound(0, start, len);
    const int end = length < 0 ? len : qBound(start, start + length, len);
    QTextCursor c(document());
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichEditCtrl::selText() const {
    QString s = textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, '\n');
    s.replace(QChar::LineSeparator, '\n');
    return s;
}

void RichEditCtrl::replaceSel(const QString& text) {
    QTextCursor c = textCursor();
    c.insertText(normaliseLineEnds(text));
    setTextCursor(c);
}

void RichEditCtrl::selectAllText() {
    selectAll();
}

void RichEditCtrl::deleteSelection() {
    QTextCursor c = textCursor();
    if (!c.hasSelection()) return;
    bool allow = d->allowProtected;
    if (!allow) {
        // RichEdit asks before deleting protected text.
        if (rangeHasProtected(document(), c.selectionStart(), c.selectionEnd())) {
            emit protectedChange(c.selectionStart(), c.selectionEnd(), &allow);
            if (!allow) return;
        }
    }
    {
        const PendingUndoKind pending(d.get(), UndoKind::Delete);
        c.removeSelectedText();
    }
    setTextCursor(c);
}

int RichEditCtrl::caretLine() const {
    const QTextCursor c = textCursor();
    const QTextBlock cur = c.block();
    int line = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != cur; b = b.next())
        line += (b.layout() && b.layout()->lineCount() > 0) ? b.layout()->lineCount() : 1;
    if (cur.layout() && cur.layout()->lineCount() > 0) {
        const QTextLine l = cur.layout()->lineForTextPosition(c.positionInBlock());
        if (l.isValid()) line += l.lineNumber();
    }
    return line;
}

int RichEditCtrl::caretColumn() const {
    const QTextCursor c = textCursor();
    const QTextBlock cur = c.block();
    if (cur.layout() && cur.layout()->lineCount() > 0) {
        const QTextLine l = cur.layout()->lineForTextPosition(c.positionInBlock());
        if (l.isValid()) return c.positionInBlock() - l.textStart();
    }
    return c.positionInBlock();
}

bool RichEditCtrl::isSingleObjectSelected() const {
    const QTextCursor c = textCursor();
    if (c.selectionEnd() - c.selectionStart() != 1) return false;
    QTextCursor k(document());
    k.setPosition(c.selectionStart() + 1);
    return k.charFormat().isImageFormat();
}

// --- flags, undo ----------------------------------------------------------------

bool RichEditCtrl::modified() const {
    return document()->isModified();
}
void RichEditCtrl::setModified(bool m) {
    document()->setModified(m);
}
bool RichEditCtrl::canUndoNow() const {
    return document()->isUndoAvailable();
}
bool RichEditCtrl::canRedoNow() const {
    return document()->isRedoAvailable();
}

UndoKind RichEditCtrl::undoKind() const {
    const int n = document()->availableUndoSteps();
    if (n <= 0 || n > int(d->kinds.size())) return UndoKind::Unknown;
    return d->kinds[std::size_t(n - 1)];
}

UndoKind RichEditCtrl::redoKind() const {
    const int n = document()->availableUndoSteps();
    // (availableRedoSteps() lags by one after an undo; isRedoAvailable() does not)
    if (!document()->isRedoAvailable() || n < 0 || n >= int(d->kinds.size()))
        return UndoKind::Unknown;
    return d->kinds[std::size_t(n)];
}

bool RichEditCtrl::canPasteNow() const {
    return !isReadOnly() && canPaste();
}

// --- find -------------------------------------------------------------------------

static bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_';
}

int RichEditCtrl::findText(const QString& text, int start, int length,
                           const FindOptions& opt) const {
    if (text.isEmpty()) return -1;
    const QString all = document()->toRawText();
    const int len = int(all.size());
    start = qBound(0, start, len);
    const int end = length < 0 ? len : qBound(start, start + length, len);
    const Qt::CaseSensitivity cs = opt.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int n = int(text.size());
    auto wholeWordAt = [&](int at) {
        if (!opt.wholeWord) return true;
        if (at > 0 && isWordChar(all[at - 1]) && isWordChar(text[0])) return false;
        if (at + n < len && isWordChar(all[at + n]) && isWordChar(text[n - 1])) return false;
        return true;
    };
    if (!opt.backward) {
        for (int at = start; at + n <= end;) {
            at = int(all.indexOf(text, at, cs));
            if (at < 0 || at + n > end) return -1;
            if (wholeWordAt(at)) return at;
            ++at;
        }
        return -1;
    }
    for (int from = end - n; from >= start;) {
        const int at = int(all.lastIndexOf(text, from, cs));
        if (at < start) return -1;
        if (wholeWordAt(at)) return at;
        from = at - 1;
    }
    return -1;
}

// --- protected text and keys --------------------------------------------------------

void RichEditCtrl::setAllowProtectedEdits(bool allow) {
    d->allowProtected = allow;
}

bool RichEditCtrl::allowProtectedEdits() const {
    return d->allowProtected;
}

// Whether an edit of [start, end) (an insertion when start == end) touches
// protected text; asks the owner if so. True when the edit may go ahead.
static bool editAllowed(RichEditCtrl* ctrl, RichEditCtrl::Impl* d, int start, int end) {
    QTextDocument* doc = ctrl->document();
    bool touches = false;
    if (start == end) {
        QTextCursor k(doc);
        k.setPosition(start);
        const bool before = start > 0 && k.charFormat().boolProperty(PropProtected);
        QTextCursor n(doc);
        n.setPosition(qMin(start + 1, docLength(doc)));
        const bool after = start < docLength(doc) && n.charFormat().boolProperty(PropProtected);
        touches = before && (after || k.atBlockEnd());
    } else {
        touches = rangeHasProtected(doc, start, end);
    }
    if (!touches) return true;
    bool allow = d->allowProtected;
    emit ctrl->protectedChange(start, end, &allow);
    return allow;
}

void RichEditCtrl::keyPressEvent(QKeyEvent* e) {
    if (isReadOnly()) {
        QTextEdit::keyPressEvent(e);
        return;
    }
    if (e == QKeySequence::Cut) {
        cut();
        e->accept();
        return;
    }
    if (e == QKeySequence::Paste) {
        paste();
        e->accept();
        return;
    }
    const QTextCursor c = textCursor();
    int start = c.selectionStart(), end = c.selectionEnd();
    UndoKind kind = UndoKind::Unknown;
    const int key = e->key();
    const QString text = e->text();
    if (key == Qt::Key_Backspace) {
        kind = UndoKind::Delete;
        if (start == end && start > 0) start -= 1;
    } else if (key == Qt::Key_Delete) {
        kind = UndoKind::Delete;
        if (start == end && end < docLength(document())) end += 1;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
               (!text.isEmpty() && text[0].isPrint() &&
                !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))) {
        kind = UndoKind::Typing;
    } else {
        QTextEdit::keyPressEvent(e);
        return;
    }
    if (!editAllowed(this, d.get(), start, end)) {
        e->accept();
        return;
    }
    const PendingUndoKind pending(d.get(), kind);
    QTextEdit::keyPressEvent(e);
}

void RichEditCtrl::inputMethodEvent(QInputMethodEvent* e) {
    UndoKind kind = UndoKind::Unknown;
    if (!isReadOnly() && !e->commitString().isEmpty()) {
        const QTextCursor c = textCursor();
        if (!editAllowed(this, d.get(), c.selectionStart(), c.selectionEnd())) {
            e->accept();
            return;
        }
        kind = UndoKind::Typing;
    }
    const PendingUndoKind pending(d.get(), kind);
    QTextEdit::inputMethodEvent(e);
}

// --- clipboard --------------------------------------------------------------------------

void RichEditCtrl::cut() {
    QTextCursor c = textCursor();
    if (isReadOnly() || !c.hasSelection()) return;
    if (!editAllowed(this, d.get(), c.selectionStart(), c.selectionEnd())) return;
    copy();
    {
        const PendingUndoKind pending(d.get(), UndoKind::Cut);
        c.removeSelectedText();
    }
    setTextCursor(c);
}

void RichEditCtrl::paste() {
    if (isReadOnly()) return;
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    if (m && canInsertFromMimeData(m)) insertFromMimeData(m);
}

QMimeData* RichEditCtrl::createMimeDataFromSelection() const {
    const QTextDocumentFragment frag = textCursor().selection();
    QTextDocument tmp;
    tmp.setDefaultFont(document()->defaultFont());
    QTextCursor(&tmp).insertFragment(frag);
    // Pictures without their original bytes need the image itself.
    for (QTextBlock b = tmp.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat()) continue;
            const QUrl url(f.toImageFormat().name());
            const QVariant v = document()->resource(QTextDocument::ImageResource, url);
            if (v.isValid()) tmp.addResource(QTextDocument::ImageResource, url, v);
        }
    }
    auto* m = new QMimeData;
    const QByteArray rtf = writeRtf(&tmp);
    m->setData(QStringLiteral("text/rtf"), rtf);
    m->setData(QStringLiteral("application/rtf"), rtf);
    m->setHtml(frag.toHtml());
    QString text = frag.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    m->setText(text);
    if (isSingleObjectSelected()) {
        const QTextImageFormat f = textCursor().charFormat().toImageFormat();
        QVariant v = document()->resource(QTextDocument::ImageResource, QUrl(f.name()));
        if (v.isValid()) m->setImageData(v);
    }
    return m;
}

static QByteArray rtfData(const QMimeData* m) {
    for (const char* type : {"text/rtf", "application/rtf", "text/richtext"}) {
        const QString t = QLatin1String(type);
        if (m->hasFormat(t)) return m->data(t);
    }
    return QByteArray();
}

bool RichEditCtrl::canInsertFromMimeData(const QMimeData* source) const {
    if (!source) return false;
    return !rtfData(source).isEmpty() || source->hasHtml() || source->hasImage() ||
           source->hasText();
}

// Inserts the richest form the data carries at c: RTF, HTML, a picture or text.
static void insertMimeData(QTextCursor& c, const QMimeData* source, QTextDocument* doc) {
    const QByteArray rtf = rtfData(source);
    bool done = false;
    if (looksLikeRtf(rtf)) {
        QTextDocument tmp;
        readRtf(rtf, &tmp);
        // A pasted document's final paragraph mark is not pasted.
        QTextCursor all(&tmp);
        all.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.insertFragment(all.selection());
        done = true;
    }
    if (!done && source->hasHtml()) {
        c.insertFragment(QTextDocumentFragment::fromHtml(source->html(), doc));
        done = true;
    }
    if (!done && source->hasImage()) {
        const QImage img = qvariant_cast<QImage>(source->imageData());
        if (!img.isNull()) {
            QByteArray png;
            QBuffer buf(&png);
            buf.open(QIODevice::WriteOnly);
            img.save(&buf, "PNG");
            QTextImageFormat f;
            f.setName(newPictureName());
            f.setWidth(img.width());
            f.setHeight(img.height());
            f.setProperty(PropPicBytes, png);
            f.setProperty(PropPicType, QStringLiteral("png"));
            addPicture(doc, f.name(), img);
            c.insertImage(f);
            done = true;
        }
    }
    if (!done && source->hasText()) c.insertText(normaliseLineEnds(source->text()));
}

void RichEditCtrl::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source) return;
    QTextCursor c = textCursor();
    if (!editAllowed(this, d.get(), c.selectionStart(), c.selectionEnd())) return;
    {
        const PendingUndoKind pending(d.get(), d->inDrop ? UndoKind::DragDrop : UndoKind::Paste);
        c.beginEditBlock();
        insertMimeData(c, source, document());
        c.endEditBlock();
    }
    registerPictures(document());
    setTextCursor(c);
    ensureCursorVisible();
}

void RichEditCtrl::dropEvent(QDropEvent* e) {
    const QScopedValueRollback inDrop(d->inDrop, true);
    QTextEdit::dropEvent(e);
}

QVariant RichEditCtrl::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource && name.scheme() == QLatin1String("rtfpic")) {
        // a picture that came without its image (undo, a fragment from elsewhere)
        registerPictures(document());
        const QVariant v = document()->resource(type, name);
        if (v.isValid()) return v;
    }
    return QTextEdit::loadResource(type, name);
}

}  // namespace richtext
