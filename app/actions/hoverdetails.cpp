#include "app/actions/hoverdetails.h"

#include "app/form2.h"
#include "mergefiles/mergedetails.h"
#include "platform/twips.h"
#include "ui/tooltip.h"

namespace {

// A point in twips in pixels, rounded half to even.
QPoint hoverPixels(double x, double y) {
    return {qv::roundHalfEven(x / qv::kTwipsPerPixel), qv::roundHalfEven(y / qv::kTwipsPerPixel)};
}

} // namespace

void showMergeSummary(Form2& form, Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
    BrowserPanel& browser = form.browser;
    const int n = browser.fileRowAt(hoverPixels(x, y));
    if (browser.moveHoverTo(n)) {
        if (n == 0) {
            browser.filesTip().Destroy();
        } else {
            const MergeFileRow row = browser.mergeFileAt(n - 1);
            browser.showFilesTip(
                row.name, mergeSummaryText(row.name, row.records, QLocale(), row.storedName));
        }
    }
    form.showPictureBorder(nullptr);
}

void showFieldNamesTip(Form2& form, Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
    BrowserPanel& browser = form.browser;
    const int n = browser.recordRowAt(hoverPixels(x, y));
    if (!browser.moveRecordHoverTo(n))
        return;
    if (n == 0)
        browser.fieldNamesTip().Destroy();
    else
        browser.showFieldNamesTip();
}
