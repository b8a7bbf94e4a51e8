#include "search/frmquery.h"

#include "data/sharedconnection.h"
#include "data/statements.h"
#include "data/valuerules.h"
#include "record/frminfo.h"
#include "search/FitGridColumns.h"
#include "search/FlexGrid.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "ui/msgbox.h"
#include "ui/program.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

namespace {

// The search's skip-on-error mode: a step that fails is left out and the search goes on
// with the next one. Tells whether the step went through.
template <class Step> bool Skip(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

// The grid's columns as the window is designed.
constexpr int kKeyColumn = 5;
const std::vector<FlexGrid::Column>& GridColumns() {
    static const std::vector<FlexGrid::Column> columns = {
        {QStringLiteral("序号"), 765, false},
        {QStringLiteral("船东名称"), 1380, false},
        {QStringLiteral("国家"), 1230, false},
        {QStringLiteral("联系电话"), 1380, false},
        {QStringLiteral("地址"), 2400, false},
        {QStringLiteral("id"), 900, true},
        {QString(), 900, false},
    };
    return columns;
}

QFont ControlFont() {
    return ui::UiFont(QStringLiteral("宋体"), 9);
}

// A label sized to its text, so that the background shows through around it.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  int width, int height) {
    QLabel* label = ui::MakeLabel(parent, name, caption, ui::TwRect(left, top, width, height));
    label->adjustSize();
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name, QLabel* label, int left, int top,
                       int width, int height) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setAccessibleName(label->text());
    box->setFrame(false); // the line below it marks the box
    box->setGeometry(ui::TwRect(left, top, width, height));
    label->setBuddy(box);
    return box;
}

std::unique_ptr<data::Recordset> OpenOnSharedConnection(const QString& statement) {
    return modGeneral::gConn().OpenRecordset(statement, data::adOpenStatic, data::adLockReadOnly,
                                             data::adOptionUnspecified);
}

void CloseQuietly(data::Recordset* rs) {
    Skip([&] {
        if (rs && rs->IsOpen())
            rs->Close();
    });
}

} // namespace

frmquery::frmquery() {
    setWindowTitle(QStringLiteral("船东查询"));
    // Fixed frame with a close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::Tw(9240), ui::Tw(6660));
    SetBackground(ui::Colour(0x00FFFFFF), QPixmap(QStringLiteral(":/images/query_bg.bmp")));
    CreateControls();
    SetInitialLayout();
}

void frmquery::CreateControls() {
    Label1 = MakeLabel(this, "Label1", QStringLiteral("船东名称："), 2790, 330, 900, 180);
    Text1 = MakeTextBox(this, "Text1", Label1, 3675, 285, 2190, 285);
    Line3 = ui::MakeLine(this, "Line3", 3630, 5830, 615);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("国家："), 3150, 795, 540, 180);
    Text2 = MakeTextBox(this, "Text2", Label2, 3900, 720, 2025, 285);
    Line1 = ui::MakeLine(this, "Line1", 3870, 5910, 1050);
    // Neither button is a default button: Enter belongs to the filter boxes.
    CmdQuery =
        ui::MakeButton(this, "CmdQuery", QStringLiteral("查询"),
                       QStringLiteral(":/icons/binoculars.ico"), ui::TwRect(6240, 750, 1185, 315));
    CmdStop = ui::MakeButton(this, "CmdStop", QStringLiteral("停止"),
                             QStringLiteral(":/icons/binoculars_stop.ico"),
                             ui::TwRect(7560, 750, 1185, 315));

    Grid = new FlexGrid(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setGeometry(ui::TwRect(15, 1305, 9240, 5370));

    Label5 = MakeLabel(this, "Label5", QStringLiteral("鼠标双击信息行,即可查看更详细信息"), 5445,
                       90, 2970, 180);
    ui::SetTextColour(Label5, 0x000000FF);
    // The view inside the grid is what takes the focus and what a screen reader reads.
    const QList<QWidget*> gridParts = {Grid, Grid->findChild<QTableView*>()};
    for (QWidget* part : gridParts) {
        part->setAccessibleName(QStringLiteral("查询结果"));
        part->setAccessibleDescription(Label5->text());
    }

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, CmdQuery);
    setTabOrder(CmdQuery, CmdStop);
    setTabOrder(CmdStop, Grid);

    Text1->installEventFilter(this);
    Text2->installEventFilter(this);
    connect(CmdQuery, &QPushButton::clicked, this, &frmquery::CmdQuery_Click);
    connect(CmdStop, &QPushButton::clicked, this, &frmquery::CmdStop_Click);
    connect(Grid, &FlexGrid::DblClick, this, &frmquery::Grid_DblClick);
    // Enter opens the current row as a double-click does.
    connect(Grid, &FlexGrid::EnterPressed, this, &frmquery::Grid_DblClick);
}

void frmquery::SetInitialLayout() {
    Text1->clear();
    Text2->clear();
    Grid->InitialSettings(GridColumns(), ControlFont());
    Grid->show();
    Text1->setFocus();
}

void frmquery::SetRecordsetOpener(RecordsetOpener opener) {
    opener_ = std::move(opener);
}

void frmquery::RunQuery() {
    const quint64 search = ++latestSearch_;
    StopRequested = false;
    QString name;
    QString country;
    Skip([&] { name = Text1->text(); });
    Skip([&] { country = Text2->text(); });
    const QString statement = data::SearchStatement(name, country);
    // The search this one supersedes lets go of its result set first, so that its
    // reader serves this one.
    StopFilling();
    std::unique_ptr<data::Recordset> rs;
    // A statement that cannot be opened still clears the grid and fits its columns,
    // without a word; unless the file could not be read, which the user then learns.
    bool damaged = false;
    try {
        rs = opener_ ? opener_(statement) : OpenOnSharedConnection(statement);
    } catch (const data::EngineError& error) {
        damaged = error.kind() == data::FailureKind::Damaged ||
                  error.kind() == data::FailureKind::IoError;
    } catch (...) {
    }
    Fill(std::move(rs), search, damaged);
}

void frmquery::StopFilling() {
    CloseQuietly(filling_);
    filling_ = nullptr;
}

void frmquery::Fill(std::unique_ptr<data::Recordset> rs, quint64 search, bool failed) {
    const QPointer<frmquery> alive(this);
    qint32 counter = 0;
    Skip([&] { Grid->SetRows(1); });
    // The grid's columns and the fields they show. Every row has the same fields: each
    // is found by its name once; one that is not there leaves its cells empty.
    struct Shown {
        int column;
        const QString& field;
        int index = -1;
    };
    Shown shown[] = {{1, data::kFieldName},
                     {2, data::kFieldCountry},
                     {3, data::kFieldPhone},
                     {4, data::kFieldAddress},
                     {kKeyColumn, data::kFieldId}};
    // A later search owns the grid now, or the window was closed: the search leaves the
    // grid alone (and the result set, if they have closed it already).
    const auto superseded = [&] { return !alive || latestSearch_ != search; };
    const auto leave = [&] {
        CloseQuietly(rs.get());
        if (alive && filling_ == rs.get())
            filling_ = nullptr;
    };
    filling_ = rs.get();
    if (rs) {
        // Looking for the next row through many rows that do not match runs the event
        // loop too, and ends when Stop, a later search or the window's closing asks it to.
        rs->SetWaitHandler([this, alive, search] {
            QCoreApplication::processEvents();
            return alive && latestSearch_ == search && !StopRequested && !ui::ProgramEnding();
        });
        for (Shown& s : shown)
            Skip([&] { s.index = rs->FieldIndex(s.field); });
    }
    for (;;) {
        // The end of data first, then Stop. A result set that cannot even say whether
        // it is at its end has nothing more to list.
        bool atEnd = true;
        if (!Skip([&] { atEnd = !rs || rs->Eof(); }))
            failed = true;
        if (superseded())
            return leave();
        if (atEnd || StopRequested || ui::ProgramEnding())
            break;

        QCoreApplication::processEvents();
        if (superseded() || ui::ProgramEnding())
            return leave();

        ++counter;
        Skip([&] {
            if (Grid->Rows() - 1 < counter)
                Grid->SetRows(Grid->Rows() + 1);
        });
        Skip([&] { Grid->SetTextMatrix(counter, 0, QString::number(counter)); });
        for (const Shown& s : shown) {
            if (s.index >= 0)
                Skip([&] { Grid->SetTextMatrix(counter, s.column, rs->TextAt(s.index)); });
        }

        // A result set that cannot move on would list the same record for ever.
        const bool moved = Skip([&] { rs->MoveNext(); });
        if (superseded())
            return leave();
        if (!moved) {
            failed = true;
            break;
        }
    }
    filling_ = nullptr;
    CloseQuietly(rs.get());
    rs.reset();
    Skip([&] { modGeneral::FitGridColumns(*Grid); });
    // The list ended because the engine could not read on (a damaged file, most
    // likely), not at the end of the data: the rows listed stay, and the user learns
    // that there may be more.
    if (failed && !ui::ProgramEnding())
        ui::MsgBox("数据文件可能已损坏，查询结果不完整。", platform::vbExclamation, "数据处理");
}

void frmquery::CmdQuery_Click() {
    RunQuery();
}

void frmquery::CmdStop_Click() {
    StopRequested = true;
}

void frmquery::Grid_DblClick() {
    if (Grid->Rows() <= 1)
        return;
    const int row = Grid->Row();
    if (row < 1 || row >= Grid->Rows())
        return;
    const QString key = data::TrimSpaces(Grid->TextMatrix(row, kKeyColumn));
    if (key.isEmpty())
        return;
    bool ok = false;
    const qint32 id = key.toInt(&ok);
    if (!ok)
        return;
    frminfo& info = forms::Get<frminfo>();
    info.shipId = id;
    info.Show();
}

void frmquery::Form_Unload() {
    // A search still filling the grid ends at its next row and leaves the grid alone.
    ++latestSearch_;
    StopFilling();
    SetInitialLayout();
}

bool frmquery::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Text1 || watched == Text2) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QPointer<QObject> box(watched);
            RunQuery();
            // The key press then goes on to the box as any other key, unless the box is
            // gone.
            return box.isNull();
        }
    }
    return Form::eventFilter(watched, event);
}
