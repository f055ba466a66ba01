#pragma once
// Private state of RichEditCtrl, shared by its RichEditCtrl*.cpp files.

#include <QTextCharFormat>
#include <QTimer>
#include <vector>

#include "richtext/RichEditCtrl.h"

namespace richtext {

struct UrlRange {
    int start = 0, end = 0;
    QString url;
};

struct RichEditCtrl::Impl {
    double zoom = 1.0;
    bool allowProtected = false;
    bool autoUrl = true;
    bool inDrop = false;
    bool adjustingScroll = false;
    bool zoomConnected = false;
    UndoKind pendingKind = UndoKind::Unknown;
    std::vector<UndoKind> kinds;  // kind of each undo step, oldest first
    bool haveDefault = false;
    QTextCharFormat defaultFmt;
    std::vector<UrlRange> urls;  // detected URLs, by position
    QTimer urlTimer;
    int lastAnchor = -1, lastPos = -1;
};

// The undo kind the steps recorded while it lives get; when it ends no kind
// is pending (also after a nested scope: an edit's end clears the kind).
class PendingUndoKind {
  public:
    PendingUndoKind(RichEditCtrl::Impl* d, UndoKind kind) : d_(d) { d_->pendingKind = kind; }
    ~PendingUndoKind() { d_->pendingKind = UndoKind::Unknown; }
    PendingUndoKind(const PendingUndoKind&) = delete;
    PendingUndoKind& operator=(const PendingUndoKind&) = delete;

  private:
    RichEditCtrl::Impl* d_;
};

// Runs of one format in [start, end) (RichEditCtrlFormat.cpp).
struct FormatPiece {
    int start, end;
    QTextCharFormat format;
};
std::vector<FormatPiece> formatPieces(const QTextDocument* doc, int start, int end);
bool rangeHasProtected(const QTextDocument* doc, int start, int end);

// Attribute conversions (RichEditCtrlFormat.cpp).
CharAttributes attributesOf(const QTextCharFormat& f, const QFont& defaultFont);
void applyAttributes(QTextCharFormat& f, const CharAttributes& a, int mask);

}  // namespace richtext
