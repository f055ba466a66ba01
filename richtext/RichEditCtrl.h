#pragma once
// The rich-text control used by the article viewer, its copy buffer and the
// editor's pane: a QTextEdit with RichEdit-style operations. Content is RTF
// (read and written by RtfReader/RtfWriter) or plain text when asked.
//
// Positions and lengths count characters as the user sees them: a Chinese
// character is one. Like the rich-edit control they are UTF-16 units of the
// document: a paragraph break and a picture are one, a character beyond the
// BMP (an emoji) is two.
//
// Hidden text (\v) stays in the document and is drawn transparent; disabled
// text is drawn grey; both keep their own colour for RTF.

#include <QColor>
#include <QFont>
#include <QIODevice>
#include <QRect>
#include <QString>
#include <QTextEdit>
#include <memory>
#include <stdexcept>

class QPrinter;

namespace richtext {

class StreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;  // "Failed to Load Stream" / "Failed to Save Stream"
};

enum StyleBits { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4, StyleStrikeOut = 8 };
enum class Script { None, Subscript, Superscript };

// Character attributes (a selection, the word at the caret, or the defaults).
struct CharAttributes {
    QString face;       // up to 31 characters
    int size = 9;       // whole points
    QColor color;       // invalid = automatic (window text)
    QColor background;  // invalid = automatic (window)
    int style = 0;      // StyleBits
    Script script = Script::None;
    bool isProtected = false;
    bool hidden = false;
    bool disabled = false;  // greyed
    int charset = 134;      // 134 GB2312/GBK
    int pitch = 0;
};

// Paragraph attributes, lengths in whole points.
struct ParaAttributes {
    int alignment = 0;  // 0 left, 1 right, 2 centre, 3 justified
    int startIndent = 0;
    int offset = 0;  // of following lines (hanging)
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    // In the unit of its rule: 0 single (no value), 3 at least and 4 exactly
    // lineSpacing points, 5 multiple: lineSpacing hundredths of a line.
    int lineSpacing = 0;
    int lineSpacingRule = 0;
    bool bullets = false;
};

enum class UndoKind { Unknown = 0, Typing = 1, Delete = 2, DragDrop = 3, Cut = 4, Paste = 5 };

struct FindOptions {
    bool wholeWord = false;
    bool matchCase = false;
    bool backward = false;
};

class RichEditCtrl : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichEditCtrl(QWidget* parent = nullptr);
    ~RichEditCtrl() override;

    static constexpr int kVersion = 2;

    // --- content -----------------------------------------------------------
    // Load/save through a stream: RTF unless plainText. A failed load is
    // retried once in the other form; then StreamError("Failed to Load Stream").
    void loadFromStream(QIODevice& in, bool plainText = false);
    void saveToStream(QIODevice& out, bool plainText = false) const;
    void loadFromBytes(const QByteArray& bytes, bool plainText = false);
    QByteArray saveToBytes(bool plainText = false) const;
    // Files: the extension decides ("txt", ignoring case: plain GBK text; else RTF).
    void loadFromFile(const QString& path);
    void saveToFile(const QString& path) const;
    void clearAll();                       // empty document
    void appendLine(const QString& line);  // a plain-text paragraph at the end
    QString plainText() const;

    // --- selection ---------------------------------------------------------
    int selStart() const;
    int selLength() const;
    void setSel(int start, int length);
    QString selText() const;
    void replaceSel(const QString& text);
    void selectAllText();
    void deleteSelection();
    int caretLine() const;                // 0-based
    int caretColumn() const;              // 0-based
    bool isSingleObjectSelected() const;  // exactly one embedded picture/object

    // --- character attributes ----------------------------------------------
    CharAttributes selAttributes() const;
    void setSelAttributes(const CharAttributes& a, int mask);
    CharAttributes wordAttributes() const;  // the word at the caret
    void setWordAttributes(const CharAttributes& a, int mask);
    CharAttributes defaultAttributes() const;
    void setDefaultAttributes(const CharAttributes& a, int mask);
    enum AttrMask {
        MaskFace = 1,
        MaskSize = 2,
        MaskColor = 4,
        MaskBackground = 8,
        MaskBold = 16,
        MaskItalic = 32,
        MaskUnderline = 64,
        MaskStrike = 128,
        MaskScript = 256,
        MaskProtected = 512,
        MaskHidden = 1024,
        MaskDisabled = 2048,
        MaskCharset = 4096,
        MaskPitch = 8192,
        MaskAll = 0x3FFF
    };
    static CharAttributes attributesFromFont(const QFont& f);

    // --- paragraph attributes ----------------------------------------------
    ParaAttributes paraAttributes() const;
    enum ParaMask {
        PMaskAlignment = 1,
        PMaskStartIndent = 2,
        PMaskOffset = 4,
        PMaskRightIndent = 8,
        PMaskSpaceBefore = 16,
        PMaskSpaceAfter = 32,
        PMaskLineSpacing = 64,
        PMaskBullets = 128,
        PMaskAll = 0xFF
    };
    // Switching bullets on raises the offset to 10 points if smaller; off sets it to 0.
    void setParaAttributes(const ParaAttributes& p, int mask);

    // --- flags, undo -------------------------------------------------------
    bool modified() const;
    void setModified(bool m);
    bool canUndoNow() const;
    bool canRedoNow() const;
    UndoKind undoKind() const;
    UndoKind redoKind() const;
    bool canPasteNow() const;

    // --- find ----------------------------------------------------------------
    // Finds text in [start, start+length) (length -1: to the end); returns the
    // position or -1. Backward searches the range from its end.
    int findText(const QString& text, int start, int length, const FindOptions& opt) const;

    // --- printing, zoom, look ----------------------------------------------------
    void printDocument(QPrinter* printer, const QString& jobTitle, const QRect& pageRectPx) const;
    void setZoom(int numerator, int denominator);  // 0/0 resets; screen only
    double zoomFactor() const;
    void setPaneBackground(const QColor& c);
    QRect formatRect() const;
    void setFormatRect(const QRect& r);
    void SetMargin();  // text area 20 pixels inside each edge
    void scrollCaret();

    // Protected text: edits touching it are refused unless this returns true.
    void setAllowProtectedEdits(bool allow);
    bool allowProtectedEdits() const;
    // Allows (or refuses) edits of protected text while it lives; the
    // setting before it comes back at its end.
    class ProtectedEditScope {
      public:
        explicit ProtectedEditScope(RichEditCtrl* ctrl, bool allow = true)
            : ctrl_(ctrl), old_(ctrl->allowProtectedEdits()) {
            ctrl_->setAllowProtectedEdits(allow);
        }
        ~ProtectedEditScope() { ctrl_->setAllowProtectedEdits(old_); }
        ProtectedEditScope(const ProtectedEditScope&) = delete;
        ProtectedEditScope& operator=(const ProtectedEditScope&) = delete;

      private:
        RichEditCtrl* ctrl_;
        bool old_;
    };

    // Automatic URL detection (links underlined, clickable).
    void setAutoUrlDetect(bool on);
    bool autoUrlDetect() const;
    // The link (detected URL or hyperlink field) at a document position, or "".
    QString urlAt(int position) const;

  public slots:
    // Cut and paste with the control's rules (protected text, undo kinds);
    // they hide QTextEdit's slots of the same names.
    void cut();
    void paste();

  signals:
    void contentChanged();
    void selectionChangedEx();
    // Emitted before an edit that touches protected text; set *allow to permit it.
    void protectedChange(int start, int end, bool* allow);
    void urlClicked(const QString& url, Qt::MouseButton button);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QVariant loadResource(int type, const QUrl& name) override;

  public:
    struct Impl;

  private:
    std::unique_ptr<Impl> d;
};

}  // namespace richtext
