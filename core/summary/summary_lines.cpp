// The run summary: the figures that decide about a flood, computed from the
// series of one run and laid out as the lines of OUT_RESULT/souhrn_vypoctu.
#include "core/summary/summary_lines.h"

#include "exchange/run_summary.h"

#include <cstdio>
#include <cstdlib>

namespace veldron {

namespace {

namespace label = exchange::summary;

// Values start in this column (counted in characters, not bytes); numbers
// stand right-aligned in a field of kNumberWidth before their unit.
constexpr std::size_t kValueColumn = 24;
constexpr std::size_t kNumberWidth = 10;

std::size_t characters(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

// A number with a decimal point whatever the locale; never "-0.000".
std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string steps(std::int64_t count) {
    const std::int64_t n = std::llabs(count);
    const char* word = n == 1 ? "krok" : (n >= 2 && n <= 4 ? "kroky" : "kroků");
    return std::to_string(count) + " " + word;
}

class Lines {
public:
    // "<label>:<blanks><value>[ <rest>]", the value right-aligned as a number.
    void number(const char* name, const std::string& value, const std::string& rest) {
        std::string padded = value;
        if (padded.size() < kNumberWidth) padded.insert(0, kNumberWidth - padded.size(), ' ');
        text(name, padded + (rest.empty() ? "" : " " + rest));
    }
    void text(const char* name, const std::string& value) {
        std::string line = std::string(name) + ":";
        const std::size_t width = characters(line);
        line.append(width < kValueColumn ? kValueColumn - width : 1, ' ');
        m_lines.push_back(line + value);
    }
    std::vector<std::string> take() { return std::move(m_lines); }

private:
    std::vector<std::string> m_lines;
};

// The first step holding the largest value of a series (1-based).
std::size_t firstPeak(std::span<const float> series) {
    std::size_t peak = 0;
    for (std::size_t i = 1; i < series.size(); ++i)
        if (series[i] > series[peak]) peak = i;
    return peak + 1;
}

std::string stopText(const ErrorExit& stop) {
    const std::string step = " v kroku " + std::to_string(stop.step);
    switch (stop.kind) {
    case ErrorExit::CrestGridOffCurve:
        return "ERROR 1";
    case ErrorExit::StartLevelOffCurve:
        return "ERROR 2";
    case ErrorExit::StepLevelOffCurve:
        return "ERROR 3" + step;
    case ErrorExit::Overtopping:
        return "přelití nádrže" + step;
    }
    return "";
}

// The peak of every inflow value given, when the run stopped before routing them all.
void floodPeak(const RunFigures& run, Lines& out) {
    if (!run.stop || run.flood.empty()) return;
    const std::size_t peak = firstPeak(run.flood);
    out.number(label::kFloodPeak, fixed(run.flood[peak - 1], 3),
               "m3/s v kroku " + std::to_string(peak));
}

// The freeboard left below the overtopping level, as far as the run can tell.
void freeboard(const RunFigures& run, double overtopping, double highest, Lines& out) {
    const std::string step = run.stop ? std::to_string(run.stop->step) : "";
    if (run.stop && run.stop->kind == ErrorExit::Overtopping)
        out.text(label::kFreeboard, "žádná, nádrž přelita v kroku " + step);
    else if (run.stop && run.stop->kind == ErrorExit::StepLevelOffCurve)
        out.text(label::kFreeboard, "neurčena, výpočet zastaven v kroku " + step);
    else
        out.number(label::kFreeboard, fixed(overtopping - highest, 3), "m");
}

// A figure as printed, read back: the lines below are differences of
// printed figures, so they add up to the printed digit.
double printed(double value, int decimals) {
    return std::strtod(fixed(value, decimals).c_str(), nullptr);
}

// The volumes of steps 1 ... n and their balance against the curve: what
// they brought in and let out against the curve's volume at the level the
// last step ended at minus that at the level of step 1.
void volumes(const RunFigures& run, Lines& out) {
    const std::size_t n = run.level.size();
    const double dt = run.timeStepSeconds;
    double flood = 0, released = 0;
    for (std::size_t i = 0; i < n; ++i) {
        flood += run.inflow[i] * dt;
        released += run.outflow[i] * dt;
    }
    out.number(label::kFloodVolume, fixed(flood, 1), "m3");
    out.number(label::kReleasedVolume, fixed(released, 1), "m3");
    const double net = printed(flood, 1) - printed(released, 1);
    out.number(label::kNetInflow, fixed(net, 1), "m3");

    const std::optional<double> first =
        volumeAtLevelExact(*run.curve, run.level[0], Bracket::Inclusive);
    const std::optional<double> last =
        run.endLevel ? volumeAtLevelExact(*run.curve, *run.endLevel, Bracket::Inclusive)
                     : std::nullopt;
    if (!first || !last) return;
    const double stored = printed(*last - *first, 1);
    const double error = printed(net, 1) - stored;
    out.number(label::kStorageChange, fixed(stored, 1), "m3");
    if (flood > 0)
        out.number(label::kBalanceError, fixed(100.0 * error / flood, 4),
                   "% (" + fixed(error, 1) + " m3)");
}

// The step (1-based) of the inflow's peak that the outflow's peak at step
// `outPeak` follows: the first largest inflow since the inflow last fell
// below the outflow, up to the outflow's peak. Over a series of floods the
// reservoir lets out more than comes in between them, so each outflow peak
// is paired with its own flood.
std::size_t pairedInflowPeak(const RunFigures& run, std::size_t outPeak) {
    std::size_t start = outPeak - 1; // 0-based
    while (start > 0 && !(run.inflow[start - 1] < run.outflow[start - 1]))
        --start;
    return start + firstPeak(run.inflow.subspan(start, outPeak - start));
}

} // namespace

std::vector<std::string> summaryLines(const RunFigures& run) {
    Lines out;
    const std::size_t n = run.level.size();
    const double overtopping = static_cast<double>(run.crestHeight) + run.retentionHeight;

    out.number(label::kSteps, std::to_string(n), "z " + std::to_string(run.stepsGiven));
    out.number(label::kTimeStep, fixed(run.timeStepMinutes, 3), "min");
    if (n > 0) {
        const std::size_t inPeak = firstPeak(run.inflow);
        const std::size_t outPeak = firstPeak(run.outflow);
        const std::size_t levelPeak = firstPeak(run.level);
        const double qIn = run.inflow[inPeak - 1], qOut = run.outflow[outPeak - 1];
        const double highest = run.level[levelPeak - 1];
        const auto lag = static_cast<std::int64_t>(outPeak) -
                         static_cast<std::int64_t>(pairedInflowPeak(run, outPeak));

        out.number(label::kInflowPeak, fixed(qIn, 3), "m3/s v kroku " + std::to_string(inPeak));
        floodPeak(run, out);
        out.number(label::kOutflowPeak, fixed(qOut, 3), "m3/s v kroku " + std::to_string(outPeak));
        if (qIn > 0 && !run.stop)
            out.number(label::kAttenuation, fixed(100.0 * (1.0 - qOut / qIn), 1), "%");
        if (!run.stop)
            out.number(label::kPeakLag,
                       fixed(static_cast<double>(lag) * run.timeStepMinutes / 60.0, 3),
                       "h (" + steps(lag) + ")");
        out.number(label::kHighestLevel, fixed(highest, 3),
                   "m v kroku " + std::to_string(levelPeak));
        out.number(label::kOvertoppingLevel, fixed(overtopping, 3), "m");
        freeboard(run, overtopping, highest, out);
        volumes(run, out);
    } else {
        floodPeak(run, out);
        out.number(label::kOvertoppingLevel, fixed(overtopping, 3), "m");
    }
    if (run.stop) out.text(label::kStopped, stopText(*run.stop));
    return out.take();
}

} // namespace veldron
