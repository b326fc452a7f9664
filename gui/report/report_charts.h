// The charts of the calculation report: drawn by the front end's own
// LineChartView, as the input forms and the results window draw them, and
// painted into the report's pages as vectors from a text object of its
// document, so that they flow with the text from page to page.
#pragma once

#include "desk/report_content.h"

#include <QObject>
#include <QSizeF>
#include <QTextObjectInterface>

#include <memory>
#include <vector>

class QTextCursor;

namespace gui {

class LineChartView;

/// The report's charts, and the text object that paints them.
class ReportCharts : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    /// The text object type the document knows the charts by.
    static constexpr int kObjectType = QTextFormat::UserObject + 1;

    /// `pixelsPerMm`: the report's device pixels for a millimetre of paper.
    explicit ReportCharts(double pixelsPerMm, QObject* parent = nullptr);
    ~ReportCharts() override;

    /// Inserts a chart `widthMm` x `heightMm` of paper at the cursor and
    /// returns its view, sized like a window's chart of that shape, so that
    /// its type stands to the chart as on the screen.
    LineChartView& insert(QTextCursor& cursor, double widthMm, double heightMm);
    /// Lets every chart finish laying out what it was given; before painting.
    void settle();

    // The report's charts, each filled into a fresh view.
    static void drawFloodWave(LineChartView& chart, const std::vector<desk::ReportNumber>& wave);
    static void drawCurveVolumes(LineChartView& chart,
                                 const std::vector<std::vector<desk::ReportNumber>>& curve);
    static void drawCurveAreas(LineChartView& chart,
                               const std::vector<std::vector<desk::ReportNumber>>& curve);
    static void drawFlows(LineChartView& chart, const desk::ReportContent& report);
    static void drawLevels(LineChartView& chart, const desk::ReportContent& report);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    double m_pixelsPerMm;
    std::vector<std::unique_ptr<LineChartView>> m_charts;
};

} // namespace gui
