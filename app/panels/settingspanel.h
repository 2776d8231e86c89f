#pragma once

#include "transfer/serversearch.h"
#include "ui/designlayer.h"
#include "ui/tooltip.h"

#include <QString>

class Command;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;

// The connection settings: address, login and password with their captions, the Search button
// and the hints over them.
class SettingsPanel : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit SettingsPanel(QWidget* window);

    // The three connection fields as typed, and as read from the settings file.
    qv::ConnectionFields credentials() const;
    void showCredentials(const qv::ConnectionFields& fields);
    void showSystemName(const QString& name); // the line under the heading
    void setSearchEnabled(bool enabled);
    void setContentVisible(bool visible);
    // The keyboard focus on the address field when it is still empty.
    void focusEmptyAddress();

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

    // Where the guidance balloons point: the address field, the system's name. A balloon is
    // placed over a control, so these two are handed out as widgets.
    const QWidget* addressAnchor() const;
    const QWidget* versionAnchor() const;

signals:
    void searchRequested();
    // The operator ticked or cleared "Keep the password in the desktop keyring".
    void passwordPlaceSwitched();
    // The pointer moved over a place with a hint.
    void hintWanted(SettingsPanel::Hint hint);

private:
    // A hint's place, its tip and whether the tip was attached.
    struct HintPlace {
        QLineEdit* field = nullptr;
        BalloonTooltip tip;
        bool shown = false;
    };
    HintPlace& place(Hint hint);
    const HintPlace& place(Hint hint) const;
    void styleFields();

    PictureBox* picture_;
    QLabel* heading_;
    QLineEdit* windowsVersion_;
    QLineEdit* addressCaption_;
    QLineEdit* address_;
    QLineEdit* loginCaption_;
    QLineEdit* login_;
    QLineEdit* passwordCaption_;
    QLineEdit* password_;
    QCheckBox* keyringChoice_;
    QLineEdit* searchHintArea_;
    Command* searchButton_;
    HintPlace hints_[4]; // by Hint
    bool keyringProblemSaid_ = false;
};
