#include "display/glyph_words.h"

#include <algorithm>
#include <array>
#include <span>

namespace display {

namespace {

using enum Lamp;

// ---- Label groups.

constexpr Lamp kMode1[] = {AC_LAB1, DC_LAB1, W2_LAB1, W4_LAB1, AUTO_LAB1};
constexpr Lamp kUnits1[] = {T_C_LAB1, T_F_LAB1, T_S_LAB1, T_W_LAB1, T_M_LAB1, T_K_LAB1, T_R_LAB1,
                            T_Hz_LAB1, T_min_LAB1, T_u_LAB1, T_V_LAB1, T_A_LAB1, T_dBm_LAB1};
constexpr Lamp kMode2[] = {AC_LAB2, DC_LAB2, W2_LAB2, W4_LAB2, AUTO_LAB2};
// Display 2's unit labels but its dBm label: display 2's own blanking
// leaves that one lit.
constexpr Lamp kUnits2ButDbm[] = {T_C_LAB2, T_F_LAB2, T_S_LAB2, T_W_LAB2, T_M_LAB2, T_K_LAB2,
                                  T_R_LAB2, T_Hz_LAB2, T_min_LAB2, T_u_LAB2, T_V_LAB2, T_A_LAB2};
constexpr Lamp kDbm2[] = {T_dBm_LAB2};

// Shared labels blanked with everything; MIN, MAX, FILT, RMT and the rate
// lamps stay lit.
constexpr Lamp kSharedAll[] = {HOLD_LAB, REL_LAB, T_dB_LAB, MATH_LAB, COMP_LAB, T_PS_LAB,
                               ND2_LAB, STO_LAB, RCL_LAB, LIMIT_LAB, ERR_LAB, SHIFT_LAB,
                               EXT_LAB, SWEEP_LAB, CC_LAB, CV_LAB, OUT_LAB, REAR_LAB, START_LAB};
// Shared labels blanked with display 1: MIN and MAX go too, while 2ND, EXT,
// FILT, RMT and the rate lamps stay lit.
constexpr Lamp kShared1[] = {HOLD_LAB, REL_LAB, MIN_LAB, MAX_LAB, T_dB_LAB, MATH_LAB, COMP_LAB,
                             T_PS_LAB, STO_LAB, RCL_LAB, LIMIT_LAB, ERR_LAB, SHIFT_LAB,
                             SWEEP_LAB, CC_LAB, CV_LAB, OUT_LAB, REAR_LAB, START_LAB};
constexpr Lamp kShared2[] = {START_LAB};

// ---- What each blanking darkens. A display's "digits" are all its
// positions with points 0..5: on display 1 that leaves out the filter dot.

struct Blanking
{
    bool digits1;
    bool digits2;
    bool symbols;  // DIODE_IMG and CONTINU_IMG
    std::array<std::span<const Lamp>, 6> labels;
};

constexpr Blanking kShowAll = {true, true, true,
                               {kMode1, kUnits1, kMode2, kUnits2ButDbm, kDbm2, kSharedAll}};
constexpr Blanking kShow1 = {true, false, true, {kMode1, kUnits1, kShared1}};
constexpr Blanking kShow2 = {false, true, false, {kMode2, kUnits2ButDbm, kShared2}};
constexpr Blanking kDis1 = {true, false, false, {}};
constexpr Blanking kDis2 = {false, true, false, {}};

constexpr int kBlankedPoints = 6;  // DROP_IMG(0..5), DROP_IMG2(0..5)

void blank(DisplayModel &model, const Blanking &what)
{
    DisplayModel::Batch batch(model);
    const auto darkenDigits = [&model](Positions positions, Points points) {
        for (int i = 0; i < DisplayModel::count(positions); ++i)
            model.setLit(positions, i, false);
        for (int i = 0; i < kBlankedPoints; ++i)
            model.setLit(points, i, false);
    };
    if (what.digits1)
        darkenDigits(Positions::DIS1_IMG, Points::DROP_IMG);
    if (what.digits2)
        darkenDigits(Positions::DIS2_IMG, Points::DROP_IMG2);
    if (what.symbols) {
        model.setLit(Symbol::DIODE_IMG, false);
        model.setLit(Symbol::CONTINU_IMG, false);
    }
    for (std::span<const Lamp> group : what.labels)
        for (Lamp lamp : group)
            model.setLit(lamp, false);
}

// ---- Fixed forms: one glyph per position; nullptr leaves the position as
// it is, "" darkens it.

struct FixedForm
{
    Positions row;
    std::array<const char16_t *, kDisplay1Positions> glyphs;
};

constexpr FixedForm kOpen1 = {Positions::DIS1_IMG, {nullptr, nullptr, u"O", u"P", u"E", u"N", nullptr}};
constexpr FixedForm kOpen2 = {Positions::DIS2_IMG, {nullptr, nullptr, u"O", u"P", u"E", u"N"}};
constexpr FixedForm kOl1   = {Positions::DIS1_IMG, {u"", u"", u"", u"O", u"L", u"", u""}};
constexpr FixedForm kOl2   = {Positions::DIS2_IMG, {u"", u"", u"O", u"L", u"", u""}};

void drawForm(DisplayModel &model, const FixedForm &form)
{
    DisplayModel::Batch batch(model);
    for (int i = 0; i < DisplayModel::count(form.row); ++i)
        if (const char16_t *glyph = form.glyphs[std::size_t(i)])
            model.draw(form.row, i, QStringView(glyph));
}

void spellRow(DisplayModel &model, Positions row, std::initializer_list<QStringView> glyphs)
{
    DisplayModel::Batch batch(model);
    int i = 0;
    for (QStringView glyph : glyphs)
        model.draw(row, i++, glyph);
}

} // namespace

bool isGlyphName(QStringView name)
{
    return std::any_of(std::begin(kGlyphNames), std::end(kGlyphNames), [name](std::u16string_view g) {
        return name.compare(QStringView(g), Qt::CaseInsensitive) == 0;
    });
}

void DIS1_SHOW_RANGE(DisplayModel &model, QStringView DIS1_0, QStringView DIS1_1,
                     QStringView DIS1_2, QStringView DIS1_3, QStringView DIS1_4,
                     QStringView DIS1_5, QStringView DIS1_6)
{
    spellRow(model, Positions::DIS1_IMG, {DIS1_0, DIS1_1, DIS1_2, DIS1_3, DIS1_4, DIS1_5, DIS1_6});
}

void DIS2_SHOW_RANGE(DisplayModel &model, QStringView DIS2_0, QStringView DIS2_1,
                     QStringView DIS2_2, QStringView DIS2_3, QStringView DIS2_4,
                     QStringView DIS2_5)
{
    spellRow(model, Positions::DIS2_IMG, {DIS2_0, DIS2_1, DIS2_2, DIS2_3, DIS2_4, DIS2_5});
}

void ClearSHOW_ALL(DisplayModel &model) { blank(model, kShowAll); }
void ClearSHOW1(DisplayModel &model) { blank(model, kShow1); }
void ClearSHOW2(DisplayModel &model) { blank(model, kShow2); }
void ClearDIS1(DisplayModel &model) { blank(model, kDis1); }
void ClearDIS2(DisplayModel &model) { blank(model, kDis2); }

void SHOW_OPEN(DisplayModel &model) { drawForm(model, kOpen1); }
void SHOW_OPEN2(DisplayModel &model) { drawForm(model, kOpen2); }
void SHOW_OL(DisplayModel &model) { drawForm(model, kOl1); }
void SHOW_OL2(DisplayModel &model) { drawForm(model, kOl2); }

void spell(DisplayModel &model, const Word &w)
{
    DIS2_SHOW_RANGE(model, w[0], w[1], w[2], w[3], w[4], w[5]);
}

void spell(DisplayModel &model, const Word1 &w)
{
    DIS1_SHOW_RANGE(model, w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
}

bool hasGlyphs(const Word &word)
{
    for (const std::u16string_view glyph : word)
        if (!glyph.empty())
            return true;
    return false;
}

} // namespace display
