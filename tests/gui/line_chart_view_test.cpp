// The shared line chart on long lines: what it hands the chart of a million
// points, rendered to a painter as the report does, and again at every zoom
// and resize.
#include "gui/charts/line_chart_view.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QValueAxis>

#include <cmath>
#include <utility>

namespace {

constexpr int kPointCount = 1000000;
constexpr int kSpikeAt = 654321;

/// Waves of 48 steps, with one spike far above the rest.
std::vector<desk::ChartPoint> longLine() {
    std::vector<desk::ChartPoint> points;
    points.reserve(kPointCount);
    for (int i = 0; i < kPointCount; ++i)
        points.push_back({double(i + 1), 50.0 + 40.0 * std::sin(i * 0.1309) + (i % 7)});
    points[kSpikeAt].y = 500.0;
    return points;
}

bool holds(const QLineSeries& line, QPointF point) {
    return line.points().contains(point);
}

} // namespace

class TestLineChartView : public QObject {
    Q_OBJECT
private slots:
    void aMillionPointsAreDrawnAsTheExtremesOfEachPixelColumn();
    void zoomAndResizeChooseAgainFromEveryPoint();
    void thinnedLinesGlideOnlyWhereTheOwnerLetsThem();
};

void TestLineChartView::aMillionPointsAreDrawnAsTheExtremesOfEachPixelColumn() {
    gui::LineChartView view; // never shown: the report renders charts to a painter
    view.resize(900, 500);
    const std::vector<desk::ChartPoint> points = longLine();
    QElapsedTimer clock;
    clock.start();
    QLineSeries* line = view.addLine(Qt::red);
    view.appendPoints(line, points);
    QImage picture(view.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    view.render(&painter);
    painter.end();
    qInfo("a million points added and rendered in %lld ms, %lld drawn", clock.elapsed(),
          static_cast<long long>(line->count()));

    QCOMPARE(view.pointCount(line), std::size_t(kPointCount));
    const int columns = int(std::ceil(view.chart()->plotArea().width()));
    QVERIFY(columns > 100);
    QVERIFY(line->count() <= 4 * columns + 2);
    QVERIFY(line->count() >= columns);
    QVERIFY(holds(*line, QPointF(kSpikeAt + 1, 500.0))); // the peak stays
    QVERIFY(holds(*line, QPointF(1, points.front().y)));
    QVERIFY(holds(*line, QPointF(kPointCount, points.back().y)));
    QVERIFY(view.verticalAxis()->max() >= 500.0);
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            red += qRed(picture.pixel(x, y)) > 200 && qGreen(picture.pixel(x, y)) < 80;
    QVERIFY2(red > 1000, qPrintable(QString::number(red)));
}

void TestLineChartView::zoomAndResizeChooseAgainFromEveryPoint() {
    gui::LineChartView view;
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QLineSeries* line = view.addLine(Qt::blue);
    const std::vector<desk::ChartPoint> points = longLine();
    view.appendPoints(line, points);
    QSignalSpy ranges(&view, &gui::LineChartView::horizontalRangeChanged);

    // A few hundred steps in view: every one of them, as it is, and the
    // neighbours that carry the line to the plot's edges.
    view.showRangeX(kSpikeAt - 150, kSpikeAt + 150);
    QCOMPARE(view.horizontalAxis()->min(), double(kSpikeAt - 150));
    QCOMPARE(ranges.size(), 1);
    QCOMPARE(ranges.constFirst().at(1).toDouble(), double(kSpikeAt + 150));
    QCOMPARE(line->count(), 303);
    for (int i = 0; i < line->count(); ++i)
        QCOMPARE(line->at(i), QPointF(points[kSpikeAt - 152 + i].x, points[kSpikeAt - 152 + i].y));
    QVERIFY(view.verticalAxis()->max() >= 500.0 && view.verticalAxis()->max() < 600.0);

    // Wider ranges are decimated again, for the plot's new width too.
    view.showAll();
    const int narrow = int(line->count());
    view.resize(1400, 500);
    QTRY_VERIFY(view.chart()->plotArea().width() > 1200);
    QTRY_VERIFY(line->count() > narrow);
    QVERIFY(line->count() <= 4 * int(std::ceil(view.chart()->plotArea().width())) + 2);
    QVERIFY(holds(*line, QPointF(kSpikeAt + 1, 500.0)));
}

void TestLineChartView::thinnedLinesGlideOnlyWhereTheOwnerLetsThem() {
    const auto drawLongThenShort = [](gui::LineChartView& view) {
        view.appendPoints(view.addLine(Qt::blue), longLine());
        const QChart::AnimationOptions thinned = view.chart()->animationOptions();
        view.removeAllLines();
        view.appendPoints(view.addLine(Qt::blue), {{1, 10}, {2, 30}, {3, 20}});
        return std::pair(thinned, view.chart()->animationOptions());
    };
    gui::LineChartView view;
    QCOMPARE(drawLongThenShort(view),
             std::pair(QChart::AnimationOptions(QChart::NoAnimation),
                       QChart::AnimationOptions(QChart::SeriesAnimations)));
    QVERIFY(view.renderHints().testFlag(QPainter::Antialiasing));
    // A chart painted once, as onto paper, stays still however it is drawn.
    gui::LineChartView paper;
    paper.chart()->setAnimationOptions(QChart::NoAnimation);
    QCOMPARE(drawLongThenShort(paper).second, QChart::AnimationOptions(QChart::NoAnimation));
}

QTEST_MAIN(TestLineChartView)
#include "line_chart_view_test.moc"
