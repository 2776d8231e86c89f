#pragma once

#include "app/form2.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"
#include "transfer/transfercontrol.h"
#include "ui/listview.h"

#include <QDir>
#include <QLineEdit>
#include <memory>

// A main window in a temporary program folder, the test FTP server, recorded dialogs, and the
// three connection fields filled in for that server.
struct SearchFixture {
    qv::test::TempProgramFolder folder;
    qv::test::FtpServer server;
    qv::test::RecordingDialogs dialogs;
    std::unique_ptr<Form2> form;

    SearchFixture() {
        form = std::make_unique<Form2>();
        qv::test::designControl<QLineEdit>(*form, "Text10")->setText(server.address());
        qv::test::designControl<QLineEdit>(*form, "Text11")->setText(server.user());
        qv::test::designControl<QLineEdit>(*form, "Text12")->setText(server.password());
    }

    // The browser rows: text, icon, sub-items 2 and 3.
    QStringList rows() const {
        const ListView& browser = *qv::test::designControl<ListView>(*form, "ListView1");
        QStringList out;
        for (int r = 0; r < browser.itemCount(); ++r)
            out << QStringLiteral("%1|%2|%3|%4")
                       .arg(browser.itemText(r))
                       .arg(browser.itemIcon(r))
                       .arg(browser.subItem(r, 2), browser.subItem(r, 3));
        return out;
    }

    QStringList dataFiles() const {
        return QDir(folder.filePath(QStringLiteral("data")))
            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};
