#include "reading/interpretation.h"

#include "core/panel.h"
#include "reading/db_results.h"
#include "reading/display1_reading.h"
#include "reading/display2_reading.h"
#include "reading/math_results.h"
#include "reading/reading_rows.h"
#include "reading/reply_text.h"

namespace reading {

namespace {

// Fewer characters than this are no reading ("\r" alone, ",\r", "1\r").
constexpr qsizetype kShortestReading = 3;

} // namespace

std::optional<QString> acceptReply(Panel &p, const QString &reply)
{
    shell::PanelState &s = p.state;
    if (!reply.isEmpty())
        s.LAST_REPLY = reply;
    if (s.LAST_REPLY.size() >= kShortestReading)
        return s.LAST_REPLY;
    s.READ_OK = false;
    s.DISPLAY1 = QStringLiteral("0.000000");
    if (s.MODE2_ON)
        s.DISPLAY2 = QStringLiteral("0.00000");
    return std::nullopt;
}

void interpretReply(Panel &p, QStringView reply)
{
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(p.display);
    const ReplyFields fields = splitReply(reply);
    s.READ_OK = true;

    if (s.dBm_ON) {
        dBm_C_ENTER(p, fields.display1);
        if (!s.MXMN_ON)
            return;
    } else if (s.dB_ON) {
        dB_C_ENTER(p, fields.display1, fields.display2);
        return;
    } else {
        showDisplay1Reading(p, fields.display1, reply);
        if (s.DISPLAY1.size() > kLongestDisplay1)
            s.DISPLAY1 = kDetect;
    }
    if (s.DIS1_OL)
        s.DISPLAY2.clear();
    if (showMathAndCompare(p, fields.display1) == Interpretation::Ends)
        return;
    showDisplay2Reading(p, fields.display2);
}

} // namespace reading
