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
