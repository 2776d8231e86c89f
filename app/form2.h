#pragma once

#include "app/panels/browserpanel.h"
#include "app/panels/detailspanel.h"
#include "app/panels/guidancetimers.h"
#include "app/panels/introductionpanel.h"
#include "app/panels/progresspanel.h"
#include "app/panels/settingspanel.h"
#include "app/panels/windowframe.h"

#include <QString>
#include <QWidget>

namespace qv {
class TransferControl;
} // namespace qv

// The program's one working window. It is made of panels (app/panels/), each a layer of the
// window that owns its controls, keeps each control's design name as its object name and tells
// what the operator wants through its signals; the window connects those signals to the features'
// actions (app/actions/, for example searchServer(Form2&)), which talk to the panels' intents and
// the window's own. Positions are designed in twips on a client area of 12075 x 7680.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    // The panels, from the bottom layer up.
    WindowFrame frame;
    IntroductionPanel introduction;
    SettingsPanel settings;
    ProgressPanel progress;
    DetailsPanel details;
    BrowserPanel browser;
    GuidanceTimers guidance;
    qv::TransferControl* transfer = nullptr; // the FTP transfer control (design name Inet1)

    // What the window shows, by intent, where it spans several panels. Features call these (and
    // the panels' own intents) instead of showing and hiding controls one by one.
    void showSettings(); // the settings panel, the browser at full height
    void showDetails();  // the details panel in place of the settings
    void showBrowser();  // the browser in place of the introduction, at its full height
    void beginSearch();  // window disabled, the progress group shown with its clip playing
    void endSearch(const QString& summary); // the progress group gone but for the summary

    void backToSettings(); // "Back": from the details panel to the settings panel

    // Calls Initialize on every flat button directly in form, in its control order.
    void initialiseFlatButtons(QWidget* form);

    // Long work (a search, a delete, loading records, an export) runs inside the window's event
    // handlers while events are pumped. Closing the window meanwhile does not destroy it under
    // the work: the work is cancelled (closeRequested() turns true, the transfer is aborted), and
    // the window closes as soon as the last Work has ended.
    class Work {
    public:
        explicit Work(Form2& form);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        Form2& form_;
    };
    bool closeRequested() const { return closeRequested_; }
    bool isWorking() const { return work_ > 0; }
    // Cancels the running work and closes the window once it has ended (as a close does).
    void requestClose();

    // Picture borders: the picture under the pointer gets a single-line border, the others none;
    // nullptr (window background) clears all three.
    void showPictureBorder(PictureBox* picture);

    // The selected merge file's name as it was downloaded (the stored name kept from its browser
    // entry), so that "X.LET.LET" is not taken for "X.LET"; <its name>.LET when the stored name
    // belongs to no entry of that name.
    QString selectedMergeFile() const;

    // Design geometry.
    static constexpr int kClientWidthTwips = 12075;
    static constexpr int kClientHeightTwips = 7680;

    // The settings file, the data and template folders.
    static QString settingsPath();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void connectPanels();
    void runLoadStep();
    void keepBalloonsUsable();
    void runUnloadStep();

    bool unloaded_ = false;
    int work_ = 0;
    bool closeRequested_ = false;
};

// "2.0.1": the program's version as major.minor.revision.
QString programVersion();

// The layout scaler on the main window: records the design at the first call (the load step's
// first step), scales every control to the window's size on later calls (its resize event).
void rescaleForm(Form2& form);
