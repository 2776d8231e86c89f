#include "app/form2.h"

#include "app/dispatch.h"
#include "app/fieldhints.h"
#include "app/guidance.h"
#include "app/splash.h"
#include "controls/command/command.h"
#include "platform/osversion.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "settings/inifile.h"
#include "settings/settingspath.h"
#include "transfer/remotename.h"
#include "transfer/transfercontrol.h"
#include "ui/animationplayer.h"
#include "ui/balloon.h"
#include "ui/listview.h"
#include "ui/scaler.h"
#include "ui/shapes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <span>
#include <variant>

namespace {

const QColor kBackground(88, 146, 231);

// How a control looks; the window's design gives each control one of these.
enum class Look {
    Plain,       // default font and colours
    Title,       // the product name in large type
    TitleShadow, // its shadow
    Logo,        // the logo text in the top right corner
    LogoShadow,
    Heading, // "Quorvane Settings", the version
    Body,    // the about text and the credit line
    Caption, // a text box used as a caption
    Input,   // an input field, blue text
    Info,    // a read-only text box showing a value
};

enum class Kind {
    Label,
    TextBox,
    CaptionBox,
    Picture,
    Line,
    Shape,
    FlatButton,
    Button,
    CheckBox,
    ListBox,
    ListView,
    ProgressBar
};

// Where the window keeps a control: a member of one of its panels (or of the window itself).
template <class T> using Member = T*& (*)(Form2&);
template <auto... Path> auto& member(Form2& form) {
    return (form.*....*Path);
}

using Slot =
    std::variant<Member<QLabel>, Member<QLineEdit>, Member<PictureBox>, Member<LineShape>,
                 Member<RectShape>, Member<Command>, Member<QPushButton>, Member<QListWidget>,
                 Member<ListView>, Member<QProgressBar>, Member<QCheckBox>>;

using Panel = Form2::Panel;

// One control of the window: design name, kind, member, design rectangle in twips (for a line
// its two end points x1, y1, x2, y2), design caption, design visibility, look and the panel it
// belongs to. Controls are created in this order, each above the ones before it.
struct ControlDesign {
    const char* name;
    Kind kind;
    Slot slot;
    int left, top, width, height;
    const char* caption;
    bool visible;
    Look look;
    Panel panel = Panel::None;
};

// Pictures of the window, drawn by the project (assets/).
struct PictureDesign {
    Member<PictureBox> slot;
    const char* file;
    const char* toolTip;
};
} // namespace

// The window's design: its controls and pictures, each by the panel member that keeps it (the
// panels let this struct reach their members).
struct Form2Design {
    static std::span<const ControlDesign> controls();
    static std::span<const PictureDesign> pictures();
};

std::span<const ControlDesign> Form2Design::controls() {
    // clang-format off
    static const ControlDesign kInventory[] = {
    // Background and the pictures and shapes drawn on it.
    {"Label1",   Kind::Label,   &member<&Form2::frame, &WindowFrame::background_>,   0, -30, 12120, 7965, "", true, Look::Plain},
    {"Image6",   Kind::Picture, &member<&Form2::introduction, &IntroductionPanel::background_>,   0, 0, 7410, 7635, "", true, Look::Plain, Panel::Introduction},
    {"Image7",   Kind::Picture, &member<&Form2::introduction, &IntroductionPanel::picture_>,   270, 2475, 6795, 4995, "", true, Look::Plain, Panel::Introduction},
    {"Shape3",   Kind::Shape,   &member<&Form2::frame, &WindowFrame::rightBorderOuter_>,   7590, 945, 4320, 5775, "", true, Look::Plain},
    {"Shape1",   Kind::Shape,   &member<&Form2::frame, &WindowFrame::rightBorderInner_>,   7620, 975, 4245, 5715, "", true, Look::Plain},
    {"Shape2",   Kind::Shape,   &member<&Form2::progress, &ProgressPanel::box_>,   7485, 4875, 4530, 1830, "", true, Look::Plain, Panel::ProgressGroup},
    {"Line5",    Kind::Line,    &member<&Form2::frame, &WindowFrame::titleRuleTop_>,    465, 1110, 7200, 1110, "", true, Look::Plain},
    {"Line6",    Kind::Line,    &member<&Form2::frame, &WindowFrame::titleRuleMiddle_>,    465, 1140, 7200, 1140, "", true, Look::Plain},
    {"Line8",    Kind::Line,    &member<&Form2::frame, &WindowFrame::titleRuleBottom_>,    465, 1170, 7200, 1170, "", true, Look::Plain},
    {"Line4",    Kind::Line,    &member<&Form2::frame, &WindowFrame::headingRule_>,    7800, 1920, 11490, 1920, "", true, Look::Plain},
    {"Line1",    Kind::Line,    &member<&Form2::details, &DetailsPanel::lowerRule_>,    7800, 5880, 11490, 5880, "", true, Look::Plain, Panel::Details},
    {"Line2",    Kind::Line,    &member<&Form2::details, &DetailsPanel::upperRule_>,    7800, 3675, 11490, 3675, "", true, Look::Plain, Panel::Details},
    {"Image9",   Kind::Picture, &member<&Form2::settings, &SettingsPanel::picture_>,   7905, 1290, 615, 615, "", true, Look::Plain, Panel::Settings},
    {"Image1",   Kind::Picture, &member<&Form2::details, &DetailsPanel::picture_>,   7800, 1080, 825, 810, "", true, Look::Plain},
    {"Image5",   Kind::Picture, &member<&Form2::details, &DetailsPanel::templatePicture_>,   7800, 1080, 825, 780, "", true, Look::Plain},
    {"Image8",   Kind::Picture, &member<&Form2::frame, &WindowFrame::cornerPicture_>,   11610, 60, 525, 330, "", true, Look::Plain},
    // Labels.
    {"Label10",  Kind::Label,   &member<&Form2::frame, &WindowFrame::titleShadow_>,  510, 0, 6975, 1305, "Quorvane", true, Look::TitleShadow},
    {"Label2",   Kind::Label,   &member<&Form2::introduction, &IntroductionPanel::title_>,   465, -90, 6975, 1170, "Quorvane", true, Look::Title, Panel::Introduction},
    {"Label4",   Kind::Label,   &member<&Form2::introduction, &IntroductionPanel::version_>,   4635, 780, 2565, 255, "Version", true, Look::Heading, Panel::Introduction},
    {"Label6",   Kind::Label,   &member<&Form2::introduction, &IntroductionPanel::about_>,   390, 1200, 6615, 1185, "", true, Look::Body, Panel::Introduction},
    {"Label5",   Kind::Label,   &member<&Form2::introduction, &IntroductionPanel::credit_>,   465, 7185, 6225, 390,
        "Designed and written for Norrevan mail-merge users", true, Look::Body, Panel::Introduction},
    {"Label9",   Kind::Label,   &member<&Form2::frame, &WindowFrame::logoShadow_>,   7770, 210, 4065, 570, "Quorvane", true, Look::LogoShadow},
    {"Label7",   Kind::Label,   &member<&Form2::frame, &WindowFrame::logo_>,   7695, 180, 4065, 645, "Quorvane", true, Look::Logo},
    {"Label8",   Kind::Label,   &member<&Form2::frame, &WindowFrame::cornerVersion_>,   11040, 615, 1200, 300, "", true, Look::Body},
    {"Label3",   Kind::Label,   &member<&Form2::settings, &SettingsPanel::heading_>,   8505, 1440, 3015, 480, "Quorvane Settings", true, Look::Heading, Panel::Settings},
    // Lists of the left area.
    {"ListView1", Kind::ListView, &member<&Form2::browser, &BrowserPanel::files_>, 0, 0, 7380, 5010, "", true, Look::Plain},
    {"lw1",      Kind::ListView, &member<&Form2::browser, &BrowserPanel::records_>,     0, 5010, 7380, 2610, "", true, Look::Plain},
    // Settings panel.
    {"Text44",   Kind::CaptionBox, &member<&Form2::settings, &SettingsPanel::windowsVersion_>, 7830, 1935, 2940, 375, "Text4", true, Look::Body, Panel::Settings},
    {"Text5",    Kind::CaptionBox, &member<&Form2::settings, &SettingsPanel::addressCaption_>,  7770, 2925, 2040, 420, "IP Address", true, Look::Caption, Panel::Settings},
    {"Text10",   Kind::TextBox,    &member<&Form2::settings, &SettingsPanel::address_>, 8985, 2895, 2325, 390, "", true, Look::Input, Panel::Settings},
    {"Text21",   Kind::CaptionBox, &member<&Form2::settings, &SettingsPanel::loginCaption_>, 7770, 3660, 1410, 300, "Login", true, Look::Caption, Panel::Settings},
    {"Text11",   Kind::TextBox,    &member<&Form2::settings, &SettingsPanel::login_>, 8985, 3630, 2325, 390, "", true, Look::Input, Panel::Settings},
    {"Text22",   Kind::CaptionBox, &member<&Form2::settings, &SettingsPanel::passwordCaption_>, 7770, 4440, 1665, 390, "Password", true, Look::Caption, Panel::Settings},
    {"Text12",   Kind::TextBox,    &member<&Form2::settings, &SettingsPanel::password_>, 8985, 4395, 2325, 390, "", true, Look::Input, Panel::Settings},
    {"chkKeyring", Kind::CheckBox, &member<&Form2::settings, &SettingsPanel::keyringChoice_>, 7680, 4860, 4140, 255, "Keep the password in the desktop keyring", true, Look::Body, Panel::Settings},
    // Details panel.
    {"Text1",    Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::name_>,  8700, 1290, 3060, 450, "", true, Look::Heading, Panel::Details},
    {"Text2",    Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::date_>,  7920, 2040, 3885, 360, "", true, Look::Caption, Panel::Details},
    {"Text9",    Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::size_>,  7920, 2430, 3885, 360, "", true, Look::Caption, Panel::Details},
    {"Text13",   Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::path_>, 7920, 2820, 3885, 360, "", true, Look::Caption, Panel::Details},
    {"Text17",   Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::records_>, 7920, 3210, 3885, 360, "", true, Look::Caption, Panel::Details},
    {"Command3", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::newDocumentButton_>, 8115, 3840, 3165, 375, "Command", true, Look::Plain, Panel::Details},
    {"Command4", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::completeMergeButton_>, 8115, 4320, 3165, 375, "Command", true, Look::Plain},
    {"Command7", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::spreadsheetButton_>, 8115, 4785, 3165, 375, "Command", true, Look::Plain, Panel::Details},
    {"Command11", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::htmlButton_>, 8115, 5265, 3165, 375, "Command", true, Look::Plain, Panel::Details},
    {"Command10", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::deleteButton_>, 8115, 6105, 3165, 375, "Command", true, Look::Plain, Panel::Details},
    // Progress group.
    {"Text6",    Kind::CaptionBox, &member<&Form2::progress, &ProgressPanel::summary_>,  7875, 5130, 3585, 540, "", true, Look::Info},
    {"ProgressBar1", Kind::ProgressBar, &member<&Form2::progress, &ProgressPanel::bar_>, 8220, 5775, 3090, 255, "", true, Look::Plain, Panel::ProgressGroup},
    {"Text7",    Kind::CaptionBox, &member<&Form2::progress, &ProgressPanel::stepText_>,  7620, 6075, 4170, 285, "", true, Look::Info, Panel::ProgressGroup},
    {"Text8",    Kind::CaptionBox, &member<&Form2::progress, &ProgressPanel::statusText_>,  7635, 6315, 4200, 360, "", true, Look::Info, Panel::ProgressGroup},
    // Command row and the rest of the right area.
    {"Text15",   Kind::CaptionBox, &member<&Form2::frame, &WindowFrame::commandStatus_>, 7455, 5265, 4575, 975, "", true, Look::Info},
    {"Text18",   Kind::CaptionBox, &member<&Form2::frame, &WindowFrame::supportAddress_>, 8145, 6750, 3300, 240,
        "support@quorvane.example", true, Look::Body},
    {"Text16",   Kind::CaptionBox, &member<&Form2::settings, &SettingsPanel::searchHintArea_>, 10125, 6945, 1515, 615, "", true, Look::Plain, Panel::Settings},
    {"Command9", Kind::FlatButton, &member<&Form2::frame, &WindowFrame::quitButton_>, 8175, 7050, 1065, 420, "Quit", true, Look::Plain},
    {"Command8", Kind::FlatButton, &member<&Form2::browser, &BrowserPanel::viewButton_>, 9285, 7035, 1065, 420, "ListView", true, Look::Plain},
    {"Command1", Kind::FlatButton, &member<&Form2::settings, &SettingsPanel::searchButton_>, 10380, 7050, 1080, 420, "Command", true, Look::Plain, Panel::Settings},
    {"Command2", Kind::FlatButton, &member<&Form2::details, &DetailsPanel::backButton_>, 10380, 7035, 1065, 420, "Command", true, Look::Plain, Panel::Details},
    // Auxiliary controls below the designed client area.
    {"lstremotefiles", Kind::ListBox, &member<&Form2::progress, &ProgressPanel::listedFiles_>, 3015, 8205, 1215, 450, "", true, Look::Plain},
    {"List1",    Kind::ListBox,    &member<&Form2::progress, &ProgressPanel::downloads_>,  4350, 8355, 1830, 450, "", true, Look::Plain},
    {"Text3",    Kind::CaptionBox, &member<&Form2::details, &DetailsPanel::storedName_>,  300, 8340, 2340, 390, "", true, Look::Plain},
    {"Command5", Kind::Button,     &member<&Form2::browser, &BrowserPanel::loadButton_>, 8130, 7380, 1215, 495, "Command5", false, Look::Plain},
    {"Image2",   Kind::Picture,    &member<&Form2::frame, &WindowFrame::exitPicture_>, 9690, 8325, 1125, 1020, "", true, Look::Plain},
    {"Image3",   Kind::Picture,    &member<&Form2::frame, &WindowFrame::aboutPicture_>, 8505, 8295, 1125, 1020, "", true, Look::Plain},
    {"Image4",   Kind::Picture,    &member<&Form2::frame, &WindowFrame::settingsPicture_>, 7230, 8295, 1125, 1020, "", true, Look::Plain},
};
    // clang-format on
    return kInventory;
}

std::span<const PictureDesign> Form2Design::pictures() {
    static const PictureDesign kPictures[] = {
        {&member<&Form2::introduction, &IntroductionPanel::background_>, "intro-background.png",
         nullptr},
        {&member<&Form2::introduction, &IntroductionPanel::picture_>, "intro-merge.png", nullptr},
        {&member<&Form2::settings, &SettingsPanel::picture_>, "settings.png", nullptr},
        {&member<&Form2::details, &DetailsPanel::picture_>, "mergefile.png", nullptr},
        {&member<&Form2::details, &DetailsPanel::templatePicture_>, "mergefile-template.png",
         nullptr},
        {&member<&Form2::frame, &WindowFrame::cornerPicture_>, "corner.png", nullptr},
        {&member<&Form2::frame, &WindowFrame::exitPicture_>, "exit.png", "Exit Quorvane"},
        {&member<&Form2::frame, &WindowFrame::aboutPicture_>, "about.png", "About Quorvane"},
        {&member<&Form2::frame, &WindowFrame::settingsPicture_>, "settings-large.png",
         "Quorvane Settings"},
    };
    return kPictures;
}

namespace {

QPixmap asset(const QString& file) {
    return QPixmap(QStringLiteral(":/assets/") + file);
}

QFont lookFont(Look look, const QFont& base) {
    QFont f = base;
    switch (look) {
    case Look::Title:
    case Look::TitleShadow:
        f.setPointSize(40);
        f.setBold(true);
        break;
    case Look::Logo:
    case Look::LogoShadow:
        f.setPointSize(24);
        f.setBold(true);
        f.setItalic(true);
        break;
    case Look::Heading:
        f.setPointSize(12);
        f.setBold(true);
        break;
    case Look::Caption:
        f.setBold(true);
        break;
    case Look::Input:
        f.setPointSize(10);
        break;
    default:
        break;
    }
    return f;
}

QColor lookColour(Look look) {
    switch (look) {
    case Look::TitleShadow:
    case Look::LogoShadow:
        return QColor(20, 50, 120);
    case Look::Input:
        return QColor(0, 0, 255);
    case Look::Info:
        return QColor(0, 0, 0);
    default:
        return QColor(255, 255, 255);
    }
}

// The password field shows every character as "*".
class StarPasswordStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

template <class T> T* place(Form2* form, Member<T> slot, const ControlDesign& design) {
    T* widget = new T(form);
    slot(*form) = widget;
    widget->setObjectName(QString::fromLatin1(design.name));
    if (design.kind != Kind::Line)
        widget->setGeometry(
            qv::twipsToPixels(design.left, design.top, design.width, design.height));
    return widget;
}

// Places one control of the table and gives it its design caption.
QWidget* placeControl(Form2* form, const ControlDesign& design) {
    const QString caption = QString::fromUtf8(design.caption);
    return std::visit(
        [&](auto slot) -> QWidget* {
            using T = std::remove_pointer_t<std::remove_reference_t<decltype(slot(*form))>>;
            T* w = place<T>(form, slot, design);
            if constexpr (std::is_same_v<T, QLabel>) {
                w->setText(caption);
                w->setWordWrap(true);
                w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            } else if constexpr (std::is_same_v<T, QLineEdit>) {
                w->setText(caption);
                w->setCursorPosition(0);
                if (design.kind == Kind::CaptionBox) {
                    w->setReadOnly(true);
                    w->setFocusPolicy(Qt::NoFocus);
                    w->setFrame(false);
                }
            } else if constexpr (std::is_same_v<T, Command>) {
                w->setCaption(caption);
            } else if constexpr (std::is_same_v<T, QPushButton> || std::is_same_v<T, QCheckBox>) {
                w->setText(caption);
            } else if constexpr (std::is_same_v<T, LineShape>) {
                w->setEnds({design.left, design.top}, {design.width, design.height});
            }
            return w;
        },
        design.slot);
}

// Font and colours of a control's look.
void applyLook(QWidget* widget, const ControlDesign& design, const QFont& base) {
    widget->setFont(lookFont(design.look, base));
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, lookColour(design.look));
    // The lists draw their entries on a light background, in the system's dark text.
    pal.setColor(QPalette::Text,
                 design.kind == Kind::ListView ? QColor(Qt::black) : lookColour(design.look));
    if (design.kind == Kind::CaptionBox && design.look != Look::Info)
        pal.setColor(QPalette::Base, kBackground);
    widget->setPalette(pal);
}

} // namespace

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

Form2::Form2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form2"));
    setMouseTracking(true);
    const QSize client = qv::twipsToPixels(QSize(kClientWidthTwips, kClientHeightTwips));
    resize(client);
    createControls();
    styleControls();
    createPictures();
    createLists();
    createTimers();
    if (const QStringList unmatched = connectDispatch(*this); !unmatched.isEmpty())
        qFatal("Form2: events without a control to come from: %s",
               qPrintable(unmatched.join(QStringLiteral(", "))));
    runLoadStep();
}

Form2::~Form2() = default;

void Form2::createControls() {
    for (const ControlDesign& design : Form2Design::controls()) {
        QWidget* widget = placeControl(this, design);
        applyLook(widget, design, font());
        if (!design.visible)
            widget->hide();
        if (design.panel != Panel::None)
            panels_[static_cast<int>(design.panel)].append(widget);
    }

    // The search's clip, over the frame of the progress group and under its summary text.
    progress.clip_ = new qv::AnimationPlayer(this);
    progress.clip_->setObjectName(QStringLiteral("Animation1"));
    progress.clip_->setGeometry(qv::twipsToPixels(7575, 4950, 4230, 735));
    progress.clip_->stackUnder(progress.summary_);
    panels_[static_cast<int>(Panel::ProgressGroup)].append(progress.clip_);
}

// What the table's looks do not say: the window's background, alignments, line and frame
// colours, the smaller notes, the password field and the keyboard order.
void Form2::styleControls() {
    frame.background_->setAutoFillBackground(true);
    QPalette bg = frame.background_->palette();
    bg.setColor(QPalette::Window, kBackground);
    frame.background_->setPalette(bg);
    frame.background_->setMouseTracking(true);
    QPalette own = palette();
    own.setColor(QPalette::Window, kBackground);
    setPalette(own);
    setAutoFillBackground(true);

    for (QLabel* label : {introduction.title_, frame.titleShadow_, frame.logo_, frame.logoShadow_})
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    progress.summary_->setAlignment(Qt::AlignCenter);

    for (LineShape* line : {details.lowerRule_, details.upperRule_, frame.headingRule_,
                            frame.titleRuleTop_, frame.titleRuleMiddle_, frame.titleRuleBottom_})
        line->setColour(Qt::white);
    progress.box_->setFillColour(QColor(232, 238, 250));
    progress.box_->setBorderColour(QColor(20, 50, 120));
    for (RectShape* shape : {frame.rightBorderInner_, frame.rightBorderOuter_})
        shape->setBorderColour(Qt::white);

    for (QWidget* note : std::initializer_list<QWidget*>{
             settings.windowsVersion_, frame.supportAddress_, settings.keyringChoice_}) {
        QFont f = note->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        note->setFont(f);
    }

    settings.password_->setEchoMode(QLineEdit::Password);
    // A proxy built on the style's key owns its own base style (built on the widget's style it
    // would take over the application's); the field owns the proxy, as setStyle does not.
    auto* starStyle = new StarPasswordStyle(settings.password_->style()->name());
    starStyle->setParent(settings.password_);
    settings.password_->setStyle(starStyle);
    settings.address_->setAccessibleName(QStringLiteral("IP Address"));
    settings.login_->setAccessibleName(QStringLiteral("Login"));
    settings.password_->setAccessibleName(QStringLiteral("Password"));
    settings.searchHintArea_->setFocusPolicy(Qt::NoFocus);
    settings.searchHintArea_->setFrame(true);

    setTabOrder(settings.address_, settings.login_);
    setTabOrder(settings.login_, settings.password_);
    setTabOrder(settings.password_, settings.keyringChoice_);
    setTabOrder(settings.keyringChoice_, settings.searchButton_);
    // The progress group's frame covers the choice while a search runs.
    settings.keyringChoice_->stackUnder(progress.box_);
}

void Form2::createPictures() {
    for (const PictureDesign& p : Form2Design::pictures()) {
        PictureBox* picture = p.slot(*this);
        picture->setPicture(asset(QString::fromLatin1(p.file)));
        if (p.toolTip)
            picture->setToolTip(QString::fromLatin1(p.toolTip));
    }
}

// The browser's columns and pictures, the record list's pictures and view.
void Form2::createLists() {
    browser.largeIcons_ = new ImageList(QSize(50, 50), this);
    browser.smallIcons_ = new ImageList(QSize(16, 16), this);
    for (const char* file :
         {"icon-blank.png", "icon-word.png", "icon-record.png", "icon-empty.png"}) {
        browser.largeIcons_->Add(asset(QStringLiteral("large/") + QLatin1String(file)));
        browser.smallIcons_->Add(asset(QStringLiteral("small/") + QLatin1String(file)));
    }

    browser.files_->addColumn(QStringLiteral("File Name"), 2400);
    browser.files_->addColumn(QStringLiteral("Date Transfered"), 2400);
    browser.files_->addColumn(QStringLiteral("Records"), 0);
    browser.files_->addColumn(QStringLiteral("No of records"), 1500);
    browser.files_->setIcons(browser.largeIcons_);
    browser.files_->setSmallIcons(browser.largeIcons_);
    browser.files_->setBackgroundPicture(asset(QStringLiteral("browser-background.png")));
    browser.records_->setIcons(browser.smallIcons_);
    browser.records_->setSmallIcons(browser.smallIcons_);
    browser.records_->setView(ListView::Report);
}

// The controls without a place on screen: the transfer control and the guidance timers.
void Form2::createTimers() {
    transfer = new qv::TransferControl(this);
    transfer->setObjectName(QStringLiteral("Inet1"));
    const char* const names[] = {"Timer1", "Timer2", "Timer3", "Timer4"};
    QTimer** timers[] = {&guidance.startTimer_, &guidance.selectTimer_, &guidance.settingsTimer_,
                         &guidance.noFilesTimer_};
    for (int i = 0; i < 4; ++i) {
        *timers[i] = new QTimer(this);
        (*timers[i])->setObjectName(QString::fromLatin1(names[i]));
        (*timers[i])->setSingleShot(true);
        (*timers[i])->setInterval(0);
    }
}

// ---------------------------------------------------------------------------------------------

void Form2::initialiseFlatButtons(QWidget* form) {
    if (!form)
        return;
    for (Command* button : form->findChildren<Command*>(Qt::FindDirectChildrenOnly))
        button->Initialize();
}

void Form2::quitProgram() {
    close();
}

void Form2::exitProgram() {
    close();
}

void Form2::onActivated() {
    browser.files_->raise();
    browser.files_->setArrange(2);
    if (settings.address_->text().isEmpty())
        settings.address_->setFocus(Qt::ActiveWindowFocusReason);
}

void Form2::showPictureBorder(PictureBox* picture) {
    frame.showPictureBorder(picture);
}

bool Form2::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        keepBalloonsUsable();
    return handled;
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
}
