// The calculation report's text as one document.
#include "gui/report/report_document.h"

#include "desk/input_fields.h"
#include "desk/project_overview.h"
#include "desk/typed_number.h"
#include "exchange/run_summary.h"
#include "gui/charts/assessment_levels.h"
#include "gui/charts/line_chart_view.h"
#include "gui/report/report_charts.h"
#include "project_files/result_files.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QStringList>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <functional>

namespace gui {

namespace {

constexpr double kChartWidthMm = 170.0;
constexpr double kChartHeightMm = 92.0;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8).toHtmlEscaped();
}

QString heading(const QString& title, bool newPage = false) {
    return QString("<h2 style=\"%1\">%2</h2>")
        .arg(newPage ? "page-break-before: always;" : "", title.toHtmlEscaped());
}

QString subheading(const QString& title) {
    return "<h3>" + title.toHtmlEscaped() + "</h3>";
}

QString paragraph(const QString& html, const QString& style = {}) {
    return "<p style=\"" + style + "\">" + html + "</p>";
}

/// A table across the page whose header row (if any) repeats on every page
/// it runs onto; the columns named in `right` are aligned to the right
/// (numbers); `widths` gives the first columns' widths ("30%").
QString table(const QStringList& headers, const std::vector<QStringList>& rows,
              const std::vector<bool>& right = {}, const QStringList& widths = {},
              const QString& style = {}) {
    const auto cell = [&](const char* tag, int column, const QString& content) {
        QString attributes = tag == QString("th") ? " bgcolor=\"#e8e8e8\"" : "";
        if (static_cast<std::size_t>(column) < right.size() && right[column])
            attributes += " align=\"right\"";
        if (column < widths.size()) attributes += " width=\"" + widths[column] + "\"";
        return QString("<%1%2>%3</%1>").arg(tag, attributes, content);
    };
    QString html = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
                   "style=\"border-collapse: collapse; border-color: #888; " +
                   style + "\">";
    if (!headers.isEmpty()) {
        html += "<thead><tr>";
        for (int c = 0; c < headers.size(); ++c)
            html += cell("th", c, headers[c]);
        html += "</tr></thead>";
    }
    for (const QStringList& row : rows) {
        html += "<tr>";
        for (int c = 0; c < row.size(); ++c)
            html += cell("td", c, row[c]);
        html += "</tr>";
    }
    return html + "</table>";
}

std::vector<QStringList> labelled(const std::vector<desk::ReportLine>& lines) {
    std::vector<QStringList> rows;
    for (const desk::ReportLine& line : lines)
        rows.push_back({text(line.label), text(line.value)});
    return rows;
}

QString titleBlock(const desk::ReportContent& report, const QString& version) {
    QString html = "<h1 align=\"center\">PROTOKOL VÝPOČTU</h1>"
                   "<p align=\"center\" style=\"font-size: 12pt;\">Transformace povodňové vlny "
                   "nádrží (Klemešovy transformační křivky)</p>";
    const std::vector<QStringList> rows = {
        {"Projekt", "<b>" + text(report.projectName) + "</b>"},
        {"Složka projektu", text(report.projectFolder)},
        {"Výsledky vypočteny", text(report.resultsTime)},
        {"Protokol vytvořen",
         QDateTime::currentDateTime().toString("d. M. yyyy H:mm").toHtmlEscaped()},
        {"Program", "VELDRON " + version.toHtmlEscaped() +
                        " (výpočetní jádro PRGVELDRON, front end Project_veldron)"}};
    html += table({}, rows, {}, {"25%"});
    if (report.stopped) {
        QString steps;
        for (const desk::ReportLine& line : report.summary)
            if (line.label == exchange::summary::kSteps) steps = text(line.value);
        html += paragraph(
            "<b>Výpočet byl zastaven: " + text(report.stopReason) +
                ".</b> Souhrn, grafy a tabulka řad platí jen pro provedené kroky" +
                (steps.isEmpty() ? QString() : " (" + steps + ")") +
                "; nádrž zadanou povodeň nepřevede. Celou povodeň uvádí oddíl Povodňová vlna.",
            "color: #b00000; font-size: 11pt;");
    }
    return html;
}

QString inputsBlock(const desk::ReportContent& report) {
    QString html = heading("1. Vstupní údaje") + subheading("1.1 Technické údaje");
    html += table({"Údaj", "Hodnota"}, labelled(report.technicalData), {false, true});
    html += subheading("1.2 Nastavení výpočtu");
    html += table({"Volba (okno Výpočet)", "Nastaveno"}, labelled(report.settings), {}, {"48%"});
    return html;
}

/// The curve's rows H, h, V, A.
QString curveTable(const desk::ReportContent& report) {
    std::vector<QStringList> rows;
    for (std::size_t r = 0; r < report.curve.size(); ++r) {
        QStringList row{QString::number(r + 1)};
        for (const desk::ReportNumber& value : report.curve[r])
            row << text(value.text);
        rows.push_back(row);
    }
    return table({"Řádek", "H [m n.m.]", "h [m]", "V [m3]", "A [m2]"}, rows,
                 {true, true, true, true, true});
}

/// A note that a long table lists every k-th step only.
QString thinnedNote(const std::vector<std::size_t>& steps, std::size_t n, const char* whole) {
    if (steps.size() >= n) return {};
    return paragraph(QString("Tabulka uvádí z %1 kroků každý %2. krok a krok poslední; všechny "
                             "kroky obsahuje %3.")
                         .arg(n)
                         .arg(steps.size() > 1 ? steps[1] - steps[0] : 1)
                         .arg(whole));
}

/// The flood wave, four pairs of step and inflow to a row.
QString floodWaveTable(const desk::ReportContent& report) {
    constexpr std::size_t kPairs = 4;
    const std::size_t n = report.floodWave.size();
    const std::vector<std::size_t> steps = tabledSteps(n);
    const std::size_t rowsNeeded = (steps.size() + kPairs - 1) / kPairs;
    std::vector<QStringList> rows;
    for (std::size_t r = 0; r < rowsNeeded; ++r) {
        QStringList row;
        for (std::size_t p = 0; p < kPairs; ++p) {
            const std::size_t i = p * rowsNeeded + r;
            row << (i < steps.size() ? QString::number(steps[i]) : QString())
                << (i < steps.size() ? text(report.floodWave[steps[i] - 1].text) : QString());
        }
        rows.push_back(row);
    }
    QStringList headers;
    for (std::size_t p = 0; p < kPairs; ++p)
        headers << "i"
                << "Q [m3/s]";
    return thinnedNote(steps, n, "formulář Povodňová vlna") +
           table(headers, rows, std::vector<bool>(2 * kPairs, true));
}

QString seriesTable(const desk::ReportContent& report) {
    const std::size_t n = report.levels.size();
    const std::vector<std::size_t> steps = tabledSteps(n);
    std::vector<QStringList> rows;
    rows.reserve(steps.size());
    const auto value = [](const std::vector<double>& series, std::size_t i, int decimals) {
        return i < series.size() ? QString::fromStdString(desk::displayNumber(series[i], decimals))
                                 : QString();
    };
    for (std::size_t step : steps)
        rows.push_back({QString::number(step),
                        QString::fromStdString(desk::displayNumber(
                            project_files::stepHours(step, report.timeStepMinutes), 2)),
                        value(report.inflow, step - 1, 3), value(report.outflow, step - 1, 3),
                        value(report.levels, step - 1, 3)});
    return thinnedNote(steps, n, "okno Výsledky") +
           table({"Krok i", "Čas t [h]", "Přítok Q [m3/s]", "Odtok Q [m3/s]", "Hladina h [m]"},
                 rows, {true, true, true, true, true});
}

QString marginBlock(const desk::KeptMargin& margin, int section) {
    QString html =
        heading(QString("%1. Bezpečnostní rezerva").arg(section)) +
        paragraph("Poslední hledání bezpečnostní rezervy v projektu (" +
                  text(desk::czechDateTime(margin.time)) + "). " + text(margin.inputs) + ".");
    if (!margin.newerInput.empty())
        html += paragraph("Pozor: " + text(desk::savedInputPlace(margin.newerInput)) +
                              " byl uložen po tomto hledání; rezerva nemusí odpovídat "
                              "vstupům tohoto protokolu.",
                          "color: #b00000;");
    for (const std::string& line : margin.answer)
        html += paragraph(text(line));
    return html;
}

QString comparisonBlock(const desk::ReportComparison& comparison, int section) {
    QStringList headers;
    for (const std::string& header : comparison.headers)
        headers << text(header);
    std::vector<QStringList> rows;
    for (const desk::ReportComparison::Row& row : comparison.rows) {
        QStringList cells{"<b>" + text(row.name) + "</b><br/><span style=\"font-size: 7pt;\">" +
                          text(row.settings) + "</span>"};
        for (std::size_t c = 0; c < row.values.size(); ++c)
            cells << (row.best[c] ? "<b>" + text(row.values[c]) + "</b>" : text(row.values[c]));
        rows.push_back(cells);
    }
    std::vector<bool> right(static_cast<std::size_t>(headers.size()), true);
    right[0] = false;
    return heading(QString("%1. Porovnání uložených variant").arg(section)) +
           paragraph("Hodnoty ze souhrnu výpočtu každé varianty; nejlepší hodnota sloupce je "
                     "vyznačena tučně.") +
           table(headers, rows, right, {"16%", "14%", "14%", "14%", "14%", "14%", "14%"},
                 "font-size: 8pt;");
}

/// A paragraph holding the charts that `draw` functions fill, side by side:
/// placeholders in the HTML, which become the charts once the text is laid
/// down (a chart is an object of the document, not HTML).
struct ChartPlace {
    double widthMm, heightMm;
    std::function<void(LineChartView&)> draw;
};

QString chartParagraph(std::vector<ChartPlace>& places, std::vector<ChartPlace> charts) {
    QString html = "<p align=\"center\">";
    for (ChartPlace& chart : charts) {
        html += QString("[[graf %1]] ").arg(places.size());
        places.push_back(std::move(chart));
    }
    return html + "</p>";
}

void insertCharts(QTextDocument& document, ReportCharts& charts, std::vector<ChartPlace>& places) {
    for (std::size_t i = 0; i < places.size(); ++i) {
        QTextCursor found = document.find(QString("[[graf %1]]").arg(i));
        if (found.isNull()) continue;
        places[i].draw(charts.insert(found, places[i].widthMm, places[i].heightMm));
    }
}

/// The flood-safety assessment: its settings, the case table, the level
/// chart and the verdict, marked when the inputs changed since.
QString assessmentBlock(const desk::KeptAssessment& kept, int section,
                        std::vector<ChartPlace>& places) {
    const study::AssessmentResult& r = kept.result;
    const QString number = QString::number(section);
    QString html =
        heading(number + ". Posouzení bezpečnosti vodního díla za povodně", true) +
        paragraph("Poslední posouzení v projektu (" + text(desk::czechDateTime(kept.time)) +
                  "): kontrolní povodeň převedená nádrží ze zadané výšky vody se "
                  "všemi spodními výpustmi, s jednou mimo provoz a bez výpustí; "
                  "nejvyšší hladina KMH porovnaná s mezní bezpečnou hladinou MBH "
                  "(ČSN 75 2935).");
    if (kept.outdated())
        html += paragraph("<b>" + text(desk::outdatedText(kept)) + "</b>", "color: #b00000;");
    std::vector<QStringList> settings;
    for (const auto& [label, value] : r.settingRows(','))
        settings.push_back({text(label), text(value)});
    std::vector<QStringList> cases;
    for (const study::CaseRouting& c : r.cases) {
        QStringList row;
        for (const std::string& cell : r.caseCells(c, ','))
            row << text(cell);
        cases.push_back(row);
    }
    QStringList headers;
    for (const std::string& header : study::AssessmentResult::caseHeaders())
        headers << text(header);
    std::vector<bool> right(static_cast<std::size_t>(headers.size()), true);
    right.front() = right.back() = false;
    html += subheading(number + ".1 Nastavení") +
            table({"Údaj", "Hodnota"}, settings, {}, {"40%"}) +
            subheading(number + ".2 Případy výpustí") +
            table(headers, cases, right, {"24%"}, "font-size: 8pt;") +
            chartParagraph(places, {{kChartWidthMm, kChartHeightMm,
                                     [&r](LineChartView& c) { drawAssessmentLevels(c, r); }}}) +
            paragraph("<b>" + text(r.sentence(',')) + "</b>", "font-size: 11pt;");
    for (const std::string& line : r.findings(','))
        html += paragraph(text(line));
    return html;
}

/// Where the first line of `block` stands in the document: a line that
/// would cross the end of a page is moved down to the next one.
double firstLineTop(QTextDocument& document, const QTextBlock& block) {
    const QRectF rect = document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    return rect.top() +
           (layout != nullptr && layout->lineCount() > 0 ? layout->lineAt(0).y() : 0.0);
}

/// A heading that would close a page, with what it heads on the next one,
/// starts that page instead.
void keepHeadingsWithTheirText(QTextDocument& document) {
    const double page = document.pageSize().height();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || !block.next().isValid()) continue;
        QTextBlock next = block.next();
        while (next.next().isValid() && next.text().isEmpty())
            next = next.next();
        const double heading = document.documentLayout()->blockBoundingRect(block).top();
        // A line moved to the next page starts on its very edge: a pixel's
        // fraction decides which page that is.
        const auto pageOf = [page](double y) { return std::floor((y + 1.0) / page); };
        if (pageOf(heading) == pageOf(firstLineTop(document, next))) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
        // Laid out anew from the top: the layout's own update of the changed
        // block now and then left the paragraphs after it on no page at all.
        document.setPageSize(document.pageSize());
    }
}

} // namespace

std::vector<std::size_t> tabledSteps(std::size_t steps) {
    std::vector<std::size_t> tabled;
    const std::size_t every =
        (steps + kMostTableRows - 1) / std::max<std::size_t>(kMostTableRows, 1);
    for (std::size_t step = 1; step <= steps; step += std::max<std::size_t>(every, 1))
        tabled.push_back(step);
    if (!tabled.empty() && tabled.back() != steps) tabled.push_back(steps);
    return tabled;
}

void buildReportDocument(QTextDocument& document, ReportCharts& charts,
                         const desk::ReportContent& report, const QString& version) {
    std::vector<ChartPlace> places;
    QString html = titleBlock(report, version) + inputsBlock(report);
    html += subheading("1.3 Batygrafická křivka");
    if (!report.curve.empty())
        html += chartParagraph(
            places, {{84.0, 70.0,
                      [&](LineChartView& c) { ReportCharts::drawCurveVolumes(c, report.curve); }},
                     {84.0, 70.0,
                      [&](LineChartView& c) { ReportCharts::drawCurveAreas(c, report.curve); }}});
    html += curveTable(report) + subheading("1.4 Povodňová vlna") +
            chartParagraph(places, {{kChartWidthMm, 70.0,
                                     [&](LineChartView& c) {
                                         ReportCharts::drawFloodWave(c, report.floodWave);
                                     }}}) +
            floodWaveTable(report);

    html +=
        heading("2. Výsledky výpočtu", true) + subheading("2.1 Souhrn výpočtu") +
        table({"Veličina", "Hodnota"}, labelled(report.summary), {false, true}, {"50%"}) +
        subheading("2.2 Průtoky: povodňová vlna a transformovaná povodeň") +
        chartParagraph(places, {{kChartWidthMm, kChartHeightMm,
                                 [&](LineChartView& c) { ReportCharts::drawFlows(c, report); }}}) +
        subheading("2.3 Výška vody v nádrži") +
        chartParagraph(places, {{kChartWidthMm, kChartHeightMm,
                                 [&](LineChartView& c) { ReportCharts::drawLevels(c, report); }}}) +
        subheading("2.4 Řady výpočtu") + seriesTable(report);

    int section = 3;
    if (report.assessment) html += assessmentBlock(*report.assessment, section++, places);
    if (report.safetyMargin) {
        html += marginBlock(*report.safetyMargin, section);
        ++section;
    }
    if (report.comparison) html += comparisonBlock(*report.comparison, section);

    document.setHtml(html);
    insertCharts(document, charts, places);
    charts.settle();
    keepHeadingsWithTheirText(document);
}

} // namespace gui
