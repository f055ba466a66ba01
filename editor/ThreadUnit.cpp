#include "editor/ThreadUnit.h"

#include <atomic>

#include "editor/Addunit.h"

namespace {
std::atomic<int> g_active{0};
}

OpenFilesThread::OpenFilesThread(TAddForm* form, int mode, const QString& fileName,
                                 const QString& html)
    : form_(form), mode_(mode), fileName_(fileName), html_(html) {}

OpenFilesThread* OpenFilesThread::start(TAddForm* form, int mode, const QString& fileName,
                                        const QString& html) {
    auto* t = new OpenFilesThread(form, mode, fileName, html);
    ++g_active;
    connect(t, &QThread::finished, t, &QObject::deleteLater);
    t->QThread::start();
    return t;
}

int OpenFilesThread::activeCount() {
    return g_active.load();
}

void OpenFilesThread::run() {
    TAddForm::ImportDocument(form_, mode_ == ImportFile, fileName_, html_);
    --g_active;
}
