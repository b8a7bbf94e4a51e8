#include "searchfixture.h"

#include "data/databasefile.h"
#include "data/sharedconnection.h"
#include "search/FlexGrid.h"
#include "search/frmquery.h"
#include "testdb.h"
#include "ui/design.h"
#include "ui/form.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>
#include <algorithm>

namespace searchtest {

void Connect(const testsupport::TestDatabase& db) {
    modGeneral::ResetConnection();
    modGeneral::gConn().Open(db.connectionString(), QString(), data::kPassword);
}

namespace {

// Passes every call on to the result set it wraps and logs it.
class ProbeRecordset : public data::Recordset {
public:
    ProbeRecordset(std::unique_ptr<data::Recordset> inner, ResultSetLog& log, int number)
        : inner_(std::move(inner)), log_(log), number_(number) {}

    bool Eof() const override {
        ResultSetUse& use = Use();
        ++use.eofTests;
        if (log_.beforeEofTest)
            log_.beforeEofTest(number_, use.eofTests);
        return inner_->Eof();
    }
    int FieldIndex(const QString& field) const override {
        Use();
        return inner_->FieldIndex(field);
    }
    QVariant ValueAt(int index) const override {
        ++Use().valueReads;
        return inner_->ValueAt(index);
    }
    QString TextAt(int index) const override {
        ++Use().valueReads;
        return inner_->TextAt(index);
    }
    void SetValue(const QString& field, const QVariant& value) override {
        Use();
        inner_->SetValue(field, value);
    }
    void AddNew() override {
        Use();
        inner_->AddNew();
    }
    void Update() override {
        Use();
        inner_->Update();
    }
    void MoveNext() override {
        Use();
        inner_->MoveNext();
    }
    void Close() override {
        Use();
        log_.opened[number_].closed = true;
        inner_->Close();
    }
    bool IsOpen() const override { return inner_->IsOpen(); }

private:
    // The log entry of this result set; counts any call made after Close.
    ResultSetUse& Use() const {
        ResultSetUse& use = log_.opened[number_];
        if (use.closed)
            ++use.callsAfterClose;
        return use;
    }

    std::unique_ptr<data::Recordset> inner_;
    ResultSetLog& log_;
    int number_;
};
} // namespace

ResultSetLog::ResultSetLog(frmquery& window) : window_(window) {
    window_.SetRecordsetOpener([this](const QString& statement) {
        const int othersOpen = int(std::count_if(
            opened.begin(), opened.end(), [](const ResultSetUse& use) { return !use.closed; }));
        opened.push_back(ResultSetUse{statement});
        opened.back().othersOpen = othersOpen;
        const int number = int(opened.size()) - 1;
        auto inner =
            modGeneral::gConn().OpenRecordset(statement, data::adOpenStatic, data::adLockReadOnly);
        return std::make_unique<ProbeRecordset>(std::move(inner), *this, number);
    });
}

ResultSetLog::~ResultSetLog() {
    window_.SetRecordsetOpener({});
}

FakeRecordset::FakeRecordset(QList<QVariantMap> rows, std::set<QString> failingFields,
                             bool moveNextFails)
    : rows_(std::move(rows)), failing_(std::move(failingFields)), moveNextFails_(moveNextFails) {}

bool FakeRecordset::Eof() const {
    if (!open_)
        throw data::EngineError(QStringLiteral("closed"));
    return current_ >= rows_.size();
}

int FakeRecordset::FieldIndex(const QString& field) const {
    // Any name is a field: one the rows lack reads as Null.
    const auto known = std::find(names_.begin(), names_.end(), field);
    if (known != names_.end())
        return int(known - names_.begin());
    names_.push_back(field);
    return int(names_.size()) - 1;
}

QVariant FakeRecordset::ValueAt(int index) const {
    if (Eof())
        throw data::EngineError(QStringLiteral("no current row"));
    const QString& field = names_.at(std::size_t(index));
    if (failing_.count(field))
        throw data::EngineError(QStringLiteral("cannot read ") + field);
    return rows_.at(current_).value(field);
}

void FakeRecordset::SetValue(const QString&, const QVariant&) {
    throw data::EngineError(QStringLiteral("read-only"));
}
void FakeRecordset::AddNew() {
    throw data::EngineError(QStringLiteral("read-only"));
}
void FakeRecordset::Update() {
    throw data::EngineError(QStringLiteral("read-only"));
}

void FakeRecordset::MoveNext() {
    if (moveNextFails_)
        throw data::EngineError(QStringLiteral("cannot move"));
    if (Eof())
        throw data::EngineError(QStringLiteral("no current row"));
    ++current_;
}

void FakeRecordset::Close() {
    if (!open_)
        throw data::EngineError(QStringLiteral("closed"));
    open_ = false;
    if (closedFlag)
        *closedFlag = true;
}

void PostClick(QWidget* widget) {
    const QPointF local = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(local);
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

void DoubleClick(QWidget* widget, QPoint pos) {
    QWidget* window = widget->window();
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, pos));
}

QTableView* GridView(FlexGrid& grid) {
    return grid.findChild<QTableView*>();
}

void WatchModel(FlexGrid& grid) {
    if (grid.findChild<QAbstractItemModelTester*>())
        return;
    new QAbstractItemModelTester(GridView(grid)->model(),
                                 QAbstractItemModelTester::FailureReportingMode::QtTest, &grid);
}

frmquery& OpenWindow() {
    frmquery& w = forms::Get<frmquery>();
    WatchModel(*w.Grid);
    w.Show();
    return w;
}

QStringList ColumnTexts(FlexGrid& grid, int column) {
    QStringList texts;
    for (int row = 1; row < grid.Rows(); ++row)
        texts << grid.TextMatrix(row, column);
    return texts;
}

QList<int> ColumnWidths(FlexGrid& grid) {
    QList<int> widths;
    QHeaderView* header = GridView(grid)->horizontalHeader();
    for (int c = 0; c < header->count(); ++c)
        widths << header->sectionSize(c);
    return widths;
}

QList<int> InitialColumnWidths() {
    return {ui::Tw(765), ui::Tw(1380), ui::Tw(1230), ui::Tw(1380), ui::Tw(2400), 0, ui::Tw(900)};
}

} // namespace searchtest
