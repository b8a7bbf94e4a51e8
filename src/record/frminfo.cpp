#include "record/frminfo.h"

#include "data/engine.h"
#include "data/sharedconnection.h"
#include "data/statements.h"
#include "data/valuerules.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/msgbox.h"
#include "ui/textboxes.h"
#include "ui/waitcursor.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr qint32 kNoRow = -1;
constexpr int kBoxCount = 9;

const std::string kBoxTitle = "提示:";

struct BoxDesign {
    const char* caption; // of the label beside the box
    QRect label;
    QRect box;
    bool multiLine;
};

// Box i with the label beside it, in twips.
const BoxDesign kBoxes[kBoxCount] = {
    {"船东名称", ui::TwRect(270, 105, 720, 180), ui::TwRect(1095, 60, 7020, 255), false},
    {"国家", ui::TwRect(630, 450, 360, 180), ui::TwRect(1095, 405, 7020, 255), false},
    {"地址:", ui::TwRect(540, 765, 450, 180), ui::TwRect(1095, 750, 6990, 255), false},
    {"电话", ui::TwRect(630, 1110, 360, 180), ui::TwRect(1110, 1095, 3315, 255), false},
    {"传真", ui::TwRect(4575, 1170, 360, 180), ui::TwRect(5100, 1140, 2895, 255), false},
    {"网址", ui::TwRect(630, 1515, 360, 180), ui::TwRect(1110, 1485, 6900, 255), false},
    {"电子邮箱", ui::TwRect(300, 1890, 720, 180), ui::TwRect(1095, 1860, 6900, 255), false},
    {"公司简介", ui::TwRect(270, 2355, 720, 180), ui::TwRect(1125, 2340, 6900, 2550), true},
    {"子公司介绍", ui::TwRect(90, 5055, 900, 180), ui::TwRect(1110, 5025, 6945, 1920), true},
};

// The boxes in the order the tab key visits them.
constexpr int kBoxTabOrder[kBoxCount] = {0, 1, 2, 3, 4, 5, 7, 8, 6};

const QString kDesignBoxText = QStringLiteral("Text1");
const QString kDesignCaption = QStringLiteral("确定");
const QString kAddCaption = QStringLiteral("增加");
const QString kModifyCaption = QStringLiteral("修改");

void ReportFailure(const char* what, const data::EngineError& failure) {
    ui::MsgBox((QString::fromUtf8(what) + data::DescribeFailure(failure)).toStdString(),
               platform::vbCritical, kBoxTitle);
}

// Closes a result set whatever state a failure left it in; the handler that opened it
// reports the failure that matters.
struct CloseOnExit {
    std::unique_ptr<data::Recordset>& rs;
    ~CloseOnExit() { CloseNow(); }
    void CloseNow() {
        if (!rs)
            return;
        try {
            if (rs->IsOpen())
                rs->Close();
        } catch (const data::EngineError&) {
        }
        rs.reset();
    }
};

// The values of a new shipowner: empty texts, never Null.
frminfo::FieldValues EmptyValues() {
    frminfo::FieldValues values;
    values.fill(QVariant(QStringLiteral("")));
    return values;
}

qint32 RowId(const QVariant& value) {
    bool ok = false;
    const qlonglong id = value.toLongLong(&ok);
    if (!ok || id < std::numeric_limits<qint32>::min() || id > std::numeric_limits<qint32>::max())
        throw data::EngineError(QStringLiteral("编号无效：") + value.toString());
    return static_cast<qint32>(id);
}

} // namespace

frminfo::frminfo() {
    setWindowTitle(QStringLiteral("船东详细信息"));
    // Fixed frame with a close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::Tw(8130), ui::Tw(7950));
    SetBackground(ui::Colour(0x00FFFFFF), QPixmap(QStringLiteral(":/images/info_bg.gif")));
    CreateControls();
    SetDesignState();
}

void frminfo::CreateControls() {
    for (int i = 0; i < kBoxCount; ++i) {
        const BoxDesign& design = kBoxes[i];
        const QString caption = QString::fromUtf8(design.caption);

        lbl[i] = ui::MakeLabel(this, QStringLiteral("lbl(%1)").arg(i).toUtf8().constData(), caption,
                               design.label);

        QWidget* box = nullptr;
        if (design.multiLine) {
            auto* edit = new ui::MultiLineBox(this);
            edit->setFrameShape(QFrame::NoFrame);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setTabChangesFocus(true);
            box = edit;
        } else {
            auto* edit = new ui::LineBox(this);
            edit->setFrame(false);
            box = edit;
        }
        box->setObjectName(QStringLiteral("Txt(%1)").arg(i));
        box->setAccessibleName(caption);
        box->setGeometry(design.box);
        Txt[i] = box;
    }

    CmdQuery =
        ui::MakeButton(this, "CmdQuery", kDesignCaption, QStringLiteral(":/icons/pencil.ico"),
                       ui::TwRect(5265, 7290, 1185, 315));
    CmdStop = ui::MakeButton(this, "CmdStop", QStringLiteral("退出"),
                             QStringLiteral(":/icons/wand.ico"), ui::TwRect(6810, 7290, 1185, 315));
    SmartNetXpButton1 =
        ui::MakeButton(this, "SmartNetXpButton1", QStringLiteral("删除"),
                       QStringLiteral(":/icons/cross.ico"), ui::TwRect(3720, 7290, 1185, 315));

    Line1[0] = ui::MakeLine(this, "Line1(0)", 1080, 8040, 345);
    Line2 = ui::MakeLine(this, "Line2", 1080, 8040, 690);
    Line3[0] = ui::MakeLine(this, "Line3(0)", 1080, 8040, 1020);
    Line4[0] = ui::MakeLine(this, "Line4(0)", 1080, 4455, 1380);
    Line5 = ui::MakeLine(this, "Line5", 5070, 8040, 1395);
    Line6[0] = ui::MakeLine(this, "Line6(0)", 1110, 8040, 1755);
    Line6[1] = ui::MakeLine(this, "Line6(1)", 1095, 8025, 2130);
    Line4[1] = ui::MakeLine(this, "Line4(1)", 1095, 8025, 4920);
    Line3[1] = ui::MakeLine(this, "Line3(1)", 1095, 7995, 7035);

    QWidget* previous = Txt[kBoxTabOrder[0]];
    for (int k = 1; k < kBoxCount; ++k) {
        setTabOrder(previous, Txt[kBoxTabOrder[k]]);
        previous = Txt[kBoxTabOrder[k]];
    }
    setTabOrder(previous, CmdQuery);
    setTabOrder(CmdQuery, CmdStop);
    setTabOrder(CmdStop, SmartNetXpButton1);

    connect(CmdQuery, &QPushButton::clicked, this, [this] { CmdQuery_Click(); });
    connect(SmartNetXpButton1, &QPushButton::clicked, this, [this] { SmartNetXpButton1_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
}

void frminfo::SetDesignState() {
    for (int i = 0; i < kBoxCount; ++i)
        SetBoxText(i, kDesignBoxText);
    SetCaption(kDesignCaption);
}

QString frminfo::BoxText(int index) const {
    if (auto* line = qobject_cast<ui::LineBox*>(Txt[index]))
        return line->Text();
    // A multi-line box breaks its lines with CR LF, as the rows in the file do; the
    // editor itself holds bare line feeds.
    QString text = static_cast<ui::MultiLineBox*>(Txt[index])->Text();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void frminfo::SetBoxText(int index, const QString& text) {
    if (auto* line = qobject_cast<ui::LineBox*>(Txt[index]))
        line->SetText(text);
    else
        static_cast<ui::MultiLineBox*>(Txt[index])->SetText(text);
}

bool frminfo::BoxEdited(int index) const {
    if (auto* line = qobject_cast<ui::LineBox*>(Txt[index]))
        return line->isModified();
    return static_cast<ui::MultiLineBox*>(Txt[index])->document()->isModified();
}

void frminfo::ShowValues(const FieldValues& values) {
    for (int i = 0; i < kBoxCount; ++i)
        SetBoxText(i, data::FieldText(values[i]));
    shownValues_ = values;
}

void frminfo::SetCaption(const QString& caption) {
    CmdQuery->setText(caption);
}

void frminfo::LoadRecord() {
    FieldValues values = EmptyValues();
    if (shipId != kNoRow) {
        // A row that does not exist leaves the boxes empty, in modify mode.
        const QStringList fields = data::TextFields();
        std::unique_ptr<data::Recordset> rs = modGeneral::gConn().OpenRecordset(
            data::ReadOneRowStatement(shipId), data::adOpenUnspecified, data::adLockUnspecified);
        CloseOnExit closer{rs};
        if (!rs->Eof()) {
            for (int i = 0; i < kBoxCount; ++i)
                values[i] = rs->Value(fields[i]);
        }
        rs->Close();
    }
    ShowValues(values);
    SetCaption(shipId == kNoRow ? kAddCaption : kModifyCaption);
    shownId_ = shipId;
}

bool frminfo::TryLoadRecord() {
    try {
        LoadRecord();
        return true;
    } catch (const data::EngineError& e) {
        ReportFailure("读取失败：", e);
        return false;
    }
}

void frminfo::Form_Load() {
    // A window whose row could not be read is not shown: empty boxes in modify mode
    // would invite saving them over the row.
    if (!TryLoadRecord())
        Unload();
}

void frminfo::Form_ShowAgain() {
    // The boxes, the caption and shipId always belong together: a failed reload keeps
    // the record that is shown, with whatever the user typed into it.
    if (!TryLoadRecord())
        shipId = shownId_;
}

void frminfo::Form_Unload() {
    SetDesignState();
}

void frminfo::CmdQuery_Click() {
    const QStringList fields = data::TextFields();
    std::unique_ptr<data::Recordset> rs;
    CloseOnExit closer{rs};
    try {
        // The save may wait for another program's lock, up to the engine's timeout.
        const ui::WaitCursor waiting;
        rs = modGeneral::gConn().OpenRecordset(data::ReadOneRowStatement(shipId),
                                               data::adOpenKeyset, data::adLockPessimistic);
        // A box the user left alone keeps the field exactly as it was read (its bytes, its
        // type): the row keeps it, and a row that has gone meanwhile gets it back. Only a
        // Null becomes the empty text, as every field is written.
        const bool adding = rs->Eof();
        if (adding)
            rs->AddNew();
        for (int i = 0; i < kBoxCount; ++i) {
            const QVariant& shown = shownValues_[i];
            if (BoxEdited(i))
                rs->SetValue(fields[i], data::StoredText(BoxText(i)));
            else if (shown.isNull())
                rs->SetValue(fields[i], QStringLiteral(""));
            else if (adding)
                rs->SetValue(fields[i], shown);
        }
        rs->Update();
    } catch (const data::EngineError& e) {
        closer.CloseNow();
        ReportFailure("保存失败：", e);
        return;
    }

    // The row is stored. Its id is read and the result set closed before the message,
    // so that no lock is held while the message box waits.
    std::optional<qint32> storedId;
    std::optional<data::EngineError> idFailure;
    try {
        storedId = RowId(rs->Value(data::kFieldId));
    } catch (const data::EngineError& e) {
        idFailure = e;
    }
    closer.CloseNow();

    ui::MsgBox(shipId == kNoRow ? "增加成功" : "修改成功", platform::vbInformation, kBoxTitle);
    if (!storedId) {
        ReportFailure("读取编号失败：", *idFailure);
        return;
    }
    shipId = *storedId;
    shownId_ = shipId;
    SetCaption(kModifyCaption);
}

void frminfo::SmartNetXpButton1_Click() {
    if (shipId == kNoRow)
        return;
    if (ui::MsgBox("是否要删除当前信息？", platform::vbYesNo, kBoxTitle) != platform::vbYes)
        return;
    try {
        const ui::WaitCursor waiting; // as for a save
        modGeneral::gConn().Execute(data::DeleteStatement(shipId));
    } catch (const data::EngineError& e) {
        ReportFailure("删除失败：", e);
        return;
    }
    ShowValues(EmptyValues());
    shipId = kNoRow;
    shownId_ = kNoRow;
    SetCaption(kAddCaption);
}

void frminfo::CmdStop_Click() {
    Unload();
    shipId = kNoRow;
}
