#pragma once
// The few routines of the main window that the editor and the settings
// dialog call: reopening and refreshing its lists, the workbook captions and
// colour, the viewer's text and inset. The main window implements it; the
// editor and the dialogs see this and the Session, never the window itself.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/core/ColorCode.h"

class QComboBox;

namespace richtext {
class RichEditCtrl;
}

namespace session {

class MainView {
  public:
    // Reopens the main record set; on failure shows the connection message
    // and asks the program to end. Returns false on failure.
    virtual bool OpenDb(const QString& sql, bool useParam = false, const QString& group = {}) = 0;
    virtual void RefreshComboBox() = 0;
    virtual void CBXgroupChange() = 0;
    virtual void Refreshlistbox1() = 0;
    // The editor's and the viewer's inset, kept on every resize.
    virtual void SetMargin(richtext::RichEditCtrl* ctrl) = 0;

    // The category list ("全部" first), which the editor extends and selects.
    virtual QComboBox* categoryList() = 0;
    // The shown article as the viewer holds it (RTF).
    virtual QByteArray viewerContent() const = 0;
    // Row of the selected title, -1 when none.
    virtual int selectedIndex() const = 0;

    virtual QStringList tabCaptions() const = 0;
    virtual int selectedTab() const = 0;
    virtual void setWorkbookCaption(int position, const QString& caption) = 0;
    virtual void setTitleListColor(platform::ColorCode code) = 0;
    virtual QString settingsPath() const = 0;

  protected:
    ~MainView() = default;
};

}  // namespace session
