#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "ui/tooltip.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class Command;
class ListView;
class ImageList;
class PictureBox;
class LineShape;
class RectShape;
namespace qv {
class TransferControl;
class AnimationPlayer;
} // namespace qv

// The program's one working window. Its controls are public members under their design names.
// The features run on it from app/actions/ (for example SearchServer(Form2&)); they show and hide
// controls through the window's panels and intents, and read and write the controls' values.
// Positions are designed in twips on a client area of 12075 x 7680.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    // --- Background -----------------------------------------------------------------------
    QLabel* Label1 = nullptr;

    // --- Left area: introduction, browser, record list ------------------------------------
    ListView* ListView1 = nullptr;
    ListView* lw1 = nullptr;
    PictureBox* Image6 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    PictureBox* Image7 = nullptr;
    QLabel* Label5 = nullptr;
    LineShape* Line5 = nullptr;
    LineShape* Line6 = nullptr;
    LineShape* Line8 = nullptr;

    // --- Settings panel -------------------------------------------------------------------
    QLabel* Label3 = nullptr;
    PictureBox* Image9 = nullptr;
    QLineEdit* Text44 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text21 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLineEdit* Text22 = nullptr;
    QLineEdit* Text12 = nullptr;
    QLineEdit* Text16 = nullptr;
    LineShape* Line4 = nullptr;

    // --- Details panel --------------------------------------------------------------------
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text13 = nullptr;
    QLineEdit* Text17 = nullptr;
    PictureBox* Image1 = nullptr;
    PictureBox* Image5 = nullptr;
    LineShape* Line1 = nullptr;
    LineShape* Line2 = nullptr;
    Command* Command3 = nullptr;
    Command* Command4 = nullptr;
    Command* Command7 = nullptr;
    Command* Command11 = nullptr;
    Command* Command10 = nullptr;

    // --- Progress group -------------------------------------------------------------------
    RectShape* Shape2 = nullptr;
    qv::AnimationPlayer* Animation1 = nullptr; // plays "Download.avi" while a search runs
    QLineEdit* Text6 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;

    // --- Command row and the rest of the right area ---------------------------------------
    Command* Command9 = nullptr;
    Command* Command8 = nullptr;
    Command* Command1 = nullptr;
    Command* Command2 = nullptr;
    QLineEdit* Text15 = nullptr;
    QLineEdit* Text18 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label8 = nullptr;
    PictureBox* Image8 = nullptr;
    RectShape* Shape1 = nullptr;
    RectShape* Shape3 = nullptr;

    // --- Auxiliary controls below the designed client area ---------------------------------
    QListWidget* lstremotefiles = nullptr;
    QListWidget* List1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command5 = nullptr;
    PictureBox* Image2 = nullptr;
    PictureBox* Image3 = nullptr;
    PictureBox* Image4 = nullptr;

    // --- Controls without a place on screen -------------------------------------------------
    qv::TransferControl* Inet1 = nullptr; // the FTP transfer control
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
    ImageList* ImageList1 = nullptr; // 50 x 50 pictures of the browser
    ImageList* ImageList2 = nullptr; // 16 x 16 pictures of the record list

    // --- Window state -------------------------------------------------------------------------
    // The record count of the merge file the details panel shows, as the browser listed it.
    int selectedRecordCount = 0;
    std::int32_t HoverItem = 0;
    std::int32_t FieldHoverItem = 0;
    std::int32_t IpHintItem = 0;
    std::int32_t LoginHintItem = 0;
    std::int32_t PasswordHintItem = 0;
    std::int32_t SearchHintItem = 0;
    // Tooltips of ListView1, lw1, Text10, Text11, Text12 and Text16 (set up by the load step).
    BalloonTooltip BrowserTip;
    BalloonTooltip FieldTip;
    BalloonTooltip ipTip;
    BalloonTooltip loginTip;
    BalloonTooltip passwordTip;
    BalloonTooltip searchTip;

    // --- Panels ----------------------------------------------------------------------------------
    // Groups of controls the window shows and hides together; the control table names the group
    // of each control.
    enum class Panel {
        None,
        Introduction,  // the product picture and texts the browser replaces
        Settings,      // address, login, password and Search
        Details,       // the selected merge file and the commands that act on it
        ProgressGroup, // the search's frame, clip, bar and status lines (not its summary Text6)
    };
    void setPanelVisible(Panel panel, bool visible);

    // What the window shows, by intent. Features call these instead of showing and hiding
    // controls one by one.
    void showSettings();                       // the settings panel, the browser at full height
    void showDetails();                        // the details panel in place of the settings
    void showTemplateChoice(bool hasTemplate); // Complete Merge and the picture of a template
    void hideTemplateChoice();
    void showBrowser();      // the browser in place of the introduction, at its full height
    void showRecordList();   // the record list below the shortened browser
    void hideRecordList();   // the browser alone, at its full height
    void shrinkRecordList(); // an enlarged record list back below the browser
    void beginSearch();      // window disabled, the progress group shown with its clip playing
    void endSearch(const QString& summary); // the progress group gone but for the summary

    // --- Operations -----------------------------------------------------------------------------
    // Calls Initialize on every flat button of form, in its control order.
    void InitialiseButtons(QWidget* form, bool& initialise, bool& enabled);
    void GoBack();      // "Back": from the details panel to the settings panel
    void QuitProgram(); // "Quit"
    void ExitProgram(); // the exit picture
    void Activate();    // the activation step

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
    void ShowPictureBorder(PictureBox* picture);

    // The selected merge file's name as it was downloaded (Text3, kept from its browser entry),
    // so that "X.LET.LET" is not taken for "X.LET"; <Text1>.LET when Text3 belongs to no entry
    // of that name.
    QString selectedMergeFile() const;

    // Design geometry.
    static constexpr int kClientWidthTwips = 12075;
    static constexpr int kClientHeightTwips = 7680;

    // The settings file, the data and template folders.
    static QString settingsPath();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void styleControls();
    void createPictures();
    void createLists();
    void createTimers();
    void Load(); // the load step

    // The load step's parts, in their order.
    void loadNameWindowsVersion();
    void loadHideProgressFrame(); // the clip is opened by its owner
    void loadTitle();
    void loadButtonCaptions();
    void loadHideDetailsPanel();
    void loadBrowserSize();
    void loadMakeFolders();
    void loadHideProgressBar();
    void loadInitialiseButtons();
    void loadSettings();
    void loadIntroductionTexts();
    void loadHideLists();
    void loadAboutText();

    void keepBalloonsUsable();
    void Unload(); // the unload step
    bool unloaded_ = false;
    int work_ = 0;
    bool closeRequested_ = false;
    QList<QWidget*> panels_[5]; // by Panel
};

// "2.0.1": the program's version as major.minor.revision.
QString programVersion();

// The layout scaler on the main window: records the design at the first call (the load step's
// first step), scales every control to the window's size on later calls (its resize event).
void RescaleForm(Form2& form);
