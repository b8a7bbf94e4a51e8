#pragma once
// The main menu: a picture window whose menu is a column of labels with icons.

#include "ui/form.h"

#include <QFrame>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <array>
#include <vector>

class QKeyEvent;

class frmmain : public Form {
    Q_OBJECT
public:
    frmmain();

    QWidget* Picture1;
    QLabel* Image4;
    std::array<QLabel*, 5> Label1{};
    std::array<QLabel*, 5> Image8{};
    QFrame* Line1;
    QLabel* Image3;
    QLabel* Image1;
    std::array<QLabel*, 1> Image2{};
    QStatusBar* StatusBar1;
    // The status bar's panels, left to right.
    std::array<QLabel*, 4> Panels{};

    // Click on menu label `index`.
    void Label1_Click(int index);
    // The pointer moved over menu label `index`.
    void Label1_MouseMove(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    void UpdateClock();
    int LabelIndex(QObject* watched) const;
    std::vector<int> EntryOrder() const;
    bool MenuKey(int index, const QKeyEvent& key);
    void Highlight(int index);
    QTimer* clock_;
};
