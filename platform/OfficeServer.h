#pragma once
// The word-processor automation server, played by LibreOffice running
// headless. The editor drives it with the same calls it would send to a word
// processor: connect (or start one), open a document or add one and paste web
// content into it, hide its window, select all and copy, close without saving.
//
// One headless LibreOffice per program run is kept listening in the
// background after the first import, so later imports only hand their work to
// it. `quitIfIdle()` ends it when no document is open; the program calls it at
// shutdown so the server never outlives the program when idle.
//
// Conversions are run by short-lived `soffice --convert-to` clients that pass
// their request to the running server; every call is thread-safe and bounded
// by a timeout.

#include <QByteArray>
#include <QString>
#include <optional>

#include "base/Result.h"

namespace platform {

class OfficeServer {
  public:
    // A document opened on the server: its rich text once copied.
    class Document {
      public:
        Document() = default;
        Document(const Document&) = delete;
        Document& operator=(const Document&) = delete;
        Document(Document&& other) noexcept;
        Document& operator=(Document&& other) noexcept;
        ~Document();  // closes without saving

        bool isOpen() const { return open_; }
        // Hides the document's window (the server is headless: nothing shows).
        void hideWindow() {}
        // Selects the whole document and copies it: its RTF bytes.
        QByteArray selectAllAndCopy() const { return rtf_; }
        // Closes the document without saving and removes its temporary files.
        void closeWithoutSaving();

      private:
        friend class OfficeServer;
        bool open_ = false;
        QByteArray rtf_;
        QString workDir_;
    };

    // Connects to the running server or starts one. False when LibreOffice
    // is not installed: no `soffice` on the search path, or no Python bridge
    // (`python3` importing `uno`) to drive it.
    static bool connect();
    // Whether a server this program started is running.
    static bool isRunning();
    // Opens a document file (.doc, .docx, .htm, .mht, .wri, .xml, ...); a
    // failure gives a short reason.
    static base::Result<Document> open(const QString& path);
    // Adds a new document and pastes web content (HTML) into it.
    static base::Result<Document> addAndPasteHtml(const QString& html);
    // Documents open on the server right now.
    static int documentCount();
    // Tells the server to quit: the process this program started, or the
    // server that took over its start and serves its pipe.
    static void quit();
    // Shutdown: quits a server we started that has no open document, or,
    // when ours handed over to one an earlier run left behind (it keeps the
    // profile), that one. Returns true when a server was told to quit.
    static bool quitIfIdle();
    // Forgets the server without quitting it, as a run that crashes leaves
    // it (for tests of the shutdown).
    static void disown();

    // Converts a file with LibreOffice into `outDir` with the export filter
    // `convertTo` (e.g. "docx:MS Word 2007 XML"): the path of the result, or
    // why not. Used to produce documents of other formats.
    static base::Result<QString> convert(const QString& path, const QString& convertTo,
                                         const QString& outDir);

    // The RTF of a copied document as the word processor writes it: East
    // Asian bold and italic (\ab, \ai) also set as \b and \i.
    static QByteArray wordStyleRtf(const QByteArray& rtf);

    // The PATH used to find `soffice` (and first of all `python3`); nullopt
    // (default) uses the process's.
    static void setSearchPath(std::optional<QString> path);
    // Upper bound of one conversion, in milliseconds (default two minutes).
    static void setTimeoutMs(int ms);
};

}  // namespace platform
