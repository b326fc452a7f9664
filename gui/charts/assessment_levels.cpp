// The flood-safety assessment's chart.
#include "gui/charts/assessment_levels.h"

#include "desk/typed_number.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"

#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QPen>

#include <algorithm>

namespace gui {

namespace {

QColor caseColour(study::OutletCase outletCase) {
    switch (outletCase) {
    case study::OutletCase::All:
        return QColor(0, 0, 255);
    case study::OutletCase::OneOut:
        return QColor(150, 0, 170);
    case study::OutletCase::None:
        break;
    }
    return Qt::black;
}

} // namespace

void drawAssessmentLevels(LineChartView& chart, const study::AssessmentResult& result) {
    chart.setChartTitle("HLADINA PŘI KONTROLNÍ POVODNI");
    chart.setAxisTitles("časový krok i [-]", "Výška vody v nádrži [m]");
    const study::AssessmentPlan& plan = result.plan;
    double lastStep = 1.0;
    for (const study::CaseRouting& c : result.cases) {
        QLineSeries* line = chart.addLine(caseColour(c.outletCase));
        line->setName(study::outletCaseName(c.outletCase));
        QPen pen = line->pen();
        pen.setWidthF(c.outletCase == plan.deciding ? 2.5 : 1.2);
        line->setPen(pen);
        std::vector<desk::ChartPoint> points;
        for (std::size_t i = 0; i < c.routing.levels.size(); ++i)
            points.push_back({static_cast<double>(i + 1), c.routing.levels[i]});
        chart.appendPoints(line, points);
        lastStep = std::max(lastStep, static_cast<double>(points.size()));
    }
    chart.addHorizontalLine(plan.mbh, 1.0, lastStep, QColor(0, 140, 140),
                            "MBH " + QString::fromStdString(desk::displayNumber(plan.mbh, 3)) +
                                " m");
    drawReservoirLevels(chart, {std::nullopt, plan.crest, plan.overtopping}, 1.0, lastStep);
    if (const study::CaseRouting* deciding = result.caseOf(plan.deciding))
        if (const study::Routing& r = deciding->routing; r.highestLevel)
            chart.markPoint(QPointF(r.highestStep, *r.highestLevel), caseColour(plan.deciding),
                            "KMH " +
                                QString::fromStdString(desk::displayNumber(*r.highestLevel, 3)) +
                                " m v kroku " + QString::number(r.highestStep));
    chart.setLegendVisible(true);
    chart.chart()->legend()->setAlignment(Qt::AlignBottom);
    // The levels are labelled on the chart; the legend names the cases.
    chart.hideUnnamedFromLegend();
}

} // namespace gui
