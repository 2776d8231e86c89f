#pragma once

#include "transfer/serversearch.h"
#include "ui/tooltip.h"

#include <QList>
#include <QString>

class Command;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// The connection settings: address, login and password with their captions, the Search button
// and the hints over them.
class SettingsPanel {
public:
    // The three connection fields as typed.
    qv::ConnectionFields credentials() const;
    void setSearchEnabled(bool enabled);

    // The choice "Keep the password in the desktop keyring" and the password field, as the
    // password's place is read at start and switched. Setting them runs no action.
    bool passwordInKeyring() const;
    void setPasswordInKeyring(bool inKeyring);
    void setPassword(const QString& password);
    // True the first time only: a keyring that cannot be used is said once a run.
    bool noteKeyringProblemOnce();

    // The places with a hint: the three connection fields and the frame around Search.
    enum class Hint { Address, Login, Password, Search };
    static constexpr Hint kHints[] = {Hint::Address, Hint::Login, Hint::Password, Hint::Search};
    BalloonTooltip& hintTip(Hint hint);
    bool hintShown(Hint hint) const;
    // Attaches the hint's tip to its place, once: false when it was attached before.
    bool showHintOnce(Hint hint, const QString& title, const QString& text);

    // The three input fields, for the field hints to keep their carets (they follow the fields'
    // focus and text as widgets).
    QList<QLineEdit*> inputFields() const;

    // Where the guidance balloons point: the address field, the Windows version line. A balloon
    // is placed over a control, so these two are handed out as widgets.
    const QWidget* addressAnchor() const;
    const QWidget* versionAnchor() const;

private:
    friend class Form2;
    friend struct Form2Design;
    friend struct Form2Routes;

    struct HintPlace {
        QLineEdit* SettingsPanel::*field;
        BalloonTooltip SettingsPanel::*tip;
        bool SettingsPanel::*shown;
    };
    static HintPlace place(Hint hint);

    QLabel* heading_ = nullptr;
    PictureBox* picture_ = nullptr;
    QLineEdit* windowsVersion_ = nullptr;
    QLineEdit* addressCaption_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* loginCaption_ = nullptr;
    QLineEdit* login_ = nullptr;
    QLineEdit* passwordCaption_ = nullptr;
    QLineEdit* password_ = nullptr;
    QCheckBox* keyringChoice_ = nullptr;
    QLineEdit* searchHintArea_ = nullptr;
    Command* searchButton_ = nullptr;
    BalloonTooltip addressTip_;
    BalloonTooltip loginTip_;
    BalloonTooltip passwordTip_;
    BalloonTooltip searchTip_;
    bool addressHintShown_ = false;
    bool loginHintShown_ = false;
    bool passwordHintShown_ = false;
    bool searchHintShown_ = false;
    bool keyringProblemSaid_ = false;
};
