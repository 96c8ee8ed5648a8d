#include "settings/slider_scale.h"

namespace dashcam {

std::optional<std::uint32_t> SliderScale::StoredValue(int position) const {
    if (position < minimum || position > maximum)
        return std::nullopt;
    const auto index = static_cast<std::size_t>(position - minimum);
    if (values.empty())
        return static_cast<std::uint32_t>(position);
    return index < values.size() ? std::optional(values[index]) : std::nullopt;
}

std::optional<int> SliderScale::PositionOf(std::uint32_t value) const {
    for (int p = minimum; p <= maximum; ++p)
        if (StoredValue(p) == value)
            return p;
    return std::nullopt;
}

int SliderScale::ShownPosition(std::uint32_t value) const {
    if (values.empty())
        return static_cast<int>(value);
    if (std::optional<int> position = PositionOf(value))
        return *position;
    return value == 0 ? minimum - 1 : maximum + 1;
}

std::string SliderScale::ValueText(int position) const {
    const auto index = static_cast<std::size_t>(position - minimum);
    if (position >= minimum && index < decivolts.size())
        return std::to_string(decivolts[index] / 10) + "." + std::to_string(decivolts[index] % 10);
    if (!values.empty())
        if (std::optional<std::uint32_t> value = StoredValue(position))
            return std::to_string(*value);
    return std::to_string(position);
}

std::string SliderScale::TickText(int position) const {
    if (!decivolts.empty())
        return ValueText(position) + (position == maximum ? "V " : "V");
    if (!values.empty() && StoredValue(position) == 0u)
        return "OFF";
    return ValueText(position);
}

} // namespace dashcam
