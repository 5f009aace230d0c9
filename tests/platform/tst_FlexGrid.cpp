#include "platform/FlexGrid.h"
#include "runtime/Twips.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using corvelix::FlexAlign;
using corvelix::FlexGrid;
using corvelix::twipsToPixels;

namespace {

QVariant shown(const FlexGrid& grid, int row, int col, int role = Qt::DisplayRole) {
    const bool fixed = row < grid.fixedRows();
    QTableView* view = fixed ? grid.fixedView() : grid.bodyView();
    const int r = fixed ? row : row - grid.fixedRows();
    return view->model()->index(r, col).data(role);
}

// A grid of `rows` rows (one fixed) and `cols` columns, each cell "r,c".
void fill(FlexGrid& grid, int rows, int cols) {
    grid.setCols(cols);
    grid.setRows(1);
    grid.setFixedRows(1);
    std::vector<QStringList> lines;
    for (int r = 1; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < cols; ++c)
            cells << QStringLiteral("%1,%2").arg(r).arg(c);
        lines.push_back(cells);
    }
    grid.appendRows(lines);
}

} // namespace

class tst_FlexGrid : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void shapeAndTexts() {
        FlexGrid grid;
        fill(grid, 5, 3);
        QCOMPARE(grid.rows(), 5);
        QCOMPARE(grid.cols(), 3);
        QCOMPARE(grid.fixedView()->model()->rowCount(), 1);
        QCOMPARE(grid.bodyView()->model()->rowCount(), 4);
        grid.setTextMatrix(0, 1, QStringLiteral("Item"));
        QCOMPARE(shown(grid, 0, 1).toString(), QStringLiteral("Item"));
        QCOMPARE(shown(grid, 3, 2).toString(), QStringLiteral("3,2"));
        // Outside the grid: nothing written, nothing read.
        grid.setTextMatrix(9, 0, QStringLiteral("x"));
        grid.setTextMatrix(0, -1, QStringLiteral("x"));
        QCOMPARE(grid.textMatrix(9, 0), QString());
        // Fewer columns keep what fits; more rows come empty.
        grid.setCols(2);
        grid.setRows(6);
        QCOMPARE(grid.textMatrix(4, 1), QStringLiteral("4,1"));
        QCOMPARE(grid.textMatrix(4, 2), QString());
        QCOMPARE(grid.textMatrix(5, 0), QString());
        grid.clear();
        QCOMPARE(grid.textMatrix(4, 1), QString());
        QCOMPARE(grid.rows(), 6);
    }

    void addItemAndInsertRowMoveColours() {
        FlexGrid grid;
        fill(grid, 3, 3);
        grid.fillBackColor(2, 0, 2, 2, QColor(234, 234, 234));
        grid.addItem(QStringLiteral("a\tb\tc\textra"));
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.textMatrix(3, 2), QStringLiteral("c"));
        grid.addItem(QStringLiteral("t\tu"), 1);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("t"));
        QCOMPARE(grid.textMatrix(1, 2), QString());
        QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("1,0"));
        // The coloured row moved down with its texts.
        QCOMPARE(grid.cellBackColor(3, 1), QColor(234, 234, 234));
        QVERIFY(!grid.cellBackColor(2, 1).isValid());
        QCOMPARE(shown(grid, 3, 1, Qt::BackgroundRole).value<QColor>(), QColor(234, 234, 234));
    }

    void coloursAndAlignment() {
        FlexGrid grid;
        fill(grid, 4, 3);
        grid.fillBackColor(1, 0, 1, 2, QColor(40, 84, 102));
        grid.fillForeColor(1, 0, 1, 2, Qt::white);
        QCOMPARE(grid.cellForeColor(1, 2), QColor(Qt::white));
        QCOMPARE(shown(grid, 1, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QVERIFY(!shown(grid, 2, 0, Qt::BackgroundRole).isValid());
        // The fixed row is drawn apart from the rest.
        QVERIFY(shown(grid, 0, 0, Qt::BackgroundRole).isValid());
        // An invalid colour gives the cell back to the grid.
        grid.setCellBackColor(1, 1, QColor());
        QVERIFY(!grid.cellBackColor(1, 1).isValid());

        grid.setColAlignment(1, FlexAlign::RightTop);
        grid.setCellAlignment(1, 0, 1, 2, FlexAlign::RightCenter);
        QCOMPARE(grid.cellAlignment(2, 1), FlexAlign::RightTop);
        QCOMPARE(grid.cellAlignment(1, 1), FlexAlign::RightCenter);
        QCOMPARE(grid.cellAlignment(2, 0), FlexAlign::General);
        QCOMPARE(shown(grid, 2, 1, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(shown(grid, 1, 1, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
    }

    void widthsAndHeights() {
        FlexGrid grid;
        fill(grid, 4, 3);
        QCOMPARE(grid.colWidth(2), FlexGrid::defaultColWidth());
        grid.setColWidth(1, 1945);
        grid.setColWidth(0, 0);
        QCOMPARE(grid.colWidth(1), 1945);
        QCOMPARE(grid.bodyView()->columnWidth(1), twipsToPixels(1945));
        QCOMPARE(grid.fixedView()->columnWidth(1), twipsToPixels(1945));
        QVERIFY(grid.colHidden(0));
        QVERIFY(grid.bodyView()->isColumnHidden(0));
        QVERIFY(grid.fixedView()->isColumnHidden(0));
        grid.setColWidth(0, -1);
        QVERIFY(!grid.bodyView()->isColumnHidden(0));

        const int normal = grid.rowHeight(2);
        grid.setRowHeight(1, normal * 2);
        grid.setRowHeight(0, 600);
        QCOMPARE(grid.rowHeight(1), normal * 2);
        QCOMPARE(grid.bodyView()->rowHeight(0), twipsToPixels(normal * 2));
        QCOMPARE(grid.fixedView()->height(), twipsToPixels(600));
        // Widths and heights survive a change of shape.
        grid.setRows(10);
        QCOMPARE(grid.bodyView()->columnWidth(1), twipsToPixels(1945));
        QCOMPARE(grid.bodyView()->rowHeight(0), twipsToPixels(normal * 2));

        grid.setWordWrap(true);
        QVERIFY(grid.bodyView()->wordWrap());
        grid.setTextMatrix(2, 2, QStringLiteral("A\r\nB"));
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("A\r\nB"));
        QCOMPARE(shown(grid, 2, 2).toString(), QStringLiteral("A\nB"));
    }

    void selectionEnds_data() {
        QTest::addColumn<int>("row1");
        QTest::addColumn<int>("row2");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rowSel");
        QTest::newRow("downwards") << 2 << 5 << 2 << 5;
        QTest::newRow("upwards") << 5 << 2 << 5 << 2;
        QTest::newRow("one row") << 3 << 3 << 3 << 3;
        QTest::newRow("end clamped to the grid") << 4 << 40 << 4 << 7;
    }

    void selectionEnds() {
        QFETCH(int, row1);
        QFETCH(int, row2);
        QFETCH(int, row);
        QFETCH(int, rowSel);
        FlexGrid grid;
        fill(grid, 8, 4);
        QCOMPARE(grid.row(), -1);
        grid.select(row1, 0, row2, 3);
        QCOMPARE(grid.row(), row);
        QCOMPARE(grid.rowSel(), rowSel);
        QCOMPARE(grid.col(), 0);
        QCOMPARE(grid.colSel(), 3);
    }

    void userSelectionByRow() {
        FlexGrid grid;
        fill(grid, 8, 4);
        grid.setSelectionByRow(true);
        grid.resize(400, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTableView* body = grid.bodyView();
        const auto centre = [&](int r) {
            return body->visualRect(body->model()->index(r, 1)).center();
        };
        QTest::mouseClick(body->viewport(), Qt::LeftButton, Qt::NoModifier, centre(4));
        QTest::mouseClick(body->viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(1));
        // Current row where the click ended, the other end where the selection began.
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.rowSel(), 5);
        QCOMPARE(grid.colSel() == 0 || grid.colSel() == 3, true);
    }

    // A large fill hands its cells over row after row: the rows there were stay in front with
    // their colours, whether or not the store given has room for them; a short last row ends
    // in empty cells.
    void appendRowsTakesCellsOver_data() {
        QTest::addColumn<bool>("room");
        QTest::newRow("room for the rows there are") << true;
        QTest::newRow("no room") << false;
    }
    void appendRowsTakesCellsOver() {
        QFETCH(bool, room);
        FlexGrid grid;
        fill(grid, 2, 3);
        grid.fillBackColor(1, 0, 1, 2, QColor(234, 234, 234));
        std::vector<QString> cells;
        if (room)
            cells.reserve(std::size_t(grid.rows() + 2) * 3);
        for (const char* text : {"a", "b", "c", "d", "e"})
            cells.emplace_back(QLatin1String(text));
        grid.appendRows(std::move(cells));
        QCOMPARE(grid.rows(), 4);
        const QStringList expected{"", "", "", "1,0", "1,1", "1,2", "a", "b", "c", "d", "e", ""};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(grid.textMatrix(r, c), expected.at(r * 3 + c));
        QCOMPARE(shown(grid, 3, 1).toString(), QStringLiteral("e"));
        QCOMPARE(shown(grid, 1, 2, Qt::BackgroundRole).value<QColor>(), QColor(234, 234, 234));
        QVERIFY(!shown(grid, 2, 0, Qt::BackgroundRole).isValid() ||
                shown(grid, 2, 0, Qt::BackgroundRole).value<QColor>() != QColor(234, 234, 234));
    }

    // Filling with redraw off reaches the views in one reset, with the selection made meanwhile.
    void redrawOffFillsAtOnce() {
        FlexGrid grid;
        fill(grid, 2, 10);
        grid.select(1, 0, 1, 9);
        QAbstractItemModel* body = grid.bodyView()->model();
        QSignalSpy resets(body, &QAbstractItemModel::modelReset);
        QSignalSpy changes(body, &QAbstractItemModel::dataChanged);
        grid.setRedraw(false);
        QCOMPARE(grid.row(), 1);
        grid.setRows(1);
        std::vector<QStringList> lines(5000, QStringList());
        for (int r = 0; r < 5000; ++r)
            for (int c = 0; c < 10; ++c)
                lines[std::size_t(r)] << QString::number(r * 10 + c);
        grid.appendRows(lines);
        for (int r = 1; r < grid.rows(); r += 2)
            grid.fillBackColor(r, 0, r, 9, QColor(234, 234, 234));
        grid.setTextMatrix(0, 0, QStringLiteral("nart"));
        grid.select(3, 0, 3, 9);
        QCOMPARE(grid.row(), 3);
        // Nothing reached the views yet: they still show the old shape.
        QCOMPARE(body->rowCount(), 1);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 0);
        grid.setRedraw(true);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(body->rowCount(), 5000);
        QCOMPARE(grid.rows() * grid.cols(), 50010);
        QCOMPARE(shown(grid, 5000, 9).toString(), QStringLiteral("49999"));
        QCOMPARE(shown(grid, 1, 0, Qt::BackgroundRole).value<QColor>(), QColor(234, 234, 234));
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.rowSel(), 3);
    }

    void keysAndMouse() {
        FlexGrid grid;
        fill(grid, 5, 3);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentCell(1, 0);
        QList<int> seen;
        connect(&grid, &FlexGrid::keyDown, &grid, [&](QKeyEvent* event) {
            seen << event->key();
            // Taking Down keeps the grid from moving.
            if (event->key() == Qt::Key_Down)
                event->accept();
        });
        QTest::keyClick(grid.bodyView(), Qt::Key_Down);
        QCOMPARE(grid.row(), 1);
        QTest::keyClick(grid.bodyView(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.row(), 4);
        QCOMPARE(seen, (QList<int>{Qt::Key_Down, Qt::Key_Control, Qt::Key_End}));

        QSignalSpy doubles(&grid, &FlexGrid::dblClick);
        QSignalSpy presses(&grid, &FlexGrid::mouseDown);
        QTest::mouseDClick(grid.bodyView()->viewport(), Qt::LeftButton);
        QCOMPARE(doubles.count(), 1);
        QTest::mousePress(grid.bodyView()->viewport(), Qt::RightButton);
        QVERIFY(presses.count() >= 1);
    }
};

CORVELIX_TEST(tst_FlexGrid)
#include "tst_FlexGrid.moc"
