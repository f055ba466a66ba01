// The rich-text control: character and paragraph attributes.

#include <QFontInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include "richtext/RichEditCtrl.h"
#include "richtext/RichEditCtrlImpl.h"
#include "richtext/RtfFormat.h"

namespace richtext {

// --- character attributes -------------------------------------------------------

CharAttributes attributesOf(const QTextCharFormat& f, const QFont& defaultFont) {
    CharAttributes a;
    const QStringList fam = f.fontFamilies().toStringList();
    a.face = (fam.isEmpty() ? defaultFont.family() : fam.first()).left(31);
    double pt = f.fontPointSize();
    if (pt <= 0) pt = defaultFont.pointSizeF();
    if (pt <= 0 && defaultFont.pixelSize() > 0) pt = defaultFont.pixelSize() * 72.0 / 96.0;
    a.size = pt > 0 ? qRound(pt) : 9;
    a.color = trueTextColor(f);
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        a.background = f.background().color();
    const bool bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                             : defaultFont.bold();
    if (bold) a.style |= StyleBold;
    if (f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont.italic())
        a.style |= StyleItalic;
    if (f.fontUnderline()) a.style |= StyleUnderline;
    if (f.fontStrikeOut()) a.style |= StyleStrikeOut;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) a.script = Script::Subscript;
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) a.script = Script::Superscript;
    a.isProtected = f.boolProperty(PropProtected);
    a.hidden = f.boolProperty(PropHidden);
    a.disabled = f.boolProperty(PropDisabled);
    a.charset = f.hasProperty(PropCharset) ? f.intProperty(PropCharset) : 134;
    a.pitch = f.intProperty(PropPitch);
    return a;
}

void applyAttributes(QTextCharFormat& f, const CharAttributes& a, int mask) {
    using M = RichEditCtrl::AttrMask;
    if ((mask & M::MaskFace) && !a.face.isEmpty()) f.setFontFamilies(QStringList{a.face.left(31)});
    if ((mask & M::MaskSize) && a.size > 0) f.setFontPointSize(qMin(a.size, 1638));
    if (mask & M::MaskColor) setTrueTextColor(f, a.color);
    if (mask & M::MaskBackground) {
        if (a.background.isValid())
            f.setBackground(a.background);
        else
            f.clearBackground();
    }
    if (mask & M::MaskBold) f.setFontWeight((a.style & StyleBold) ? QFont::Bold : QFont::Normal);
    if (mask & M::MaskItalic) f.setFontItalic(a.style & StyleItalic);
    if (mask & M::MaskUnderline) f.setFontUnderline(a.style & StyleUnderline);
    if (mask & M::MaskStrike) f.setFontStrikeOut(a.style & StyleStrikeOut);
    if (mask & M::MaskScript) {
        f.setVerticalAlignment(a.script == Script::Subscript     ? QTextCharFormat::AlignSubScript
                               : a.script == Script::Superscript ? QTextCharFormat::AlignSuperScript
                                                                 : QTextCharFormat::AlignNormal);
    }
    if (mask & M::MaskProtected) {
        if (a.isProtected)
            f.setProperty(PropProtected, true);
        else
            f.clearProperty(PropProtected);
    }
    if (mask & M::MaskHidden) setDisplayFlag(f, PropHidden, a.hidden);
    if (mask & M::MaskDisabled) setDisplayFlag(f, PropDisabled, a.disabled);
    if (mask & M::MaskCharset) f.setProperty(PropCharset, a.charset);
    if (mask & M::MaskPitch) f.setProperty(PropPitch, a.pitch);
}

// Applies attributes to each run of [start, end) separately, so that what a
// run has besides the masked attributes stays its own. Protected text is
// changed only when allowed.
std::vector<FormatPiece> formatPieces(const QTextDocument* doc, int start, int end) {
    std::vector<FormatPiece> pieces;
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int s = qMax(frag.position(), start);
            const int e = qMin(frag.position() + frag.length(), end);
            if (s < e) pieces.push_back({s, e, frag.charFormat()});
        }
    }
    return pieces;
}

bool rangeHasProtected(const QTextDocument* doc, int start, int end) {
    for (const FormatPiece& p : formatPieces(doc, start, end))
        if (p.format.boolProperty(PropProtected)) return true;
    return false;
}

// Applies attributes to each run of [start, end) separately, so that what a
// run has besides the masked attributes stays its own. Protected text is
// changed only when allowed.
static void applyToRange(RichEditCtrl* ctrl, int start, int end, const CharAttributes& a, int mask,
                         bool allowProtected) {
    QTextDocument* doc = ctrl->document();
    const std::vector<FormatPiece> pieces = formatPieces(doc, start, end);
    bool allowed = allowProtected;
    if (!allowed && rangeHasProtected(doc, start, end))
        emit ctrl->protectedChange(start, end, &allowed);
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (const FormatPiece& p : pieces) {
        if (p.format.boolProperty(PropProtected) && !allowed) continue;
        QTextCharFormat nf = p.format;
        applyAttributes(nf, a, mask);
        edit.setPosition(p.start);
        edit.setPosition(p.end, QTextCursor::KeepAnchor);
        edit.setCharFormat(nf);
    }
    edit.endEditBlock();
}

CharAttributes RichEditCtrl::selAttributes() const {
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return attributesOf(currentCharFormat(), document()->defaultFont());
    QTextCursor k(document());
    k.setPosition(c.selectionStart() + 1);
    return attributesOf(k.charFormat(), document()->defaultFont());
}

void RichEditCtrl::setSelAttributes(const CharAttributes& a, int mask) {
    const QTextCursor c = textCursor();
    if (c.hasSelection()) {
        applyToRange(this, c.selectionStart(), c.selectionEnd(), a, mask, d->allowProtected);
    }
    QTextCharFormat f = currentCharFormat();
    if (!c.hasSelection() && f.boolProperty(PropProtected) && !d->allowProtected) {
        bool allow = false;
        emit protectedChange(c.position(), c.position(), &allow);
        if (!allow) return;
    }
    applyAttributes(f, a, mask);
    setCurrentCharFormat(f);
}

static QTextCursor wordAt(const QTextCursor& caret) {
    QTextCursor w = caret;
    w.clearSelection();
    w.select(QTextCursor::WordUnderCursor);
    return w;
}

CharAttributes RichEditCtrl::wordAttributes() const {
    const QTextCursor w = wordAt(textCursor());
    if (!w.hasSelection()) return selAttributes();
    QTextCursor k(document());
    k.setPosition(w.selectionStart() + 1);
    return attributesOf(k.charFormat(), document()->defaultFont());
}

void RichEditCtrl::setWordAttributes(const CharAttributes& a, int mask) {
    const QTextCursor w = wordAt(textCursor());
    if (w.hasSelection())
        applyToRange(this, w.selectionStart(), w.selectionEnd(), a, mask, d->allowProtected);
    QTextCharFormat f = currentCharFormat();
    applyAttributes(f, a, mask);
    setCurrentCharFormat(f);
}

CharAttributes RichEditCtrl::defaultAttributes() const {
    if (d->haveDefault) return attributesOf(d->defaultFmt, font());
    return attributesFromFont(font());
}

void RichEditCtrl::setDefaultAttributes(const CharAttributes& a, int mask) {
    if (!d->haveDefault) {
        applyAttributes(d->defaultFmt, attributesFromFont(font()), MaskAll);
        d->haveDefault = true;
    }
    applyAttributes(d->defaultFmt, a, mask);
    if (document()->isEmpty()) setCurrentCharFormat(d->defaultFmt);
}

CharAttributes RichEditCtrl::attributesFromFont(const QFont& f) {
    CharAttributes a;
    a.face = f.family().left(31);
    if (f.pointSizeF() > 0)
        a.size = qRound(f.pointSizeF());
    else if (f.pixelSize() > 0)
        a.size = qRound(f.pixelSize() * 72.0 / 96.0);
    if (f.bold()) a.style |= StyleBold;
    if (f.italic()) a.style |= StyleItalic;
    if (f.underline()) a.style |= StyleUnderline;
    if (f.strikeOut()) a.style |= StyleStrikeOut;
    a.pitch = f.fixedPitch() ? 1 : 0;
    return a;
}

// --- paragraph attributes ---------------------------------------------------------

ParaAttributes RichEditCtrl::paraAttributes() const {
    QTextCursor c(document());
    c.setPosition(textCursor().selectionStart());
    const QTextBlock b = c.block();
    const QTextBlockFormat f = b.blockFormat();
    ParaAttributes p;
    const Qt::Alignment al = f.alignment() & Qt::AlignHorizontal_Mask;
    p.alignment = (al & Qt::AlignJustify)   ? 3
                  : (al & Qt::AlignHCenter) ? 2
                  : (al & Qt::AlignRight)   ? 1
                                            : 0;
    const ParaTwips t = paraIndents(f);
    p.startIndent = qRound((t.li + t.fi) / 20.0);
    p.offset = qRound(-t.fi / 20.0);
    p.rightIndent = qRound(t.ri / 20.0);
    p.spaceBefore = qRound(pxToTwips(f.topMargin()) / 20.0);
    p.spaceAfter = qRound(pxToTwips(f.bottomMargin()) / 20.0);
    switch (f.lineHeightType()) {
        case QTextBlockFormat::MinimumHeight:
            p.lineSpacingRule = 3;
            p.lineSpacing = qRound(pxToTwips(f.lineHeight()) / 20.0);
            break;
        case QTextBlockFormat::FixedHeight:
            p.lineSpacingRule = 4;  // exactly
            p.lineSpacing = qRound(pxToTwips(f.lineHeight()) / 20.0);
            break;
        case QTextBlockFormat::ProportionalHeight:
            p.lineSpacingRule = 5;  // multiple: percent of single spacing
            p.lineSpacing = qRound(f.lineHeight());
            break;
        default:
            break;
    }
    p.bullets = b.textList() != nullptr || f.boolProperty(PropBullet);
    return p;
}

void RichEditCtrl::setParaAttributes(const ParaAttributes& p, int mask) {
    const QTextCursor sel = textCursor();
    QTextCursor c(document());
    c.setPosition(sel.selectionStart());
    const int lastBlock = document()->findBlock(sel.selectionEnd()).blockNumber();
    c.beginEditBlock();
    QTextList* list = nullptr;
    for (QTextBlock b = c.block(); b.isValid() && b.blockNumber() <= lastBlock; b = b.next()) {
        QTextCursor bc(b);
        QTextBlockFormat f = b.blockFormat();
        ParaTwips t = paraIndents(f);
        int start = t.li + t.fi, offset = -t.fi;
        if (mask & PMaskAlignment) {
            static const Qt::Alignment kAlign[4] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                                    Qt::AlignJustify};
            f.setAlignment(kAlign[qBound(0, p.alignment, 3)]);
        }
        if (mask & PMaskStartIndent) start = p.startIndent * 20;
        if (mask & PMaskOffset) offset = p.offset * 20;
        bool bullet = b.textList() != nullptr || f.boolProperty(PropBullet);
        if (mask & PMaskBullets) {
            if (p.bullets && offset < 200) offset = 200;  // the bullet needs 10 points
            if (!p.bullets) offset = 0;
            bullet = p.bullets;
        }
        if (mask & PMaskRightIndent) t.ri = p.rightIndent * 20;
        t.li = start + offset;
        t.fi = -offset;
        setParaIndents(f, t, bullet);
        if (mask & PMaskSpaceBefore) f.setTopMargin(twipsToPx(p.spaceBefore * 20));
        if (mask & PMaskSpaceAfter) f.setBottomMargin(twipsToPx(p.spaceAfter * 20));
        if (mask & PMaskLineSpacing) {
            const double px = twipsToPx(p.lineSpacing * 20);
            switch (p.lineSpacingRule) {
                case 3:
                    f.setLineHeight(px, QTextBlockFormat::MinimumHeight);
                    break;
                case 4:
                    f.setLineHeight(px, QTextBlockFormat::FixedHeight);
                    break;
                case 5:
                    f.setLineHeight(p.lineSpacing, QTextBlockFormat::ProportionalHeight);
                    break;
                default:
                    f.setLineHeight(0, QTextBlockFormat::SingleHeight);
                    break;
            }
        }
        if ((mask & PMaskBullets) && !bullet) {
            if (b.textList()) b.textList()->remove(b);
            f.setObjectIndex(-1);
        }
        bc.setBlockFormat(f);
        if (bullet && !b.textList()) {
            if (!list) {
                const QTextBlock prev = b.previous();
                list = prev.isValid() ? prev.textList() : nullptr;
            }
            if (list) {
                list->add(b);
            } else {
                QTextListFormat lf;
                lf.setStyle(QTextListFormat::ListDisc);
                lf.setIndent(0);
                list = bc.createList(lf);
            }
        } else if (bullet) {
            list = b.textList();
        }
    }
    c.endEditBlock();
}

}  // namespace richtext
