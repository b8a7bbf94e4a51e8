#include "app/frmsplash.h"

#include "app/frmmain.h"
#include "ui/design.h"

#include <thalvane/version.h>

frmsplash::frmsplash() {
    setObjectName(QStringLiteral("frmsplash"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString());
    setFixedSize(ui::Tw(6795), ui::Tw(5115));

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setGeometry(ui::TwRect(-30, -30, 6855, 5205));
    imgSplash->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgSplash->setPixmap(QPixmap(QStringLiteral(":/images/splash.gif")));
    // The picture's edge colour fills the strip the picture leaves uncovered.
    QPalette palette = imgSplash->palette();
    palette.setColor(QPalette::Window, QColor(7, 24, 46));
    imgSplash->setPalette(palette);
    imgSplash->setAutoFillBackground(true);
    imgSplash->setAccessibleName(QStringLiteral(THALVANE_APP_TITLE));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmsplash::Timer1_Timer);
}

void frmsplash::Form_Load() {
    TimerCount = 0;
    Timer1->start();
}

void frmsplash::Form_Unload() {
    Timer1->stop();
}

void frmsplash::Timer1_Timer() {
    ++TimerCount;
    if (TimerCount == 2) {
        Unload();
        forms::Get<frmmain>().Show();
    }
}
