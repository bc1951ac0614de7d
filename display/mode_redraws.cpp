#include "display/mode_redraws.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "display/range_view.h"
#include "keys/rel_key.h"
#include "platform/runtime.h"
#include "core/link_gate.h"

#include <array>
#include <limits>
#include <optional>

namespace display {

namespace {

using enum Lamp;

// The percent sign in positions 3 to 5 of display 2, behind three blanks
// (hold on) or three dark positions (hold redrawn).
constexpr Word kPercentBehindBlanks = {u" ", u" ", u" ", u"PSU", u"MOD", u"PSD"};
constexpr Word kPercentBehindDark = {u"", u"", u"", u"PSU", u"MOD", u"PSD"};

// The math function on display 2; any other MODE2 ("COUNT") draws nothing.
struct MathWordRow
{
    const char16_t *code;
    Word word;
};

constexpr MathWordRow kMathWords[] = {
    {u"MX+B", {u"", u"M",   u"X",   u"ADD", u"B", u""}},
    {u"1/X",  {u"", u"1",   u"MOD", u"X",   u"",  u""}},
    {u"REF%", {u"", u"PSU", u"MOD", u"PSD", u"",  u""}},
};

void zeros(DisplayModel &d, Positions row)
{
    for (int i = 0; i < DisplayModel::count(row); ++i)
        d.draw(row, i, u"0");
}

QString charAt(const QString &s, int i)
{
    return rt::mid(s, i + 1, 1).value_or(QString());
}

// The hold reference as shown: the reply without its terminator, as a
// number with two decimals ("+1.00000E-01" -> "0.10"). Nothing when the
// reply is not a number or its digits do not make a reference.
struct HoldReference
{
    QString shown;   // "0.10"
    QString digits;  // "010"
    qint16 hundredths = 0;
};

std::optional<HoldReference> holdReference(const QString &reply)
{
    const std::optional<double> value = rt::toNumber(reply.chopped(reply.isEmpty() ? 0 : 1));
    if (!value)
        return std::nullopt;
    HoldReference r;
    r.shown = rt::pattern(*value, u"0.00");
    r.digits = r.shown.left(r.shown.indexOf(u'.')) + rt::right(r.shown, 2).value_or(QString());
    const std::optional<qint32> whole = rt::toWhole(r.digits);
    if (!whole || *whole < 0 || *whole > std::numeric_limits<qint16>::max())
        return std::nullopt;
    r.hundredths = qint16(*whole);
    return r;
}

void holdOn(Panel &p)
{
    DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    s.HOLD_ON = true;
    d.setLit(HOLD_LAB, true);
    ClearSHOW2(d);
    spell(d, kPercentBehindBlanks);
    s.MODE2 = QStringLiteral("HOLD");

    std::optional<QString> reply;
    if (shell::send(p, QStringLiteral("calc:func hold\\10")))
        reply = shell::ask(p, QStringLiteral("calc:hold:ref?\\10"));
    const std::optional<HoldReference> ref = reply ? holdReference(*reply) : std::nullopt;
    if (!ref) {
        s.DISPLAY2.clear();  // nothing to show but the sign
        return;
    }

    for (int i = 0; i <= 2; ++i)
        d.setLit(Points::DROP_IMG2, i, false);
    const qsizetype point = ref->shown.indexOf(u'.') + 1;  // counted from 1
    if (point >= 2 && point < 4)
        d.setLit(Points::DROP_IMG2, int(point) - 2, true);
    s.QUERY_VALUE = ref->digits;
    s.HOLD_REF_INT = ref->hundredths;
    for (int i = 0; i <= 2; ++i)
        d.draw(Positions::DIS2_IMG, i, charAt(s.QUERY_VALUE, i));
    s.DISPLAY2 = ref->shown + QStringLiteral(" %");
}

void holdOff(Panel &p)
{
    shell::PanelState &s = p.state;
    s.HOLD_ON = false;
    p.display.setLit(HOLD_LAB, false);
    ClearSHOW2(p.display);
    shell::send(p, QStringLiteral("calc:func off\\10"));
    s.MODE2.clear();
    s.DISPLAY2.clear();
}

// The range views of both displays: display 2's first (2ND lit), then
// display 1's, each told when its range is "AUTO".
void rangeViews(Panel &p)
{
    shell::PanelState &s = p.state;
    const auto flagAuto = [&s](const QString &label) {
        if (label == QStringView(shell::kAutoRange))
            s.AUTO_RANGE_FLAG = true;
    };
    if (!s.MODE2_ON) {
        flagAuto(s.MODE1_RANGE);
        CHK_RANGE(p);
        return;
    }
    flagAuto(s.MODE2_RANGE);
    p.display.setLit(ND2_LAB, true);
    CHK_RANGE(p);
    flagAuto(s.MODE1_RANGE);
    p.display.setLit(ND2_LAB, false);
    CHK_RANGE(p);
}

// The marks of math, dBm, dB, MAX/MIN and REL, whichever are on.
void functionMarks(Panel &p)
{
    DisplayModel &d = p.display;
    const shell::PanelState &s = p.state;
    if (s.MATH_ON) {
        d.setLit(MATH_LAB, true);
        for (const MathWordRow &row : kMathWords)
            if (s.MODE2 == QStringView(row.code))
                spell(d, row.word);
    }
    if (s.dBm_ON) {
        ClearDIS1(d);
        d.setLit(Points::DROP_IMG, 3, true);
        zeros(d, Positions::DIS1_IMG);
    }
    if (s.dB_ON) {
        d.setLit(Points::DROP_IMG, 3, true);
        d.setLit(T_dB_LAB, true);
        d.setLit(Points::DROP_IMG2, 2, true);
        d.setLit(T_V_LAB2, true);
        zeros(d, Positions::DIS2_IMG);
    }
    if (s.MXMN_ON)
        d.setLit(s.MIN_SEL ? MIN_LAB : MAX_LAB, true);
    if (s.REL_ON) {
        d.setLit(AUTO_LAB1, false);
        keys::REL_NUM_CHK(p);
    }
}

} // namespace

void HOLD_2ND_DISP(Panel &p)
{
    DisplayModel::Batch batch(p.display);
    if (p.display.isLit(HOLD_LAB))
        holdOff(p);
    else
        holdOn(p);
}

void SENSOR_RANGE_CHK(Panel &p)
{
    DisplayModel::Batch batch(p.display);
    rangeViews(p);
    if (p.state.HOLD_ON)
        HOLD_2ND_DISP(p);
    functionMarks(p);
}

void FILT_RANGE_CHK(Panel &p)
{
    DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    DisplayModel::Batch batch(d);
    s.FILT_SET = false;
    p.timers.IMG_Timer.setEnabled(false);
    d.setLit(Points::DROP_IMG, 6, false);
    d.setLit(Points::DROP_IMG, 2, false);
    d.setLit(Positions::DIS1_IMG, 0, false);

    rangeViews(p);
    if (s.HOLD_ON) {
        // Drawn from the stored reference: the filter menu asks nothing.
        d.setLit(Points::DROP_IMG, 3, true);
        d.setLit(HOLD_LAB, true);
        spell(d, kPercentBehindDark);
        const QString t = rt::pattern(s.HOLD_REF_INT, u"00");
        d.draw(Positions::DIS2_IMG, 0, charAt(t, 0));
        d.draw(Positions::DIS2_IMG, 1, charAt(t, 1));
    }
    functionMarks(p);

    if (s.READ_PAUSED) {
        p.timers.READ_Timer.setEnabled(true);
        p.timers.STOP_Timer.setEnabled(true);
        s.READ_PAUSED = false;
    }
}

} // namespace display
