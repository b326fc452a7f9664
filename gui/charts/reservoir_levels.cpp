// The reservoir's levels drawn on a chart of water levels.
#include "gui/charts/reservoir_levels.h"

#include "desk/typed_number.h"
#include "gui/charts/line_chart_view.h"

#include <QColor>
#include <QString>

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

QString metres(double level) {
    return QString::fromStdString(desk::displayNumber(level, 3)) + " m";
}

} // namespace

void drawReservoirLevels(LineChartView& chart, const project_files::ReservoirLevels& levels,
                         double fromX, double toX) {
    const auto draw = [&](const std::optional<double>& level, const char* name,
                          const QColor& colour) {
        if (level)
            chart.addHorizontalLine(*level, fromX, toX, colour,
                                    QString("%1 %2").arg(name, metres(*level)));
    };
    draw(levels.storageTop, "RO", QColor(0, 128, 0));
    draw(levels.crest, "RN", QColor(214, 110, 0));
    draw(levels.overtopping, "přelití", QColor(200, 0, 0));
}

void markHighestLevel(LineChartView& chart, const std::vector<desk::ChartPoint>& levels,
                      const QColor& colour) {
    if (levels.empty()) return;
    const auto highest = std::max_element(
        levels.begin(), levels.end(),
        [](const desk::ChartPoint& a, const desk::ChartPoint& b) { return a.y < b.y; });
    chart.markPoint(QPointF(highest->x, highest->y), colour,
                    "max. " + metres(highest->y) +
                        QString(" v kroku %1").arg(std::lround(highest->x)));
}

} // namespace gui
