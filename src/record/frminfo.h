#pragma once
// The record window: one shipowner in nine boxes, added, changed or deleted.
//
// Callers set shipId (-1 for a new shipowner, otherwise the row's id) and then call
// Show(). Showing the window, whether it is loaded or already open, runs the load step
// for the current shipId, so the boxes, the caption of CmdQuery and shipId always belong
// to the same row. The window keeps no result set between events.

#include "ui/form.h"

#include <QStringList>
#include <QVariant>
#include <array>

class QFrame;
class QLabel;
class QPushButton;

class frminfo : public Form {
    Q_OBJECT
public:
    frminfo();

    // The nine text fields of one row, in box order.
    using FieldValues = std::array<QVariant, 9>;

    // -1: add mode, the next save inserts a row. Otherwise the id of the row shown, on
    // which the next save or delete acts. 0 until a caller sets it.
    qint32 shipId = 0;

    // Boxes 0 to 6 are single-line boxes (ui::LineBox, a QLineEdit), 7 and 8 multi-line
    // ones (ui::MultiLineBox, a QPlainTextEdit).
    std::array<QWidget*, 9> Txt{};
    std::array<QLabel*, 9> lbl{};
    QPushButton* CmdQuery = nullptr;
    QPushButton* CmdStop = nullptr;
    QPushButton* SmartNetXpButton1 = nullptr;

    // The lines under the boxes.
    std::array<QFrame*, 1> Line1{};
    QFrame* Line2 = nullptr;
    std::array<QFrame*, 2> Line3{};
    std::array<QFrame*, 2> Line4{};
    QFrame* Line5 = nullptr;
    std::array<QFrame*, 2> Line6{};

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_ShowAgain() override;

private:
    void CreateControls();
    void SetDesignState();

    // Reads the row of shipId into the boxes and sets the caption. Throws
    // data::EngineError; on a failure the boxes and the caption are left untouched.
    void LoadRecord();
    // Runs LoadRecord and reports a failure. Returns false when it failed.
    bool TryLoadRecord();

    void CmdQuery_Click();
    void SmartNetXpButton1_Click();
    void CmdStop_Click();

    QString BoxText(int index) const;
    void SetBoxText(int index, const QString& text);
    // True when the user changed the box since it was last filled.
    bool BoxEdited(int index) const;
    // Fills the boxes with the fields' texts and keeps the values they came from.
    void ShowValues(const FieldValues& values);
    void SetCaption(const QString& caption);
    // The shipId the boxes and the caption belong to, while the window is loaded.
    qint32 shownId_ = 0;
    // The fields as they were read into the boxes (empty texts in add mode).
    FieldValues shownValues_{};
};
