#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/osversion.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/versionquery.h"
#include "tests/support/designcontrol.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTest>
#include <QTreeView>
#include <optional>

using qv::test::designControl;
using qv::test::TempProgramFolder;

namespace {
QRect twipsRect(int l, int t, int w, int h) {
    return qv::twipsToPixels(l, t, w, h);
}
} // namespace

class Form2Test : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;

private slots:
    void init() {
        services.emplace([](qv::Services& s) {
            s.versionQuery = qv::test::fixedVersion(qv::kPlatformNT, 5, 1);
        });
    }
    void cleanup() { services.reset(); }

    void firstStartCreatesSettingsAndFolders() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(designControl<QLineEdit>(form, "Text10")->text(), QString());
        QCOMPARE(designControl<QLineEdit>(form, "Text11")->text(), QString());
        QCOMPARE(designControl<QLineEdit>(form, "Text12")->text(), QString());
        const QFileInfo ini(folder.filePath(QStringLiteral("auto.ini")));
        QVERIFY(ini.exists());
        QCOMPARE(ini.size(), 0);
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("data"))).isDir());
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("Word"))).isDir());
        QCOMPARE(QApplication::focusWidget(), designControl<QLineEdit>(form, "Text10"));
    }

    void secondStartKeepsSettingsAndFolders() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("auto.ini"),
                     "[Default]\r\nPassword=secret\r\nLogin=root\r\nIpaddress=10.0.0.7\r\n");
        folder.write(QStringLiteral("data/A.LET"), "x|y\n1|2\n");
        folder.write(QStringLiteral("Word/A.LET.dot"), "template");
        { Form2 first; }
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(designControl<QLineEdit>(form, "Text10")->text(), QStringLiteral("10.0.0.7"));
        QCOMPARE(designControl<QLineEdit>(form, "Text11")->text(), QStringLiteral("root"));
        QCOMPARE(designControl<QLineEdit>(form, "Text12")->text(), QStringLiteral("secret"));
        QCOMPARE(folder.read(QStringLiteral("data/A.LET")), QByteArray("x|y\n1|2\n"));
        QCOMPARE(folder.read(QStringLiteral("Word/A.LET.dot")), QByteArray("template"));
        QCOMPARE(
            folder.read(QStringLiteral("auto.ini")),
            QByteArray("[Default]\r\nPassword=secret\r\nLogin=root\r\nIpaddress=10.0.0.7\r\n"));
    }

    void titleAndIntroduction() {
        TempProgramFolder folder;
        Form2 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Quorvane Version 2.0.1"));
        QCOMPARE(designControl<QLabel>(form, "Label2")->text(), QStringLiteral("Quorvane"));
        QCOMPARE(designControl<QLabel>(form, "Label4")->text(), QStringLiteral("Version 2.0.1"));
        QCOMPARE(designControl<QLabel>(form, "Label8")->text(), QStringLiteral("2.0.1"));
        QVERIFY(designControl<QLabel>(form, "Label6")
                    ->text()
                    .startsWith(QStringLiteral(
                        "Quorvane Version 2.0.1 the exciting new Mailmerge Companion program "
                        "for Microsoft Word and Microsoft Excel. Runs on Windows XP")));
        QCOMPARE(designControl<QLineEdit>(form, "Text44")->text(), QStringLiteral("Windows XP"));
        QCOMPARE(designControl<QLineEdit>(form, "Text5")->text(), QStringLiteral("IP Address"));
        QCOMPARE(designControl<QLineEdit>(form, "Text21")->text(), QStringLiteral("Login"));
        QCOMPARE(designControl<QLineEdit>(form, "Text22")->text(), QStringLiteral("Password"));
        QCOMPARE(designControl<QLabel>(form, "Label3")->text(),
                 QStringLiteral("Quorvane Settings"));
        QCOMPARE(designControl<Command>(form, "Command1")->Caption(), QStringLiteral("Search"));
        QCOMPARE(designControl<Command>(form, "Command2")->Caption(), QStringLiteral("Back"));
        QCOMPARE(designControl<Command>(form, "Command8")->Caption(), QStringLiteral("ListView"));
        QCOMPARE(designControl<Command>(form, "Command9")->Caption(), QStringLiteral("Quit"));
        QCOMPARE(designControl<Command>(form, "Command3")->Caption(),
                 QStringLiteral("Create a New Document"));
        QCOMPARE(designControl<Command>(form, "Command3")->toolTip(),
                 QStringLiteral("Create New Word Document"));
        QCOMPARE(designControl<Command>(form, "Command4")->toolTip(),
                 QStringLiteral("Create New Word Document"));
        QCOMPARE(designControl<Command>(form, "Command7")->toolTip(),
                 QStringLiteral("Export to MicroSoft Excel"));
        QCOMPARE(designControl<Command>(form, "Command11")->Caption(),
                 QStringLiteral("Export to HTML Document"));
        QCOMPARE(designControl<PictureBox>(form, "Image2")->toolTip(),
                 QStringLiteral("Exit Quorvane"));
        QCOMPARE(designControl<PictureBox>(form, "Image3")->toolTip(),
                 QStringLiteral("About Quorvane"));
        QCOMPARE(designControl<PictureBox>(form, "Image4")->toolTip(),
                 QStringLiteral("Quorvane Settings"));
    }

    void geometryFollowsTheDesign() {
        TempProgramFolder folder;
        Form2 form;
        QCOMPARE(form.size(), QSize(805, 512));
        QCOMPARE(designControl<QLabel>(form, "Label1")->palette().color(QPalette::Window),
                 QColor(88, 146, 231));
        QCOMPARE(designControl<QLineEdit>(form, "Text10")->geometry(),
                 twipsRect(8985, 2895, 2325, 390));
        QCOMPARE(designControl<Command>(form, "Command1")->geometry(),
                 twipsRect(10380, 7050, 1080, 420));
        QCOMPARE(designControl<Command>(form, "Command3")->geometry(),
                 twipsRect(8115, 3840, 3165, 375));
        QCOMPARE(designControl<ListView>(form, "lw1")->geometry(), twipsRect(0, 5010, 7380, 2610));
        QCOMPARE(designControl<ListView>(form, "ListView1")->height(), qv::twipsToPixels(7650));
        QCOMPARE(designControl<QProgressBar>(form, "ProgressBar1")->geometry(),
                 twipsRect(8220, 5775, 3090, 255));
        QCOMPARE(designControl<QLineEdit>(form, "Text10")->palette().color(QPalette::Text),
                 QColor(0, 0, 255));
        QCOMPARE(designControl<QLineEdit>(form, "Text12")->echoMode(), QLineEdit::Password);
    }

    void listEntriesAreReadableOnTheirBackground() {
        // The window's captions are white on blue; the lists' entries sit on a light background.
        TempProgramFolder folder;
        Form2 form;
        for (ListView* list :
             {designControl<ListView>(form, "ListView1"), designControl<ListView>(form, "lw1")}) {
            for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(list->iconView()),
                                            static_cast<QAbstractItemView*>(list->reportView())}) {
                QCOMPARE(view->palette().color(QPalette::Text), QColor(Qt::black));
            }
        }
    }

    void loadStepLeavesTheIntroductionAndSettingsPanel() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QList<QWidget*> shown = {
            designControl<PictureBox>(form, "Image6"), designControl<QLabel>(form, "Label2"),
            designControl<QLabel>(form, "Label4"),     designControl<QLabel>(form, "Label6"),
            designControl<PictureBox>(form, "Image7"), designControl<QLabel>(form, "Label5"),
            designControl<QLabel>(form, "Label3"),     designControl<PictureBox>(form, "Image9"),
            designControl<QLineEdit>(form, "Text44"),  designControl<QLineEdit>(form, "Text5"),
            designControl<QLineEdit>(form, "Text10"),  designControl<QLineEdit>(form, "Text21"),
            designControl<QLineEdit>(form, "Text11"),  designControl<QLineEdit>(form, "Text22"),
            designControl<QLineEdit>(form, "Text12"),  designControl<QLineEdit>(form, "Text16"),
            designControl<LineShape>(form, "Line4"),   designControl<Command>(form, "Command1"),
            designControl<Command>(form, "Command8"),  designControl<Command>(form, "Command9")};
        for (QWidget* w : shown)
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        const QList<QWidget*> hidden = {designControl<ListView>(form, "ListView1"),
                                        designControl<ListView>(form, "lw1"),
                                        designControl<QLineEdit>(form, "Text1"),
                                        designControl<LineShape>(form, "Line1"),
                                        designControl<LineShape>(form, "Line2"),
                                        designControl<QLineEdit>(form, "Text6"),
                                        designControl<QLineEdit>(form, "Text2"),
                                        designControl<QLineEdit>(form, "Text9"),
                                        designControl<QLineEdit>(form, "Text13"),
                                        designControl<QLineEdit>(form, "Text17"),
                                        designControl<QLineEdit>(form, "Text15"),
                                        designControl<PictureBox>(form, "Image1"),
                                        designControl<PictureBox>(form, "Image5"),
                                        designControl<Command>(form, "Command2"),
                                        designControl<Command>(form, "Command3"),
                                        designControl<Command>(form, "Command4"),
                                        designControl<Command>(form, "Command10"),
                                        designControl<Command>(form, "Command7"),
                                        designControl<Command>(form, "Command11"),
                                        designControl<QLineEdit>(form, "Text7"),
                                        designControl<QLineEdit>(form, "Text8"),
                                        designControl<RectShape>(form, "Shape2"),
                                        designControl<QProgressBar>(form, "ProgressBar1")};
        for (QWidget* w : hidden)
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(designControl<QLineEdit>(form, "Text10")->accessibleName() ==
                QStringLiteral("IP Address"));
        QVERIFY(designControl<QLineEdit>(form, "Text11")->accessibleName() ==
                QStringLiteral("Login"));
        QVERIFY(designControl<QLineEdit>(form, "Text12")->accessibleName() ==
                QStringLiteral("Password"));
        for (Command* c : form.findChildren<Command*>())
            QVERIFY2(c->pointerCheckRunning(), qPrintable(c->objectName()));
    }

    void backReturnsToTheSettingsPanel() {
        TempProgramFolder folder;
        Form2 form;
        ListView* const browserList = designControl<ListView>(form, "ListView1");
        QLineEdit* const addressField = designControl<QLineEdit>(form, "Text10");
        QLineEdit* const summaryText = designControl<QLineEdit>(form, "Text6");
        Command* const backButton = designControl<Command>(form, "Command2");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        browserList->addItem(QStringLiteral("A"), 1, 1);
        // What a selection leaves on the screen.
        addressField->setText(QStringLiteral("192.168.1.9"));
        summaryText->setText(QStringLiteral("Search Complete 1 files found"));
        browserList->show();
        browserList->resize(browserList->width(), qv::twipsToPixels(5000));
        designControl<ListView>(form, "lw1")->show();
        const QList<QWidget*> settingsPanel = {summaryText,
                                               addressField,
                                               designControl<QLineEdit>(form, "Text44"),
                                               designControl<QLineEdit>(form, "Text11"),
                                               designControl<QLineEdit>(form, "Text12"),
                                               designControl<QLineEdit>(form, "Text21"),
                                               designControl<QLineEdit>(form, "Text22"),
                                               designControl<QLineEdit>(form, "Text5"),
                                               designControl<QLineEdit>(form, "Text16"),
                                               designControl<Command>(form, "Command1"),
                                               designControl<QLabel>(form, "Label3"),
                                               designControl<PictureBox>(form, "Image9")};
        for (QWidget* w : settingsPanel)
            w->hide();
        const QList<QWidget*> detailsPanel = {backButton,
                                              designControl<Command>(form, "Command3"),
                                              designControl<Command>(form, "Command10"),
                                              designControl<QLineEdit>(form, "Text1"),
                                              designControl<LineShape>(form, "Line1"),
                                              designControl<PictureBox>(form, "Image5")};
        for (QWidget* w : detailsPanel)
            w->show();

        QTest::mouseMove(backButton);
        QTest::mouseClick(backButton, Qt::LeftButton);

        QVERIFY(!designControl<ListView>(form, "lw1")->isVisible());
        QVERIFY(browserList->isVisible());
        QCOMPARE(browserList->itemCount(), 1);
        QCOMPARE(browserList->height(), qv::twipsToPixels(7650));
        QVERIFY(designControl<Command>(form, "Command1")->isVisible());
        QVERIFY(!backButton->isVisible());
        QVERIFY(!designControl<Command>(form, "Command3")->isVisible());
        QVERIFY(!designControl<Command>(form, "Command10")->isVisible());
        QVERIFY(summaryText->isVisible());
        QCOMPARE(summaryText->text(), QStringLiteral("Search Complete 1 files found"));
        QCOMPARE(addressField->text(), QStringLiteral("192.168.1.9"));
        QVERIFY(designControl<QLabel>(form, "Label3")->isVisible() &&
                designControl<PictureBox>(form, "Image9")->isVisible() &&
                designControl<LineShape>(form, "Line4")->isVisible());
        QVERIFY(!designControl<QLineEdit>(form, "Text1")->isVisible() &&
                !designControl<LineShape>(form, "Line1")->isVisible() &&
                !designControl<PictureBox>(form, "Image5")->isVisible());
    }

    void pictureBordersFollowThePointer() {
        TempProgramFolder folder;
        Form2 form;
        PictureBox* const exitPicture = designControl<PictureBox>(form, "Image2");
        PictureBox* const aboutPicture = designControl<PictureBox>(form, "Image3");
        PictureBox* const settingsPicture = designControl<PictureBox>(form, "Image4");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The pictures lie below the designed client area and scale with the window, so no size
        // shows them: lift them into view, and their layer (the window's frame, at the bottom)
        // over the panels.
        for (PictureBox* p : {exitPicture, aboutPicture, settingsPicture}) {
            p->move(p->x(), p->y() - qv::twipsToPixels(1500));
            p->raise();
            p->parentWidget()->raise();
        }
        QTest::mouseMove(exitPicture, QPoint(10, 10));
        QCOMPARE(exitPicture->BorderStyle(), 1);
        QCOMPARE(aboutPicture->BorderStyle(), 0);
        QTest::mouseMove(aboutPicture, QPoint(10, 10));
        QCOMPARE(exitPicture->BorderStyle(), 0);
        QCOMPARE(aboutPicture->BorderStyle(), 1);
        QTest::mouseMove(settingsPicture, QPoint(10, 10));
        QCOMPARE(settingsPicture->BorderStyle(), 1);
        QCOMPARE(aboutPicture->BorderStyle(), 0);
        QTest::mouseMove(exitPicture, QPoint(10, 10));
        QTest::mouseMove(designControl<QLabel>(form, "Label1"),
                         qv::twipsToPixels(QPoint(7550, 500)));
        for (PictureBox* p : {exitPicture, aboutPicture, settingsPicture})
            QCOMPARE(p->BorderStyle(), 0);
    }

    void quitAndExitCloseTheWindow() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseMove(designControl<Command>(form, "Command9"));
        QTest::mouseClick(designControl<Command>(form, "Command9"), Qt::LeftButton);
        QVERIFY(!form.isVisible());

        Form2 other;
        other.resize(other.width(), qv::twipsToPixels(9500));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::mouseClick(designControl<PictureBox>(other, "Image2"), Qt::LeftButton);
        QVERIFY(!other.isVisible());
    }

    void initialiseButtonsReachesEveryFlatButton() {
        TempProgramFolder folder;
        Form2 form;
        QWidget plain;
        auto* a = new Command(&plain);
        auto* b = new Command(&plain);
        form.initialiseFlatButtons(&plain);
        QVERIFY(a->pointerCheckRunning());
        QVERIFY(b->pointerCheckRunning());
        QCOMPARE(int(a->faceState()), 1);
    }

    void unreadableSettingsLeaveTheFieldsEmpty() {
        TempProgramFolder folder;
        QDir().mkpath(folder.filePath(QStringLiteral("auto.ini"))); // a folder where the file goes
        Form2 form;
        QCOMPARE(designControl<QLineEdit>(form, "Text10")->text(), QString());
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("data"))).isDir());
    }

    void osVersionName_data() {
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("expected");
        const int nt = qv::kPlatformNT;
        const int win = qv::kPlatformWindows;
        const int other = qv::kPlatformOther;
        QTest::newRow("NT 3") << nt << 3 << 51 << ""
                              << "Windows NT 3.x";
        QTest::newRow("3.x") << win << 3 << 10 << ""
                             << "Windows 3.x";
        QTest::newRow("NT 4") << nt << 4 << 0 << ""
                              << "Windows NT 4.0";
        QTest::newRow("95") << win << 4 << 0 << ""
                            << "Windows 95";
        QTest::newRow("98") << win << 4 << 10 << ""
                            << "Windows 98";
        QTest::newRow("ME counts as 98") << win << 4 << 90 << ""
                                         << "Windows 98";
        QTest::newRow("2000") << nt << 5 << 0 << ""
                              << "Windows 2000";
        QTest::newRow("XP") << nt << 5 << 1 << ""
                            << "Windows XP";
        QTest::newRow("5.2 is empty") << nt << 5 << 2 << "Windows Server 2003"
                                      << "";
        QTest::newRow("later Windows by name") << nt << 10 << 0 << "Windows 10 Version 22H2"
                                               << "Windows 10 Version 22H2";
        QTest::newRow("later Windows, no name") << nt << 6 << 1 << ""
                                                << "Unknown";
        QTest::newRow("Linux by name") << other << 6 << 1 << "Debian GNU/Linux 12 (bookworm)"
                                       << "Debian GNU/Linux 12 (bookworm)";
        QTest::newRow("Linux kernel 5.1 is not XP") << other << 5 << 1 << "Debian GNU/Linux 12"
                                                    << "Debian GNU/Linux 12";
        QTest::newRow("nothing known") << other << 0 << 0 << "  "
                                       << "Unknown";
    }

    void osVersionName() {
        QFETCH(int, platform);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, product);
        QFETCH(QString, expected);
        const auto version = qv::test::useVersion(platform, major, minor, product);
        QCOMPARE(OSVersionName(), expected);
    }

    void rendersTheMainWindowAtDesignSize() {
        TempProgramFolder folder;
        const auto version = qv::test::useVersion(qv::kPlatformOther, 6, 1,
                                                  QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage image = form.grab().toImage();
        QCOMPARE(image.size(), QSize(805, 512));
        // The background colour shows between the panels.
        QCOMPARE(image.pixelColor(qv::twipsToPixels(QPoint(7450, 7000))), QColor(88, 146, 231));
        const QString dir = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        const QString path = QDir(dir.isEmpty() ? QDir::currentPath() : dir)
                                 .filePath(QStringLiteral("main-window.png"));
        QVERIFY(image.save(path));
        qInfo("main window rendered to %s", qPrintable(path));
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
