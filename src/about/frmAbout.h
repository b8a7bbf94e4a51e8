#pragma once
// The About window: title, version, what the directory holds, a picture, the motto, a
// warning against unauthorised use, and the start of the system-information tool.

#include "ui/form.h"

#include <QString>
#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

class frmAbout : public Form {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the system-information tool, or tells the user it is unavailable.
    void StartSysInfo();
    // Reads one registry value as text (see sysinfo::GetKeyValue). Throws
    // sysinfo::EmptyValueError for a value that holds no bytes.
    bool GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);

    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    QLabel* lblDisclaimer;
    QLabel* Image1;
    QLabel* Label1;
    std::array<QFrame*, 2> Line1; // [1] grey, [0] white one pixel below: an etched rule
    QLabel* lblDescription;
    QLabel* lblTitle;
    QLabel* lblVersion;

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setDesignTexts();
};
