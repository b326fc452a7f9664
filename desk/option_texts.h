// The items of the calculation window's five option groups, in order, as the
// window shows them: spelled once for the window and for the report, which
// tells the chosen item in the window's own words.
#pragma once

#include "desk/calculation_options.h"

#include <array>
#include <span>

namespace desk {

namespace option_text {
inline constexpr std::array<const char*, 2> kPreRelease = {"ZAVŘENÉ - bez předpouštění",
                                                           "OTEVŘENÉ - s předpouštěním"};
inline constexpr std::array<const char*, 2> kAfterFlood = {"ZAVŘENÉ - neprázdním",
                                                           "OTEVŘENÉ - prázdním nádrž"};
inline constexpr std::array<const char*, 3> kAboveCrest = {
    "Výpusti OTEVŘENÉ (nedoporučuje se u velkých nádrží), (buď takto zůstaly nebo otevřeny v 1 "
    "kroku)",
    "Výpusti ZAVŘENÉ  (buď takto zůstaly nebo otevřeny v 1 kroku)",
    "Budu průběžně manipulovat (při povodni plynule ZAVŘU a po povodni plynule OTEVŘU) "};
inline constexpr std::array<const char*, 2> kKeepClosed = {"Ihned OTEVŘU", "Nechám je zavřené"};
} // namespace option_text

/// The items of `group`, in the order of their index.
inline std::span<const char* const> optionItemTexts(OptionGroup group) {
    switch (group) {
    case OptionGroup::PreReleaseStorage:
    case OptionGroup::PreReleaseControlled:
        return option_text::kPreRelease;
    case OptionGroup::EmptyAfterFlood:
        return option_text::kAfterFlood;
    case OptionGroup::ManipulationMode:
        return option_text::kAboveCrest;
    case OptionGroup::KeepClosedAfterPeak:
        return option_text::kKeepClosed;
    }
    return {};
}

} // namespace desk
