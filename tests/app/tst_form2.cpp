#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/osversion.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/versionquery.h"
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
        QCOMPARE(form.settings.address->text(), QString());
        QCOMPARE(form.settings.login->text(), QString());
        QCOMPARE(form.settings.password->text(), QString());
        const QFileInfo ini(folder.filePath(QStringLiteral("auto.ini")));
        QVERIFY(ini.exists());
        QCOMPARE(ini.size(), 0);
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("data"))).isDir());
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("Word"))).isDir());
        QCOMPARE(QApplication::focusWidget(), form.settings.address);
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
        QCOMPARE(form.settings.address->text(), QStringLiteral("10.0.0.7"));
        QCOMPARE(form.settings.login->text(), QStringLiteral("root"));
        QCOMPARE(form.settings.password->text(), QStringLiteral("secret"));
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
        QCOMPARE(form.introduction.title->text(), QStringLiteral("Quorvane"));
        QCOMPARE(form.introduction.version->text(), QStringLiteral("Version 2.0.1"));
        QCOMPARE(form.frame.cornerVersion->text(), QStringLiteral("2.0.1"));
        QVERIFY(form.introduction.about->text().startsWith(
            QStringLiteral("Quorvane Version 2.0.1 the exciting new Mailmerge Companion program "
                           "for Microsoft Word and Microsoft Excel. Runs on Windows XP")));
        QCOMPARE(form.settings.windowsVersion->text(), QStringLiteral("Windows XP"));
        QCOMPARE(form.settings.addressCaption->text(), QStringLiteral("IP Address"));
        QCOMPARE(form.settings.loginCaption->text(), QStringLiteral("Login"));
        QCOMPARE(form.settings.passwordCaption->text(), QStringLiteral("Password"));
        QCOMPARE(form.settings.heading->text(), QStringLiteral("Quorvane Settings"));
        QCOMPARE(form.settings.searchButton->Caption(), QStringLiteral("Search"));
        QCOMPARE(form.details.backButton->Caption(), QStringLiteral("Back"));
        QCOMPARE(form.browser.viewButton->Caption(), QStringLiteral("ListView"));
        QCOMPARE(form.frame.quitButton->Caption(), QStringLiteral("Quit"));
        QCOMPARE(form.details.newDocumentButton->Caption(),
                 QStringLiteral("Create a New Document"));
        QCOMPARE(form.details.newDocumentButton->toolTip(),
                 QStringLiteral("Create New Word Document"));
        QCOMPARE(form.details.completeMergeButton->toolTip(),
                 QStringLiteral("Create New Word Document"));
        QCOMPARE(form.details.spreadsheetButton->toolTip(),
                 QStringLiteral("Export to MicroSoft Excel"));
        QCOMPARE(form.details.htmlButton->Caption(), QStringLiteral("Export to HTML Document"));
        QCOMPARE(form.frame.exitPicture->toolTip(), QStringLiteral("Exit Quorvane"));
        QCOMPARE(form.frame.aboutPicture->toolTip(), QStringLiteral("About Quorvane"));
        QCOMPARE(form.frame.settingsPicture->toolTip(), QStringLiteral("Quorvane Settings"));
    }

    void geometryFollowsTheDesign() {
        TempProgramFolder folder;
        Form2 form;
        QCOMPARE(form.size(), QSize(805, 512));
        QCOMPARE(form.frame.background->palette().color(QPalette::Window), QColor(88, 146, 231));
        QCOMPARE(form.settings.address->geometry(), twipsRect(8985, 2895, 2325, 390));
        QCOMPARE(form.settings.searchButton->geometry(), twipsRect(10380, 7050, 1080, 420));
        QCOMPARE(form.details.newDocumentButton->geometry(), twipsRect(8115, 3840, 3165, 375));
        QCOMPARE(form.browser.records->geometry(), twipsRect(0, 5010, 7380, 2610));
        QCOMPARE(form.browser.files->height(), qv::twipsToPixels(7650));
        QCOMPARE(form.progress.bar->geometry(), twipsRect(8220, 5775, 3090, 255));
        QCOMPARE(form.settings.address->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(form.settings.password->echoMode(), QLineEdit::Password);
    }

    void listEntriesAreReadableOnTheirBackground() {
        // The window's captions are white on blue; the lists' entries sit on a light background.
        TempProgramFolder folder;
        Form2 form;
        for (ListView* list : {form.browser.files, form.browser.records}) {
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
        const QList<QWidget*> shown = {form.introduction.background, form.introduction.title,
                                       form.introduction.version,    form.introduction.about,
                                       form.introduction.picture,    form.introduction.credit,
                                       form.settings.heading,        form.settings.picture,
                                       form.settings.windowsVersion, form.settings.addressCaption,
                                       form.settings.address,        form.settings.loginCaption,
                                       form.settings.login,          form.settings.passwordCaption,
                                       form.settings.password,       form.settings.searchHintArea,
                                       form.frame.headingRule,       form.settings.searchButton,
                                       form.browser.viewButton,      form.frame.quitButton};
        for (QWidget* w : shown)
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        const QList<QWidget*> hidden = {form.browser.files,
                                        form.browser.records,
                                        form.details.name,
                                        form.details.lowerRule,
                                        form.details.upperRule,
                                        form.progress.summary,
                                        form.details.date,
                                        form.details.size,
                                        form.details.path,
                                        form.details.records,
                                        form.frame.commandStatus,
                                        form.details.picture,
                                        form.details.templatePicture,
                                        form.details.backButton,
                                        form.details.newDocumentButton,
                                        form.details.completeMergeButton,
                                        form.details.deleteButton,
                                        form.details.spreadsheetButton,
                                        form.details.htmlButton,
                                        form.progress.stepText,
                                        form.progress.statusText,
                                        form.progress.box,
                                        form.progress.bar};
        for (QWidget* w : hidden)
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(form.settings.address->accessibleName() == QStringLiteral("IP Address"));
        QVERIFY(form.settings.login->accessibleName() == QStringLiteral("Login"));
        QVERIFY(form.settings.password->accessibleName() == QStringLiteral("Password"));
        for (Command* c : form.findChildren<Command*>())
            QVERIFY2(c->PointerCheckRunning(), qPrintable(c->objectName()));
    }

    void backReturnsToTheSettingsPanel() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.browser.files->addItem(QStringLiteral("A"), 1, 1);
        // What a selection leaves on the screen.
        form.settings.address->setText(QStringLiteral("192.168.1.9"));
        form.progress.summary->setText(QStringLiteral("Search Complete 1 files found"));
        form.browser.files->show();
        form.browser.files->resize(form.browser.files->width(), qv::twipsToPixels(5000));
        form.browser.records->show();
        const QList<QWidget*> settingsPanel = {
            form.progress.summary,         form.settings.address,
            form.settings.windowsVersion,  form.settings.login,
            form.settings.password,        form.settings.loginCaption,
            form.settings.passwordCaption, form.settings.addressCaption,
            form.settings.searchHintArea,  form.settings.searchButton,
            form.settings.heading,         form.settings.picture};
        for (QWidget* w : settingsPanel)
            w->hide();
        const QList<QWidget*> detailsPanel = {
            form.details.backButton, form.details.newDocumentButton, form.details.deleteButton,
            form.details.name,       form.details.lowerRule,         form.details.templatePicture};
        for (QWidget* w : detailsPanel)
            w->show();

        QTest::mouseMove(form.details.backButton);
        QTest::mouseClick(form.details.backButton, Qt::LeftButton);

        QVERIFY(!form.browser.records->isVisible());
        QVERIFY(form.browser.files->isVisible());
        QCOMPARE(form.browser.files->itemCount(), 1);
        QCOMPARE(form.browser.files->height(), qv::twipsToPixels(7650));
        QVERIFY(form.settings.searchButton->isVisible());
        QVERIFY(!form.details.backButton->isVisible());
        QVERIFY(!form.details.newDocumentButton->isVisible());
        QVERIFY(!form.details.deleteButton->isVisible());
        QVERIFY(form.progress.summary->isVisible());
        QCOMPARE(form.progress.summary->text(), QStringLiteral("Search Complete 1 files found"));
        QCOMPARE(form.settings.address->text(), QStringLiteral("192.168.1.9"));
        QVERIFY(form.settings.heading->isVisible() && form.settings.picture->isVisible() &&
                form.frame.headingRule->isVisible());
        QVERIFY(!form.details.name->isVisible() && !form.details.lowerRule->isVisible() &&
                !form.details.templatePicture->isVisible());
    }

    void pictureBordersFollowThePointer() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The pictures lie below the designed client area and scale with the window, so no size
        // shows them: lift them into view.
        for (PictureBox* p :
             {form.frame.exitPicture, form.frame.aboutPicture, form.frame.settingsPicture}) {
            p->move(p->x(), p->y() - qv::twipsToPixels(1500));
            p->raise();
        }
        QTest::mouseMove(form.frame.exitPicture, QPoint(10, 10));
        QCOMPARE(form.frame.exitPicture->BorderStyle(), 1);
        QCOMPARE(form.frame.aboutPicture->BorderStyle(), 0);
        QTest::mouseMove(form.frame.aboutPicture, QPoint(10, 10));
        QCOMPARE(form.frame.exitPicture->BorderStyle(), 0);
        QCOMPARE(form.frame.aboutPicture->BorderStyle(), 1);
        QTest::mouseMove(form.frame.settingsPicture, QPoint(10, 10));
        QCOMPARE(form.frame.settingsPicture->BorderStyle(), 1);
        QCOMPARE(form.frame.aboutPicture->BorderStyle(), 0);
        QTest::mouseMove(form.frame.exitPicture, QPoint(10, 10));
        QTest::mouseMove(form.frame.background, qv::twipsToPixels(QPoint(7550, 500)));
        for (PictureBox* p :
             {form.frame.exitPicture, form.frame.aboutPicture, form.frame.settingsPicture})
            QCOMPARE(p->BorderStyle(), 0);
    }

    void quitAndExitCloseTheWindow() {
        TempProgramFolder folder;
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseMove(form.frame.quitButton);
        QTest::mouseClick(form.frame.quitButton, Qt::LeftButton);
        QVERIFY(!form.isVisible());

        Form2 other;
        other.resize(other.width(), qv::twipsToPixels(9500));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::mouseClick(other.frame.exitPicture, Qt::LeftButton);
        QVERIFY(!other.isVisible());
    }

    void initialiseButtonsReachesEveryFlatButton() {
        TempProgramFolder folder;
        Form2 form;
        QWidget plain;
        auto* a = new Command(&plain);
        auto* b = new Command(&plain);
        form.initialiseFlatButtons(&plain);
        QVERIFY(a->PointerCheckRunning());
        QVERIFY(b->PointerCheckRunning());
        QCOMPARE(int(a->FaceState()), 1);
    }

    void unreadableSettingsLeaveTheFieldsEmpty() {
        TempProgramFolder folder;
        QDir().mkpath(folder.filePath(QStringLiteral("auto.ini"))); // a folder where the file goes
        Form2 form;
        QCOMPARE(form.settings.address->text(), QString());
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
