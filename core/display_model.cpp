#include "core/display_model.h"

#include <QMetaMethod>


#include <utility>

namespace display {

namespace {

struct LampRow
{
    Lamp lamp;
    const char16_t *name;
    const char16_t *caption;
};

// One row per label, in the order of Lamp.
constexpr LampRow kLamps[] = {
    {Lamp::AC_LAB1,    u"AC_LAB1",    u"AC"},
    {Lamp::DC_LAB1,    u"DC_LAB1",    u"DC"},
    {Lamp::W2_LAB1,    u"W2_LAB1",    u"2W"},
    {Lamp::W4_LAB1,    u"W4_LAB1",    u"4W"},
    {Lamp::AUTO_LAB1,  u"AUTO_LAB1",  u"AUTO"},
    {Lamp::T_V_LAB1,   u"T_V_LAB1",   u"V"},
    {Lamp::T_A_LAB1,   u"T_A_LAB1",   u"A"},
    {Lamp::T_R_LAB1,   u"T_R_LAB1",   u"\u03A9"},
    {Lamp::T_Hz_LAB1,  u"T_Hz_LAB1",  u"Hz"},
    {Lamp::T_S_LAB1,   u"T_S_LAB1",   u"S"},
    {Lamp::T_C_LAB1,   u"T_C_LAB1",   u"\u00B0C"},
    {Lamp::T_F_LAB1,   u"T_F_LAB1",   u"\u00B0F"},
    {Lamp::T_W_LAB1,   u"T_W_LAB1",   u"W"},
    {Lamp::T_dBm_LAB1, u"T_dBm_LAB1", u"m"},  // reads "dBm" after the shared "dB"
    {Lamp::T_u_LAB1,   u"T_u_LAB1",   u"u"},
    {Lamp::T_min_LAB1, u"T_min_LAB1", u"m"},
    {Lamp::T_K_LAB1,   u"T_K_LAB1",   u"k"},
    {Lamp::T_M_LAB1,   u"T_M_LAB1",   u"M"},
    {Lamp::AC_LAB2,    u"AC_LAB2",    u"AC"},
    {Lamp::DC_LAB2,    u"DC_LAB2",    u"DC"},
    {Lamp::W2_LAB2,    u"W2_LAB2",    u"2W"},
    {Lamp::W4_LAB2,    u"W4_LAB2",    u"4W"},
    {Lamp::AUTO_LAB2,  u"AUTO_LAB2",  u"AUTO"},
    {Lamp::T_V_LAB2,   u"T_V_LAB2",   u"V"},
    {Lamp::T_A_LAB2,   u"T_A_LAB2",   u"A"},
    {Lamp::T_R_LAB2,   u"T_R_LAB2",   u"\u03A9"},
    {Lamp::T_Hz_LAB2,  u"T_Hz_LAB2",  u"Hz"},
    {Lamp::T_S_LAB2,   u"T_S_LAB2",   u"S"},
    {Lamp::T_C_LAB2,   u"T_C_LAB2",   u"\u00B0C"},
    {Lamp::T_F_LAB2,   u"T_F_LAB2",   u"\u00B0F"},
    {Lamp::T_W_LAB2,   u"T_W_LAB2",   u"W"},
    {Lamp::T_dBm_LAB2, u"T_dBm_LAB2", u"dBm"},
    {Lamp::T_u_LAB2,   u"T_u_LAB2",   u"u"},
    {Lamp::T_min_LAB2, u"T_min_LAB2", u"m"},
    {Lamp::T_K_LAB2,   u"T_K_LAB2",   u"k"},
    {Lamp::T_M_LAB2,   u"T_M_LAB2",   u"M"},
    {Lamp::HOLD_LAB,   u"HOLD_LAB",   u"HOLD"},
    {Lamp::REL_LAB,    u"REL_LAB",    u"REL"},
    {Lamp::MIN_LAB,    u"MIN_LAB",    u"MIN"},
    {Lamp::MAX_LAB,    u"MAX_LAB",    u"MAX"},
    {Lamp::MATH_LAB,   u"MATH_LAB",   u"MATH"},
    {Lamp::COMP_LAB,   u"COMP_LAB",   u"COMP"},
    {Lamp::ND2_LAB,    u"ND2_LAB",    u"2ND"},
    {Lamp::T_dB_LAB,   u"T_dB_LAB",   u"dB"},
    {Lamp::T_PS_LAB,   u"T_PS_LAB",   u"%"},
    {Lamp::STO_LAB,    u"STO_LAB",    u"STO"},
    {Lamp::RCL_LAB,    u"RCL_LAB",    u"RCL"},
    {Lamp::LIMIT_LAB,  u"LIMIT_LAB",  u"LIMIT"},
    {Lamp::ERR_LAB,    u"ERR_LAB",    u"ERR"},
    {Lamp::SHIFT_LAB,  u"SHIFT_LAB",  u"SHIFT"},
    {Lamp::SWEEP_LAB,  u"SWEEP_LAB",  u"SWEEP"},
    {Lamp::CC_LAB,     u"CC_LAB",     u"CC"},
    {Lamp::CV_LAB,     u"CV_LAB",     u"CV"},
    {Lamp::OUT_LAB,    u"OUT_LAB",    u"OUT"},
    {Lamp::REAR_LAB,   u"REAR_LAB",   u"REAR"},
    {Lamp::EXT_LAB,    u"EXT_LAB",    u"EXT"},
    {Lamp::START_LAB,  u"START_LAB",  u"*"},
    {Lamp::RMT_LAB,    u"RMT_LAB",    u"RMT"},
    {Lamp::FILT_LAB,   u"FILT_LAB",   u"FILT"},
    {Lamp::S_LAB,      u"S_LAB",      u"S"},
    {Lamp::M_LAB,      u"M_LAB",      u"M"},
    {Lamp::F_LAB,      u"F_LAB",      u"F"},
};

constexpr bool rowsFollowLamps()
{
    int index = 0;
    for (const LampRow &row : kLamps)
        if (int(row.lamp) != index++)
            return false;
    return index == kLampCount;
}
static_assert(rowsFollowLamps(), "kLamps needs one row per Lamp, in order");

const LampRow &rowOf(Lamp lamp)
{
    return kLamps[std::size_t(lamp)];
}

constexpr char16_t kStartGlyph[] = u"STA";  // all segments: the panel as it opens

const Position kNoPosition{};

} // namespace

QStringView lampName(Lamp lamp)
{
    return QStringView(rowOf(lamp).name);
}

QString designedCaption(Lamp lamp)
{
    return QString::fromUtf16(rowOf(lamp).caption);
}

DisplayModel::Batch::Batch(DisplayModel &model)
    : m_model(model)
{
    ++m_model.m_batchDepth;
}

DisplayModel::Batch::~Batch()
{
    if (--m_model.m_batchDepth == 0 && m_model.m_pending) {
        m_model.m_pending = false;
        if (m_model.m_listening)
            emit m_model.changed();
    }
}

DisplayModel::DisplayModel()
{
    for (Position &p : m_dis1)
        p = {QString::fromUtf16(kStartGlyph), true};
    for (Position &p : m_dis2)
        p = {QString::fromUtf16(kStartGlyph), true};
    m_drop.fill(true);
    m_drop[6] = false;
    m_drop2.fill(true);
    m_symbols.fill(true);
    m_lamps.fill(true);
    for (int i = 0; i < kLampCount; ++i)
        m_captions[std::size_t(i)] = designedCaption(Lamp(i));
}

int DisplayModel::count(Positions row)
{
    return row == Positions::DIS1_IMG ? kDisplay1Positions : kDisplay2Positions;
}

int DisplayModel::count(Points row)
{
    return row == Points::DROP_IMG ? kDisplay1Points : kDisplay2Points;
}

const Position *DisplayModel::positionAt(Positions row, int index) const
{
    if (index < 0 || index >= count(row))
        return nullptr;
    return row == Positions::DIS1_IMG ? &m_dis1[std::size_t(index)] : &m_dis2[std::size_t(index)];
}

Position *DisplayModel::positionAt(Positions row, int index)
{
    return const_cast<Position *>(std::as_const(*this).positionAt(row, index));
}

const bool *DisplayModel::pointAt(Points row, int index) const
{
    if (index < 0 || index >= count(row))
        return nullptr;
    return row == Points::DROP_IMG ? &m_drop[std::size_t(index)] : &m_drop2[std::size_t(index)];
}

bool *DisplayModel::pointAt(Points row, int index)
{
    return const_cast<bool *>(std::as_const(*this).pointAt(row, index));
}

const Position &DisplayModel::position(Positions row, int index) const
{
    const Position *p = positionAt(row, index);
    return p ? *p : kNoPosition;
}

bool DisplayModel::isLit(Points row, int index) const
{
    const bool *point = pointAt(row, index);
    return point && *point;
}

bool DisplayModel::isLit(Symbol symbol) const
{
    return m_symbols[std::size_t(symbol)];
}

bool DisplayModel::isLit(Lamp lamp) const
{
    return m_lamps[std::size_t(lamp)];
}

void DisplayModel::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&DisplayModel::changed))
        m_listening = true;
}

void DisplayModel::disconnectNotify(const QMetaMethod &)
{
    m_listening = isSignalConnected(QMetaMethod::fromSignal(&DisplayModel::changed));
}

void DisplayModel::touch()
{
    ++m_revision;
    if (m_batchDepth > 0)
        m_pending = true;
    else if (m_listening)
        emit changed();
}

void DisplayModel::setFlag(bool &flag, bool lit)
{
    if (flag == lit)
        return;
    flag = lit;
    touch();
}

void DisplayModel::draw(Positions row, int index, QStringView glyph)
{
    if (glyph.isEmpty()) {
        setLit(row, index, false);
        return;
    }
    Position *p = positionAt(row, index);
    if (!p || (p->lit && p->glyph == glyph))
        return;
    p->glyph = glyph.toString();
    p->lit = true;
    touch();
}

void DisplayModel::setGlyph(Positions row, int index, QStringView glyph)
{
    Position *p = positionAt(row, index);
    if (!p || p->glyph == glyph)
        return;
    p->glyph = glyph.toString();
    touch();
}

void DisplayModel::setLit(Positions row, int index, bool lit)
{
    if (Position *p = positionAt(row, index))
        setFlag(p->lit, lit);
}

void DisplayModel::setLit(Points row, int index, bool lit)
{
    bool *point = pointAt(row, index);
    if (!point)
        return;
    // A number has one decimal point: lighting one puts out the others of
    // its display. The mid-height dot is no decimal point and stays apart.
    const int decimals = count(row) - 1;
    if (lit && index < decimals) {
        Batch batch(*this);
        for (int k = 0; k < decimals; ++k)
            setFlag(*pointAt(row, k), k == index);
        return;
    }
    setFlag(*point, lit);
}

void DisplayModel::setLit(Symbol symbol, bool lit)
{
    setFlag(m_symbols[std::size_t(symbol)], lit);
}

void DisplayModel::setLit(Lamp lamp, bool lit)
{
    setFlag(m_lamps[std::size_t(lamp)], lit);
}

void DisplayModel::setAllLit(bool lit)
{
    Batch batch(*this);
    for (Position &p : m_dis1)
        setFlag(p.lit, lit);
    for (Position &p : m_dis2)
        setFlag(p.lit, lit);
    for (int i = 0; i < kDisplay1Points - 1; ++i)  // not the filter dot
        setFlag(m_drop[std::size_t(i)], lit);
    for (bool &point : m_drop2)
        setFlag(point, lit);
    for (bool &symbol : m_symbols)
        setFlag(symbol, lit);
    for (bool &lamp : m_lamps)
        setFlag(lamp, lit);
}

std::optional<int> DisplayModel::firstLitPoint(Points row, int last) const
{
    for (int k = 0; k <= last && k < count(row); ++k)
        if (isLit(row, k))
            return k;
    return std::nullopt;
}

void DisplayModel::showSame(const DisplayModel &other)
{
    if (&other == this)
        return;
    m_dis1 = other.m_dis1;
    m_dis2 = other.m_dis2;
    m_drop = other.m_drop;
    m_drop2 = other.m_drop2;
    m_symbols = other.m_symbols;
    m_lamps = other.m_lamps;
    touch();
}

void DisplayModel::setCaption(Lamp lamp, const QString &caption)
{
    QString &current = m_captions[std::size_t(lamp)];
    if (current == caption)
        return;
    current = caption;
    touch();
}

} // namespace display
