// The rich-text control's view: zoom, automatically detected links,
// margins, background, scrolling and printing.
//
// Zoom scales the painting and the mouse positions only; the document and
// its formats never change. The document is laid out for the unzoomed width
// (viewport width / zoom) and painted through a scaled painter.

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include "richtext/RichEditCtrl.h"
#include "richtext/RichEditCtrlImpl.h"
#include "richtext/RtfFormat.h"

namespace richtext {

// --- zoom ---------------------------------------------------------------------------

static void adjustZoomedScrollBars(RichEditCtrl* ctrl, RichEditCtrl::Impl* d) {
    if (d->zoom == 1.0 || d->adjustingScroll) return;
    d->adjustingScroll = true;
    const QSizeF size = ctrl->document()->documentLayout()->documentSize() * d->zoom;
    const QSize vp = ctrl->viewport()->size();
    ctrl->verticalScrollBar()->setRange(0, qMax(0, qCeil(size.height()) - vp.height()));
    ctrl->verticalScrollBar()->setPageStep(vp.height());
    ctrl->horizontalScrollBar()->setRange(0, qMax(0, qCeil(size.width()) - vp.width()));
    ctrl->horizontalScrollBar()->setPageStep(vp.width());
    d->adjustingScroll = false;
}

static void relayoutForZoom(RichEditCtrl* ctrl, RichEditCtrl::Impl* d) {
    if (d->zoom == 1.0) {
        ctrl->setLineWrapMode(QTextEdit::WidgetWidth);
    } else {
        ctrl->setLineWrapMode(QTextEdit::FixedPixelWidth);
        ctrl->setLineWrapColumnOrWidth(qMax(1, int(ctrl->viewport()->width() / d->zoom)));
    }
    adjustZoomedScrollBars(ctrl, d);
    ctrl->viewport()->update();
}

void RichEditCtrl::setZoom(int numerator, int denominator) {
    double z = 1.0;
    if (numerator > 0 && denominator > 0)
        z = qBound(1.0 / 64, double(numerator) / denominator, 64.0);
    if (z == d->zoom) return;
    d->zoom = z;
    if (!d->zoomConnected) {
        d->zoomConnected = true;
        auto again = [this] { adjustZoomedScrollBars(this, d.get()); };
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, again);
        connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, again);
    }
    relayoutForZoom(this, d.get());
}

double RichEditCtrl::zoomFactor() const {
    return d->zoom;
}

void RichEditCtrl::resizeEvent(QResizeEvent* e) {
    QTextEdit::resizeEvent(e);
    if (d->zoom != 1.0) relayoutForZoom(this, d.get());
}

static QPoint scrollOffset(const RichEditCtrl* ctrl) {
    return QPoint(ctrl->horizontalScrollBar()->value(), ctrl->verticalScrollBar()->value());
}

void RichEditCtrl::paintEvent(QPaintEvent* e) {
    if (d->zoom == 1.0) {
        QTextEdit::paintEvent(e);
        return;
    }
    QPainter p(viewport());
    const QPoint off = scrollOffset(this);
    p.translate(-off);
    p.scale(d->zoom, d->zoom);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(QRectF(e->rect()).translated(off).topLeft() / d->zoom,
                      QRectF(e->rect()).size() / d->zoom);
    ctx.palette = palette();
    const QTextCursor c = textCursor();
    if (hasFocus() && !isReadOnly()) ctx.cursorPosition = c.position();
    if (c.hasSelection()) {
        QAbstractTextDocumentLayout::Selection sel;
        sel.cursor = c;
        sel.format.setBackground(palette().brush(QPalette::Highlight));
        sel.format.setForeground(palette().brush(QPalette::HighlightedText));
        ctx.selections << sel;
    }
    for (const ExtraSelection& es : extraSelections()) {
        QAbstractTextDocumentLayout::Selection sel;
        sel.cursor = es.cursor;
        sel.format = es.format;
        ctx.selections << sel;
    }
    p.setClipRect(ctx.clip);
    document()->documentLayout()->draw(&p, ctx);
}

// A mouse event in unzoomed viewport coordinates, as QTextEdit expects.
static QMouseEvent unzoomed(const RichEditCtrl* ctrl, double zoom, QMouseEvent* e) {
    const QPointF off = scrollOffset(ctrl);
    const QPointF pos = (e->position() + off) / zoom - off;
    return QMouseEvent(e->type(), pos, e->globalPosition(), e->button(), e->buttons(),
                       e->modifiers(), e->pointingDevice());
}

static int documentPosAt(const RichEditCtrl* ctrl, double zoom, const QPointF& viewportPos) {
    const QPointF off = scrollOffset(ctrl);
    const QPointF docPos = (viewportPos + off) / zoom;
    return ctrl->document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
}

void RichEditCtrl::mousePressEvent(QMouseEvent* e) {
    const int pos = documentPosAt(this, d->zoom, e->position());
    const QString url = pos >= 0 ? urlAt(pos) : QString();
    if (!url.isEmpty()) emit urlClicked(url, e->button());
    if (d->zoom == 1.0) {
        QTextEdit::mousePressEvent(e);
        return;
    }
    QMouseEvent m = unzoomed(this, d->zoom, e);
    QTextEdit::mousePressEvent(&m);
    e->setAccepted(m.isAccepted());
}

void RichEditCtrl::mouseMoveEvent(QMouseEvent* e) {
    if (d->autoUrl || !d->urls.empty()) {
        const int pos = documentPosAt(this, d->zoom, e->position());
        viewport()->setCursor(pos >= 0 && !urlAt(pos).isEmpty() ? Qt::PointingHandCursor
                                                                : Qt::IBeamCursor);
    }
    // a drag started here removes the source text: a drag-and-drop step
    const PendingUndoKind pending(
        d.get(), e->buttons() & Qt::LeftButton ? UndoKind::DragDrop : UndoKind::Unknown);
    if (d->zoom == 1.0) {
        QTextEdit::mouseMoveEvent(e);
    } else {
        QMouseEvent m = unzoomed(this, d->zoom, e);
        QTextEdit::mouseMoveEvent(&m);
        e->setAccepted(m.isAccepted());
    }
}

void RichEditCtrl::mouseReleaseEvent(QMouseEvent* e) {
    if (d->zoom == 1.0) {
        QTextEdit::mouseReleaseEvent(e);
        return;
    }
    QMouseEvent m = unzoomed(this, d->zoom, e);
    QTextEdit::mouseReleaseEvent(&m);
    e->setAccepted(m.isAccepted());
}

void RichEditCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
    if (d->zoom == 1.0) {
        QTextEdit::mouseDoubleClickEvent(e);
        return;
    }
    QMouseEvent m = unzoomed(this, d->zoom, e);
    QTextEdit::mouseDoubleClickEvent(&m);
    e->setAccepted(m.isAccepted());
}

void RichEditCtrl::scrollCaret() {
    if (d->zoom == 1.0) {
        ensureCursorVisible();
        return;
    }
    const QPoint off = scrollOffset(this);
    const QRectF docRect = QRectF(cursorRect()).translated(off);
    const QRectF r(docRect.topLeft() * d->zoom, docRect.size() * d->zoom);
    QScrollBar* v = verticalScrollBar();
    const int h = viewport()->height();
    if (r.top() < v->value())
        v->setValue(int(r.top()));
    else if (r.bottom() > v->value() + h)
        v->setValue(int(r.bottom()) - h + 1);
    QScrollBar* hb = horizontalScrollBar();
    const int w = viewport()->width();
    if (r.left() < hb->value())
        hb->setValue(int(r.left()));
    else if (r.right() > hb->value() + w)
        hb->setValue(int(r.right()) - w + 1);
}

// --- look -----------------------------------------------------------------------------

void RichEditCtrl::setPaneBackground(const QColor& c) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, c.isValid() ? c : QPalette().color(QPalette::Base));
    setPalette(pal);
    viewport()->update();
}

QRect RichEditCtrl::formatRect() const {
    const int m = qRound(document()->documentMargin());
    return viewport()->geometry().adjusted(m, m, -m, -m);
}

void RichEditCtrl::setFormatRect(const QRect& r) {
    const int m = qRound(document()->documentMargin());
    const QMargins cur = viewportMargins();
    // the viewport's area without margins
    const QRect base =
        viewport()->geometry().adjusted(-cur.left(), -cur.top(), cur.right(), cur.bottom());
    const QMargins next(qMax(0, r.left() - m - base.left()), qMax(0, r.top() - m - base.top()),
                        qMax(0, base.right() - (r.right() + m)),
                        qMax(0, base.bottom() - (r.bottom() + m)));
    setViewportMargins(next);
    viewport()->update();
}

void RichEditCtrl::SetMargin() {
    setFormatRect(QRect(QPoint(20, 20), QPoint(width() - 21, height() - 21)));
}

// --- links ------------------------------------------------------------------------------

bool RichEditCtrl::autoUrlDetect() const {
    return d->autoUrl;
}

void RichEditCtrl::setAutoUrlDetect(bool on) {
    d->autoUrl = on;
    d->urls.clear();
    QList<ExtraSelection> sels;
    if (on) {
        static const QRegularExpression re(
            QStringLiteral(
                "(?:https?://|ftp://|www\\.|mailto:|file:)"
                "[^\\s<>\"\\x{2028}\\x{2029}\\x{3000}\\x{FFFC}，。；：！？、“”‘’（）《》【】]+"),
            QRegularExpression::CaseInsensitiveOption);
        const QString text = document()->toRawText();
        for (auto it = re.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            QString url = m.captured(0);
            while (!url.isEmpty() && QStringLiteral(".,;:!?)]}'").contains(url.back())) url.chop(1);
            if (url.size() < 5) continue;
            const int start = int(m.capturedStart(0));
            d->urls.push_back({start, start + int(url.size()), url});
            ExtraSelection es;
            es.cursor = QTextCursor(document());
            es.cursor.setPosition(start);
            es.cursor.setPosition(start + int(url.size()), QTextCursor::KeepAnchor);
            es.format.setForeground(QColor(0, 0, 255));
            es.format.setFontUnderline(true);
            sels << es;
        }
    }
    setExtraSelections(sels);
}

QString RichEditCtrl::urlAt(int position) const {
    for (const UrlRange& u : d->urls) {
        if (position >= u.start && position < u.end) return u.url;
        if (u.start > position) break;
    }
    QTextCursor k(document());
    if (position < 0 || position >= document()->characterCount() - 1) return QString();
    k.setPosition(position + 1);
    const QTextCharFormat f = k.charFormat();
    return f.isAnchor() ? f.anchorHref() : QString();
}

// --- printing -----------------------------------------------------------------------------

void RichEditCtrl::printDocument(QPrinter* printer, const QString& jobTitle,
                                 const QRect& pageRectPx) const {
    if (!printer) return;
    printer->setDocName(jobTitle);
    QTextDocument* copy = document()->clone();
    registerPictures(copy);
    copy->documentLayout()->setPaintDevice(printer);
    QRect page = pageRectPx;
    if (page.width() <= 0 || page.height() <= 0)
        page = QRect(QPoint(0, 0), printer->pageRect(QPrinter::DevicePixel).size().toSize());
    copy->setPageSize(page.size());
    QPainter p;
    if (!p.begin(printer)) {
        delete copy;
        return;
    }
    const int pages = copy->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) printer->newPage();
        p.save();
        p.translate(page.topLeft());
        const QRectF clip(0, i * page.height(), page.width(), page.height());
        p.translate(0, -clip.top());
        p.setClipRect(clip);
        copy->drawContents(&p, clip);
        p.restore();
    }
    p.end();
    delete copy;
}

}  // namespace richtext
