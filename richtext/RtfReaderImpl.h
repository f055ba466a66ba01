#pragma once
// Inner workings of the RTF reader: the group state stack and the document
// builder. Only RtfReader*.cpp include this.

#include <QColor>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <string>
#include <vector>

#include "richtext/RtfTokenizer.h"

class QTextDocument;

namespace richtext {

enum class Kw : unsigned char;
struct KwInfo;

enum class Dest : unsigned char {
    Normal,  // document text
    Skip,    // ignored group
    FontTable,
    ColorTable,
    FieldInst,
    Pict,
    ListText,  // \pntext, \listtext: text shown only when the list is not understood
    Pn,        // {\*\pn ...}: legacy bullet definition
};

struct CharProps {
    int font = -1;  // -1: the \deff font
    int fs = 24;    // half points
    bool bold = false, italic = false, underline = false, strike = false;
    bool hidden = false, prot = false, disabled = false;
    signed char script = 0;  // -1 sub, 1 super
    int fg = -1, bg = -1;    // colour-table indices, -1 automatic
    int field = -1;          // index of the field whose result this is
    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    int align = 0;  // 0 left 1 right 2 centre 3 justified
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slmult = false;
    bool bullet = false;  // legacy \pn bullet
    bool numbered = false;
    int ls = 0;  // list override of later writers
    bool intbl = false;
};

struct GroupState {
    Dest dest = Dest::Normal;
    Dest uprDest = Dest::Normal;  // destination inside {\upr ...}'s \ud branch
    bool inUpr = false;
    int openField = -1;  // the field whose group this is (\field)
    CharProps c;
    ParaProps p;
    int uc = 1;
    int codePage = 1252;           // for \'hh and raw bytes: from the current font
    unsigned char symbolFont = 0;  // 1 Symbol, 2 Wingdings
};

struct FontInfo {
    QString name;
    int charset = -1;
    int pitch = 0;
    int codePage = 0;  // 0: the document's code page
};

struct FieldInfo {
    QString inst;
    QString href;
    bool parsed = false;
};

struct PictInfo {
    QString type;
    QByteArray bytes;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    int mapMode = 0;
    int nibble = -1;
};

class RtfReaderImpl {
  public:
    RtfReaderImpl(QTextDocument* doc);
    void read(const QByteArray& rtf);

  private:
    // token handling (RtfReader.cpp)
    void onWord(const RtfToken& t);
    void onText(std::string_view bytes);
    void onHex(unsigned char b);
    void pushGroup();
    void popGroup();
    void setFont(int id);
    void plain();
    void commitFont();
    int fontCodePage(int id, unsigned char* symbol) const;

    // control words by kind (RtfDispatch*.cpp)
    void onFlag(const KwInfo& k, const RtfToken& t);
    void onToggle(Kw kw, bool on);
    void onValue(const KwInfo& k, const RtfToken& t);
    void onDestination(Kw kw);
    void onSymbolWord(const KwInfo& k);
    void onSymbol(char c);  // control symbols: \~, \-, \{ ...

    // text (RtfReaderDoc.cpp)
    void flushBytes();
    void emitText(QStringView s);
    void emitChar(char16_t ch);
    void flushRun();
    const QTextCharFormat& formatFor(const CharProps& c);
    void endParagraph(bool pageBreak = false);
    void applyBlockFormat(const ParaProps& p, bool bullet);
    bool takeListText(const ParaProps& p);  // whether the paragraph shows a bullet
    void onCell(bool nested);
    void onRow();
    void syncEdit();
    void finishPicture(const PictInfo& pic, const CharProps& c);
    static void appendPictureHex(PictInfo& pic, std::string_view text);
    void fieldResultStarts(int field);  // \fldrslt of that field begins
    void parseField(FieldInfo& f);
    void finish();

    GroupState& st() { return stack_.back(); }

    QTextDocument* doc_;
    QTextCursor cursor_;
    RtfTokenizer* tz_ = nullptr;
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;   // groups opened beyond the depth cap
    bool ignorable_ = false;  // the last token was \*
    int skipUnits_ = 0;       // fallback units still to skip after \uN

    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, FontInfo> fonts_;
    int fontId_ = -1;  // font being defined in the font table
    QString fontNameText_;
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    std::string bytes_;  // raw and \'hh bytes of the current run
    QString run_;        // decoded text waiting for insertion
    CharProps runProps_;
    std::vector<std::pair<CharProps, QTextCharFormat>> formatCache_;

    std::vector<FieldInfo> fields_;
    std::vector<PictInfo> picts_;  // one per open \pict group

    // paragraphs, lists and tables
    QPointer<QTextList> list_;
    int listBlock_ = -1;  // block number of the list's last item
    int listTextStart_ = -1, listTextEnd_ = -1;
    bool pageBreakNext_ = false;
    int parEnd_ = -1;  // cursor position right after the last \par
    // Paragraph properties in force when the document's group closed: the
    // last paragraph's, which the base state after it does not carry.
    ParaProps endProps_;
    bool haveEndProps_ = false;
    QPointer<QTextTable> table_;
    int tRow_ = 0, tCol_ = 0;
    bool rowEnded_ = false;
    int cellStart_ = 0;
    int cellxCount_ = 0;
    int trleft_ = 0;          // \trleft of the current row definition, twips
    std::vector<int> cellx_;  // right cell boundaries of that row, twips
};

}  // namespace richtext
