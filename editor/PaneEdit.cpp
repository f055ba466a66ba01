#include "editor/PaneEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "richtext/RichEditCtrl.h"
#include "richtext/RtfFormat.h"

namespace editorpane {
namespace {

// The format of the character at pos (the one after the position).
QTextCharFormat formatAfter(QTextDocument* doc, int pos) {
    QTextCursor k(doc);
    k.setPosition(pos + 1);
    return k.charFormat();
}

bool isProtectedAt(QTextDocument* doc, int pos) {
    return formatAfter(doc, pos).boolProperty(richtext::PropProtected);
}

}  // namespace

bool mayReplace(richtext::RichEditCtrl* pane, int start, int end) {
    QTextDocument* doc = pane->document();
    const int length = qMax(0, doc->characterCount() - 1);
    start = qBound(0, start, length);
    end = qBound(start, end, length);
    bool touches = false;
    if (start == end) {
        // An insertion inside protected text: the characters on both sides
        // are protected (or it stands at the end of a protected paragraph).
        QTextCursor at(doc);
        at.setPosition(start);
        const bool before = start > 0 && isProtectedAt(doc, start - 1);
        const bool after = start < length && isProtectedAt(doc, start);
        touches = before && (after || at.atBlockEnd());
    } else {
        for (int p = start; p < end && !touches; ++p) touches = isProtectedAt(doc, p);
    }
    if (!touches) return true;
    bool allow = false;
    emit pane->protectedChange(start, end, &allow);
    return allow;
}

bool replaceSelection(richtext::RichEditCtrl* pane, const QString& text) {
    const int start = pane->selStart();
    const int end = start + pane->selLength();
    if (pane->isReadOnly() || !mayReplace(pane, start, end)) return false;
    pane->replaceSel(text);
    pane->setSel(start, pane->selStart() - start);
    return true;
}

void typeText(richtext::RichEditCtrl* pane, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QCoreApplication::sendEvent(pane, &press);
}

}  // namespace editorpane
