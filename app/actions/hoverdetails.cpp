#include "app/actions/hoverdetails.h"

#include "app/form2.h"
#include "mergefiles/mergedetails.h"
#include "platform/twips.h"
#include "ui/listview.h"
#include "ui/tooltip.h"

int HoverRowAt(const ListView& list, double x, double y) {
    const QPoint pixels(qv::roundHalfEven(x / qv::kTwipsPerPixel),
                        qv::roundHalfEven(y / qv::kTwipsPerPixel));
    return list.hitTest(pixels) + 1;
}

void ShowMergeSummary(Form2& form, Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
    const int n = HoverRowAt(*form.browser.files, x, y);
    if (n != form.browser.hoverRow) {
        form.browser.hoverRow = n;
        if (n == 0) {
            form.browser.filesTip.Destroy();
        } else {
            const QString name = form.browser.files->itemText(n - 1);
            form.browser.filesTip.Title(name);
            form.browser.filesTip.TipText(
                MergeSummaryText(name, form.browser.files->subItem(n - 1, 3), QLocale(),
                                 form.browser.files->subItem(n - 1, 2)));
            form.browser.filesTip.Create(form.browser.files);
        }
    }
    form.showPictureBorder(nullptr);
}

void ShowFieldNamesTip(Form2& form, Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
    const int n = HoverRowAt(*form.browser.records, x, y);
    if (n == form.browser.recordHoverRow)
        return;
    form.browser.recordHoverRow = n;
    if (n == 0) {
        form.browser.fieldNamesTip.Destroy();
    } else {
        form.browser.fieldNamesTip.Title(QStringLiteral("Field Names"));
        form.browser.fieldNamesTip.Create(form.browser.records);
    }
}
