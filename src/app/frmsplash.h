#pragma once
// The first window the user sees: one picture for two ticks of a one-second timer,
// then the main menu.

#include "ui/form.h"

#include <QLabel>
#include <QTimer>

class frmsplash : public Form {
    Q_OBJECT
public:
    frmsplash();

    QLabel* imgSplash;
    QTimer* Timer1;
    qint16 TimerCount = 0;

public slots:
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};
