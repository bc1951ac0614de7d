#include "core/panel_controls.h"

namespace shell {

PanelControls::PanelControls()
{
    struct Row { const char *caption; const QColor *color; };
    const Row rows[kKeyCount] = {
        {"SCAN", &kLegendGrey},   {"STEP", &kLegendGrey},     {"RECALL", &kLegendGrey},
        {"STORE", &kLegendGrey},  {"MATH", &kLegendBlue},     {"dBm", &kLegendBlue},
        {"dB", &kLegendBlue},     {"SENSOR", &kLegendBlue},   {"RATE", &kLegendBlue},
        {"V", &kLegendGrey},      {"I", &kLegendGrey},        {"COMP", &kLegendBlue},
        {"INT/EXT", &kLegendBlue}, {"REL#", &kLegendBlue},    {"FILTER", &kLegendBlue},
        {"MENU", &kLegendLightGrey},
    };
    for (int i = 0; i < kKeyCount; ++i)
        MODE_TEXT[std::size_t(i)] = {QString::fromLatin1(rows[i].caption), *rows[i].color};
    Ran_CHK.enabled = false;
}

} // namespace shell
