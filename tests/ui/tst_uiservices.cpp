// The message boxes and the end of the program, as every window uses them.

#include "support/msgboxes.h"
#include "ui/msgbox.h"
#include "ui/program.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestUiServices : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ui::SetEndProgramHook({}); }

    void hookSeesEveryBoxAndAnswers() {
        std::vector<platform::MsgBoxCall> calls;
        const testsupport::MsgBoxRecorder recorder(calls, platform::vbNo);
        QCOMPARE(ui::MsgBox("是否要删除当前信息？", platform::vbYesNo, "提示:"),
                 int(platform::vbNo));
        QCOMPARE(ui::MsgBox("此时系统信息不可用"), int(platform::vbNo));
        QCOMPARE(calls.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(calls[0].title), QStringLiteral("提示:"));
        QCOMPARE(calls[0].style, int(platform::vbYesNo));
        // A box without a title of its own carries the application title.
        QCOMPARE(QString::fromStdString(calls[1].title), QStringLiteral("Thalvane"));
        QCOMPARE(calls[1].style, int(platform::vbOKOnly));
    }

    // The real box: its buttons read as on a Chinese system, and its answer is returned.
    void realBoxHasChineseButtons_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << int(platform::vbCritical) << QStringList{"确定"} << "确定"
                            << int(platform::vbOK);
        QTest::newRow("yes") << int(platform::vbYesNo) << QStringList{"否(N)", "是(Y)"} << "是(Y)"
                             << int(platform::vbYes);
        QTest::newRow("no") << int(platform::vbYesNo) << QStringList{"否(N)", "是(Y)"} << "否(N)"
                            << int(platform::vbNo);
    }
    void realBoxHasChineseButtons() {
        QFETCH(int, style);
        QFETCH(QStringList, buttons);
        QFETCH(QString, press);
        QFETCH(int, answer);
        QStringList seen;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            QPushButton* target = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                seen << b->text().remove('&');
                if (b->text().remove('&') == press)
                    target = qobject_cast<QPushButton*>(b);
            }
            QVERIFY(target);
            target->click();
        });
        QCOMPARE(ui::MsgBox("text", style, "数据处理"), answer);
        seen.sort();
        QCOMPARE(seen, buttons);
        QCOMPARE(title, QStringLiteral("数据处理"));
    }

    // However short the text, the box is wide enough for its title in the title bar's
    // font (large on some systems), with the window icon and a close button as wide as
    // Windows draws them (16 + 46 pixels and margins) beside it.
    void realBoxHasRoomForItsTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("titlePoints"); // 0: the platform's own title bar font
        for (int points : {0, 28}) {
            QTest::addRow("program's name, %d pt", points)
                << QString() << int(platform::vbOKOnly) << points;
            QTest::addRow("提示:, %d pt", points) << "提示:" << int(platform::vbYesNo) << points;
            QTest::addRow("数据处理, %d pt", points)
                << "数据处理" << int(platform::vbCritical) << points;
        }
    }
    void realBoxHasRoomForItsTitle() {
        QFETCH(QString, title);
        QFETCH(int, style);
        QFETCH(int, titlePoints);
        const QFont platformTitleFont = QApplication::font("QMdiSubWindowTitleBar");
        if (titlePoints > 0) {
            QFont large = platformTitleFont;
            large.setPointSize(titlePoints);
            QApplication::setFont(large, "QMdiSubWindowTitleBar");
        }
        int width = 0;
        QString shownTitle;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            shownTitle = box->windowTitle();
            box->buttons().constFirst()->click();
        });
        ui::MsgBox("好", style, title.toStdString());
        const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
        QApplication::setFont(platformTitleFont, "QMdiSubWindowTitleBar");
        QVERIFY(!shownTitle.isEmpty());
        const int needed = metrics.horizontalAdvance(shownTitle) + 16 + 46 + 16;
        QVERIFY2(width >= needed,
                 qPrintable(QStringLiteral("%1: %2 < %3").arg(shownTitle).arg(width).arg(needed)));
    }

    void endProgramGoesThroughTheHook() {
        int ended = 0;
        int status = -1;
        ui::SetEndProgramHook([&](int code) {
            ++ended;
            status = code;
        });
        QVERIFY(!ui::ProgramEnding());
        ui::EndProgram(3);
        QCOMPARE(ended, 1);
        QCOMPARE(status, 3);
        QVERIFY(ui::ProgramEnding());
    }
};

QTEST_MAIN(TestUiServices)
#include "tst_uiservices.moc"
