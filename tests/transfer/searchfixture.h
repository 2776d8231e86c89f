#pragma once

#include "app/form2.h"
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
        form->settings.address->setText(server.address());
        form->settings.login->setText(server.user());
        form->settings.password->setText(server.password());
    }

    // The browser rows: text, icon, sub-items 2 and 3.
    QStringList rows() const {
        QStringList out;
        for (int r = 0; r < form->browser.files->itemCount(); ++r)
            out << QStringLiteral("%1|%2|%3|%4")
                       .arg(form->browser.files->itemText(r))
                       .arg(form->browser.files->itemIcon(r))
                       .arg(form->browser.files->subItem(r, 2), form->browser.files->subItem(r, 3));
        return out;
    }

    QStringList dataFiles() const {
        return QDir(folder.filePath(QStringLiteral("data")))
            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};
