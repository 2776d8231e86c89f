#include "app/form2.h"

#include "app/actions/browser.h"
#include "app/actions/exports.h"
#include "app/actions/hoverdetails.h"
#include "app/actions/passwordstore.h"
#include "app/actions/recordviewer.h"
#include "app/actions/search.h"
#include "app/actions/transferstatus.h"
#include "app/fieldhints.h"
#include "app/guidance.h"
#include "app/panels/design.h"
#include "app/splash.h"
#include "controls/command/command.h"
#include "platform/twips.h"
#include "settings/settingspath.h"
#include "transfer/remotename.h"
#include "transfer/transfercontrol.h"
#include "ui/balloon.h"
#include "ui/scaler.h"
#include "ui/shapes.h"

#include <QCloseEvent>
#include <QMouseEvent>

QString programVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(QV_VERSION_MAJOR)
        .arg(QV_VERSION_MINOR)
        .arg(QV_VERSION_PATCH);
}

QString Form2::selectedMergeFile() const {
    const QString name = details.fileName();
    const QString stored = details.storedName();
    if (!stored.isEmpty() && (stored == name || qv::mergeFileBaseName(stored) == name))
        return stored;
    return name + QStringLiteral(".LET");
}

QString Form2::settingsPath() {
    return qv::settingsPath();
}

// The panels are made (each with its controls, in the design's order) before the window takes
// its design size; each then covers the whole window.
Form2::Form2(QWidget* parent)
    : QWidget(parent), frame(this), introduction(this), settings(this), progress(this),
      details(this), browser(this), guidance(this) {
    setObjectName(QStringLiteral("Form2"));
    setMouseTracking(true);
    resize(qv::twipsToPixels(QSize(kClientWidthTwips, kClientHeightTwips)));
    for (qv::DesignLayer* layer : findChildren<qv::DesignLayer*>(Qt::FindDirectChildrenOnly))
        layer->setGeometry(rect());
    QPalette own = palette();
    own.setColor(QPalette::Window, design::kBackground);
    setPalette(own);
    setAutoFillBackground(true);

    transfer = new qv::TransferControl(this);
    transfer->setObjectName(QStringLiteral("Inet1"));
    connectPanels();
    runLoadStep();
}

// The transfer control goes first: what it says while it stops still reaches the panels.
Form2::~Form2() {
    delete transfer;
}

// What each of the operator's intents runs: the window's dispatch, one connection an intent.
void Form2::connectPanels() {
    // The frame: leaving the program, the about window.
    connect(&frame, &WindowFrame::quitRequested, this, &QWidget::close);
    connect(&frame, &WindowFrame::exitRequested, this, &QWidget::close);
    connect(&frame, &WindowFrame::aboutRequested, this, [] { SplashWindow::showSplash(); });

    // The settings: the search and the hints over the fields.
    connect(&settings, &SettingsPanel::searchRequested, this, [this] { searchServer(*this); });
    connect(&settings, &SettingsPanel::passwordPlaceSwitched, this,
            [this] { switchPasswordPlace(*this); });
    connect(&settings, &SettingsPanel::hintWanted, this,
            [this](SettingsPanel::Hint hint) { attachFieldHint(*this, hint); });

    // The browser: choosing a merge file, its views, the record list and the hover details.
    connect(&browser, &BrowserPanel::mergeFileChosen, this, [this] { selectMergeFile(*this); });
    connect(&browser, &BrowserPanel::recordListResizeRequested, this,
            [this] { toggleRecordListSize(*this); });
    connect(&browser, &BrowserPanel::pointerOverFiles, this, [this](QPoint at) {
        showMergeSummary(*this, Qt::NoButton, Qt::NoModifier, qv::pixelsToTwips(at.x()),
                         qv::pixelsToTwips(at.y()));
    });
    connect(&browser, &BrowserPanel::pointerOverRecords, this, [this](QPoint at) {
        showFieldNamesTip(*this, Qt::NoButton, Qt::NoModifier, qv::pixelsToTwips(at.x()),
                          qv::pixelsToTwips(at.y()));
    });

    // The details: the commands on the selected merge file.
    connect(&details, &DetailsPanel::newDocumentRequested, this,
            [this] { createMergeDocument(*this); });
    connect(&details, &DetailsPanel::completeMergeRequested, this,
            [this] { mergeIntoTemplate(*this); });
    connect(&details, &DetailsPanel::exportRequested, this, [this](ExportKind kind) {
        switch (kind) {
        case ExportKind::Spreadsheet:
            exportToSpreadsheet(*this);
            break;
        case ExportKind::Html:
            exportToHtml(*this);
            break;
        }
    });
    connect(&details, &DetailsPanel::deleteRequested, this, [this] { deleteOnServer(*this); });
    connect(&details, &DetailsPanel::backRequested, this, &Form2::backToSettings);

    // The transfer control's states and the guidance balloons' timers.
    connect(transfer, &qv::TransferControl::StateChanged, this,
            [this](qint16 state) { transferStateChanged(*this, state); });
    connect(&guidance, &GuidanceTimers::due, this,
            [this](qv::guidance::Message m) { qv::guidance::onGuidanceTimer(*this, m); });
}

void Form2::initialiseFlatButtons(QWidget* form) {
    if (!form)
        return;
    for (Command* button : form->findChildren<Command*>(Qt::FindDirectChildrenOnly))
        button->Initialize();
}

void Form2::showPictureBorder(PictureBox* picture) {
    frame.showPictureBorder(picture);
}

bool Form2::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        browser.arrange();
        settings.focusEmptyAddress();
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        keepBalloonsUsable();
    return handled;
}

// The layers follow the window's size; the scaler then places their controls.
void Form2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (qv::DesignLayer* layer : findChildren<qv::DesignLayer*>(Qt::FindDirectChildrenOnly))
        layer->setGeometry(rect());
    rescaleForm(*this);
}

// The pointer over the window's background (or over a control that leaves its moves to the
// window) takes the border off the pictures.
void Form2::mouseMoveEvent(QMouseEvent* event) {
    frame.clearPictureBorders();
    QWidget::mouseMoveEvent(event);
}

// Disabling the window disables its child windows too; the guidance balloons stay usable while
// the window works (a click closes them, they can be dragged, the "no files" one stays open
// until closed).
void Form2::keepBalloonsUsable() {
    for (qv::BalloonWindow* balloon : findChildren<qv::BalloonWindow*>(Qt::FindDirectChildrenOnly))
        balloon->setEnabled(true);
}

void Form2::closeEvent(QCloseEvent* event) {
    if (work_ > 0) {
        requestClose();
        event->ignore();
        return;
    }
    runUnloadStep();
    event->accept();
}

void Form2::requestClose() {
    closeRequested_ = true;
    transfer->Cancel();
}

Form2::Work::Work(Form2& form) : form_(form) {
    ++form_.work_;
}

Form2::Work::~Work() {
    if (--form_.work_ == 0 && form_.closeRequested_)
        QMetaObject::invokeMethod(
            &form_, [form = &form_] { form->close(); }, Qt::QueuedConnection);
}

void Form2::runUnloadStep() {
    if (unloaded_)
        return;
    unloaded_ = true;
    guidance.stopAll();
    SplashWindow::unload();
}

namespace {

// The window's lines keep their end points in twips.
class LineShapeEnds : public qv::LineEndsAccess {
public:
    std::optional<QLine> ends(const QWidget* control) const override {
        if (auto* line = qobject_cast<const LineShape*>(control))
            return QLine(line->From(), line->To());
        return std::nullopt;
    }
    void setEnds(QWidget* control, const QLine& ends) const override {
        if (auto* line = qobject_cast<LineShape*>(control))
            line->setEnds(ends.p1(), ends.p2());
    }
};

} // namespace

void rescaleForm(Form2& form) {
    static const LineShapeEnds lines;
    // A resize that leaves the size as it was (the first showing of the window) keeps what the
    // load step and the panels have set; only a real change of size rescales.
    const QVariant last = form.property("qvScaledSize");
    if (last.isValid() && last.toSize() == form.size())
        return;
    form.setProperty("qvScaledSize", form.size());
    qv::rescaleForm(form, &lines);
    for (qv::DesignLayer* layer : form.findChildren<qv::DesignLayer*>(Qt::FindDirectChildrenOnly))
        layer->updatePointerArea();
}
