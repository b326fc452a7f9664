// The reservoir's levels drawn on a chart of water levels.
#include "gui/charts/reservoir_levels.h"

#include "gui/charts/line_chart_view.h"
#include "gui/common/typed_number.h"

#include <QColor>
#include <QString>

namespace gui {

void drawReservoirLevels(LineChartView& chart, const exchange::ReservoirLevels& levels,
                         double fromX, double toX) {
    const auto draw = [&](const std::optional<double>& level, const char* name,
                          const QColor& colour) {
        if (level)
            chart.addHorizontalLine(
                *level, fromX, toX, colour,
                QString("%1 %2 m").arg(name, QString::fromStdString(displayNumber(*level, 3))));
    };
    draw(levels.storageTop, "RO", QColor(0, 128, 0));
    draw(levels.crest, "RN", QColor(214, 110, 0));
    draw(levels.overtopping, "přelití", QColor(200, 0, 0));
}

} // namespace gui
