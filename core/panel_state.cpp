#include "core/panel_state.h"

#include <algorithm>

namespace shell {

namespace {

bool listed(std::span<const std::u16string_view> table, QStringView text)
{
    return std::any_of(table.begin(), table.end(),
                       [text](std::u16string_view entry) { return text == QStringView(entry); });
}

// Which functions range over which labels; the rest have no fixed ranges.
struct FunctionRanges
{
    std::u16string_view function;
    std::span<const std::u16string_view> labels;
};

constexpr FunctionRanges kFunctionRanges[] = {
    {u"ACV", kAcVoltRanges},
    {u"DCV", kDcVoltRanges},
    {u"ACI", kCurrentRanges},
    {u"DCI", kCurrentRanges},
    {u"2W",  kOhmRanges},
    {u"4W",  kOhmRanges},
};

} // namespace

bool isFunctionCode1(QStringView text)
{
    return listed(kFunctionCodes1, text);
}

bool isMeasureCode2(QStringView text)
{
    return listed(kMeasureCodes2, text);
}

bool isFunctionCode2(QStringView text)
{
    return listed(kMeasureCodes2, text) || listed(kViewCodes2, text);
}

bool isRangeLabel(QStringView text)
{
    return text == QStringView(kAutoRange) || listed(kAcVoltRanges, text)
        || listed(kDcVoltRanges, text) || listed(kCurrentRanges, text) || listed(kOhmRanges, text);
}

std::span<const std::u16string_view> rangeLabelsOf(QStringView functionCode)
{
    for (const FunctionRanges &row : kFunctionRanges)
        if (functionCode == QStringView(row.function))
            return row.labels;
    return {};
}

} // namespace shell
