#pragma once
// The worker thread of a word-processor import or paste of web content. One
// is started per command; it frees itself when done and reports nothing back.

#include <QPointer>
#include <QString>
#include <QThread>

class TAddForm;

class OpenFilesThread : public QThread {
    Q_OBJECT
  public:
    enum Mode { ImportFile = 0, PasteWebFormat = 1 };

    // Creates the thread running. fileName is the document to import (mode
    // 0); html is the clipboard's web content (mode 1).
    static OpenFilesThread* start(TAddForm* form, int mode, const QString& fileName,
                                  const QString& html);

    int mode() const { return mode_; }
    // Workers that have not finished yet (all editors).
    static int activeCount();

  protected:
    void run() override;

  private:
    OpenFilesThread(TAddForm* form, int mode, const QString& fileName, const QString& html);

    QPointer<TAddForm> form_;
    int mode_;
    QString fileName_;
    QString html_;
};
