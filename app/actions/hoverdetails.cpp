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
    const int n = HoverRowAt(*form.ListView1, x, y);
    if (n != form.HoverItem) {
        form.HoverItem = n;
        if (n == 0) {
            form.BrowserTip.Destroy();
        } else {
            const QString name = form.ListView1->itemText(n - 1);
            form.BrowserTip.Title(name);
            form.BrowserTip.TipText(MergeSummaryText(name, form.ListView1->subItem(n - 1, 3),
                                                     QLocale(), form.ListView1->subItem(n - 1, 2)));
            form.BrowserTip.Create(form.ListView1);
        }
    }
    form.ShowPictureBorder(nullptr);
}

void ShowFieldNamesTip(Form2& form, Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
    const int n = HoverRowAt(*form.lw1, x, y);
    if (n == form.FieldHoverItem)
        return;
    form.FieldHoverItem = n;
    if (n == 0) {
        form.FieldTip.Destroy();
    } else {
        form.FieldTip.Title(QStringLiteral("Field Names"));
        form.FieldTip.Create(form.lw1);
    }
}
