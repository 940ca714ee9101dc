#include "ActivityIndicatorView.h"
#include "DatePicker.h"
#include "LayoutLoader.h"
#include "PageControl.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "PickerView.h"
#include "ScrollView.h"
#include "TableView.h"
#include "TextField.h"

#include <QPlainTextEdit>

// The layer's own view classes, known to every layout file.
void registerPlatformLayoutClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    auto add = [](const char *name, auto make) { LayoutLoader::registerClass(QLatin1String(name), make); };
    add("ActivityIndicatorView", [](QWidget *p) -> QWidget * { return new ActivityIndicatorView(p); });
    add("PhoneButton", [](QWidget *p) -> QWidget * { return new PhoneButton(p); });
    add("PhoneLabel", [](QWidget *p) -> QWidget * { return new PhoneLabel(p); });
    add("PhoneImageView", [](QWidget *p) -> QWidget * { return new PhoneImageView(p); });
    add("TextField", [](QWidget *p) -> QWidget * { return new TextField(p); });
    add("ScrollView", [](QWidget *p) -> QWidget * { return new ScrollView(p); });
    add("TableView", [](QWidget *p) -> QWidget * { return new TableView(p); });
    add("TableViewCell", [](QWidget *p) -> QWidget * { return new TableViewCell(p); });
    add("PageControl", [](QWidget *p) -> QWidget * { return new PageControl(p); });
    add("PickerView", [](QWidget *p) -> QWidget * { return new PickerView(p); });
    add("DatePicker", [](QWidget *p) -> QWidget * { return new DatePicker(p); });
}
