#include "scan/channel_table.h"

namespace scan {
namespace {

constexpr int kBankChannels = 16;  // 0..15 have partners and the full function list

bool inBank(int i) { return i >= 0 && i < kBankChannels; }
bool inBankA(int i) { return i >= 0 && i < 8; }

// Function lists, position by position; a set-up file stores the position.
constexpr const char16_t *kBankFunctions[] = {
    u"ACV", u"DCV", u"2W", u"4W", u"DIODE", u"CONTINU", u"Hz", u"P", u"TC_C", u"TC_F",
};
constexpr const char16_t *kCurrentFunctions[] = {u"ACI_2A", u"DCI_2A"};

// Range lists of the bank channels by function position, lowest range
// first; a function not in the table has the single entry "No Range".
struct RangeList
{
    int function;
    std::array<const char16_t *, 7> entries;  // nullptr past the last
};
constexpr RangeList kBankRanges[] = {
    {0, {u"100 mV", u"1 V", u"10 V", u"100 V", u"750 V"}},
    {1, {u"100 mV", u"1 V", u"10 V", u"100 V", u"1000 V"}},
    {2, {u"100", u"1 k", u"10 k", u"100 k", u"1 M", u"10 M", u"100 M"}},
    {3, {u"100", u"1 k", u"10 k", u"100 k", u"1 M", u"10 M", u"100 M"}},
};
constexpr const char16_t *kNoRange = u"No Range";
constexpr const char16_t *kCurrentRange = u"Max 2A";

// A chain of rules is a few calls deep (a lock runs the partner's rules,
// which look back at the channel once). Far deeper means rules calling each
// other in a circle: the chain stops there rather than overflow the stack.
constexpr int kDeepestChain = 64;

template <std::size_t N>
QStringList listOf(const char16_t *const (&texts)[N])
{
    QStringList list;
    for (const char16_t *text : texts)
        list.append(QString::fromUtf16(text));
    return list;
}

} // namespace

int partnerOf(int channel)
{
    if (channel >= 0 && channel < 8)
        return channel + 8;
    if (channel >= 8 && channel < kBankChannels)
        return channel - 8;
    return -1;
}

QStringList functionItems(int channel)
{
    return inBank(channel) ? listOf(kBankFunctions) : listOf(kCurrentFunctions);
}

QStringList rangeItems(int channel, int function)
{
    if (function < 0)
        return {};
    if (!inBank(channel))
        return function <= 1 ? QStringList{QString::fromUtf16(kCurrentRange)} : QStringList{};
    for (const RangeList &list : kBankRanges) {
        if (list.function == function) {
            QStringList items;
            for (const char16_t *entry : list.entries) {
                if (entry)
                    items.append(QString::fromUtf16(entry));
            }
            return items;
        }
    }
    return {QString::fromUtf16(kNoRange)};
}

// One change from outside: the signal goes once the outermost call ends.
class ChannelTable::Change
{
public:
    explicit Change(ChannelTable &table) : m_table(table) { m_table.beginChange(); }
    ~Change() { m_table.endChange(); }
    Change(const Change &) = delete;
    Change &operator=(const Change &) = delete;
    bool tooDeep() const { return m_table.m_depth > kDeepestChain; }

private:
    ChannelTable &m_table;
};

ChannelTable::ChannelTable(QObject *parent) : QObject(parent) {}

void ChannelTable::endChange()
{
    if (--m_depth == 0 && m_dirty) {
        m_dirty = false;
        emit changed();
    }
}

bool ChannelTable::showsEnabledFourWire(int i) const
{
    const ScanList &f = channel(i).MODE_Comb;
    return inBank(i) && f.index == kFourWire && f.enabled;
}

bool ChannelTable::showsLockedFourWire(int i) const
{
    const ScanList &f = channel(i).MODE_Comb;
    return inBank(i) && f.index == kFourWire && !f.enabled;
}

void ChannelTable::setOn(int i, bool on)
{
    Change change(*this);
    if (change.tooDeep() || row(i).CHN_CHK.checked == on)
        return;
    row(i).CHN_CHK.checked = on;
    m_dirty = true;
    CHN_CHK_Click(i);
}

void ChannelTable::setAuto(int i, bool autoRange)
{
    Change change(*this);
    if (change.tooDeep() || row(i).S_Auto_CHK.checked == autoRange)
        return;
    row(i).S_Auto_CHK.checked = autoRange;
    m_dirty = true;
    S_Auto_CHK_Click(i);
}

bool ChannelTable::selectFunction(int i, int position)
{
    Change change(*this);
    if (position < -1 || position >= row(i).MODE_Comb.items.size())
        return false;
    if (change.tooDeep())
        return true;
    row(i).MODE_Comb.index = position;
    m_dirty = true;
    MODE_Comb_Click(i);
    return true;
}

bool ChannelTable::selectRange(int i, int position)
{
    Change change(*this);
    if (position < -1 || position >= row(i).Combo2.items.size())
        return false;
    if (change.tooDeep())
        return true;
    row(i).Combo2.index = position;
    m_dirty = true;
    Combo2_Click(i);
    return true;
}

void ChannelTable::setFunctionEnabled(int i, bool enabled)
{
    Change change(*this);
    row(i).MODE_Comb.enabled = enabled;
    m_dirty = true;
}

void ChannelTable::setRangeEnabled(int i, bool enabled)
{
    Change change(*this);
    row(i).Combo2.enabled = enabled;
    m_dirty = true;
}

void ChannelTable::setRowEnabled(int i, bool on, bool autoBox, bool function, bool range)
{
    Change change(*this);
    ChannelRow &r = row(i);
    r.CHN_CHK.enabled = on;
    r.S_Auto_CHK.enabled = autoBox;
    r.MODE_Comb.enabled = function;
    r.Combo2.enabled = range;
    m_dirty = true;
}

void ChannelTable::fillFunctionLists()
{
    Change change(*this);
    for (int i = 0; i < kChannelCount; ++i) {
        row(i).MODE_Comb.items = functionItems(i);
        row(i).MODE_Comb.index = -1;
    }
    m_dirty = true;
}

void ChannelTable::On_All_Open_Butt_Click()
{
    Change change(*this);
    for (int i = 0; i < kChannelCount; ++i)
        setOn(i, true);
}

void ChannelTable::On_All_Clear_Butt_Click()
{
    Change change(*this);
    for (int i = 0; i < kChannelCount; ++i)
        setOn(i, false);
}

void ChannelTable::Auto_All_Open_Butt_Click()
{
    Change change(*this);
    // The current channels have a single range: their auto boxes stay.
    for (int i = 0; i < kBankChannels; ++i)
        setAuto(i, true);
}

void ChannelTable::Auto_All_Clear_Butt_Click()
{
    Change change(*this);
    for (int i = 0; i < kChannelCount; ++i) {
        setAuto(i, false);
        // A channel without a function has no ranges to select.
        if (!channel(i).Combo2.items.isEmpty())
            selectRange(i, 0);
    }
}

void ChannelTable::FILL_RANGE_LIST(int i)
{
    Change change(*this);
    if (change.tooDeep())
        return;
    ScanList &range = row(i).Combo2;
    range.items = rangeItems(i, channel(i).MODE_Comb.index);
    range.index = -1;
    m_dirty = true;
    if (!range.items.isEmpty())
        selectRange(i, 0);
    if (!inBank(i))
        return;
    if (showsEnabledFourWire(i))
        SCAN_4W_PARTNER_SYNC(i);
    else
        releasePartner(i, false);
}

// A channel leaves four-wire: its locked partner gets its on and auto boxes
// back and measures DC volts.
void ChannelTable::releasePartner(int i, bool enableListOnlyIfTicked)
{
    const int p = partnerOf(i);
    if (p < 0 || !showsLockedFourWire(p))
        return;
    ChannelRow &partner = row(p);
    partner.CHN_CHK.enabled = true;
    partner.S_Auto_CHK.enabled = true;
    if (!enableListOnlyIfTicked || partner.CHN_CHK.checked)
        partner.MODE_Comb.enabled = true;
    m_dirty = true;
    selectFunction(p, kDcVolts);
}

void ChannelTable::CHN_CHK_Click(int i)
{
    Change change(*this);
    if (change.tooDeep())
        return;
    ChannelRow &r = row(i);
    m_dirty = true;
    if (!r.CHN_CHK.checked) {
        if (r.MODE_Comb.text() == QLatin1StringView("4W"))
            releasePartner(i, true);
        r.MODE_Comb.enabled = false;
        r.Combo2.enabled = false;
        return;
    }
    if (!r.S_Auto_CHK.checked) {
        // The partner is not locked yet: that waits for the channel's next
        // range, function or auto change.
        r.MODE_Comb.enabled = true;
        r.Combo2.enabled = true;
        return;
    }
    if (r.MODE_Comb.text() == QLatin1StringView("4W")) {
        const int p = partnerOf(i);
        if (p >= 0 && showsLockedFourWire(i)) {
            // The channel was unticked or was itself a locked partner.
            if (inBankA(i)) {
                r.CHN_CHK.enabled = true;
                r.S_Auto_CHK.enabled = true;
                r.MODE_Comb.enabled = true;
                row(p).CHN_CHK.enabled = false;
                row(p).S_Auto_CHK.enabled = false;
                setOn(p, false);
                row(p).MODE_Comb.enabled = false;
            } else {
                r.CHN_CHK.enabled = true;
                r.S_Auto_CHK.enabled = true;
                setOn(p, false);
                r.MODE_Comb.enabled = true;
            }
        }
        SCAN_4W_PARTNER_SYNC(i);
    }
    r.MODE_Comb.enabled = true;
    r.Combo2.enabled = false;
}

void ChannelTable::S_Auto_CHK_Click(int i)
{
    Change change(*this);
    if (change.tooDeep())
        return;
    ChannelRow &r = row(i);
    m_dirty = true;
    if (r.CHN_CHK.checked) {
        if (r.S_Auto_CHK.checked)
            r.Combo2.enabled = false;
        else if (r.MODE_Comb.enabled)
            r.Combo2.enabled = true;
    } else {
        r.MODE_Comb.enabled = false;
        r.Combo2.enabled = false;
    }
    // The partner's auto box follows.
    if (showsEnabledFourWire(i))
        SCAN_4W_PARTNER_SYNC(i);
}

void ChannelTable::MODE_Comb_Click(int i)
{
    FILL_RANGE_LIST(i);
}

void ChannelTable::Combo2_Click(int i)
{
    Change change(*this);
    if (change.tooDeep())
        return;
    // The partner's range follows.
    if (showsEnabledFourWire(i))
        SCAN_4W_PARTNER_SYNC(i);
}

void ChannelTable::SCAN_4W_PARTNER_SYNC(int k)
{
    Change change(*this);
    const int p = partnerOf(k);
    if (p < 0 || change.tooDeep())
        return;
    ChannelRow &partner = row(p);
    partner.MODE_Comb.enabled = false;
    partner.Combo2.enabled = false;
    partner.CHN_CHK.enabled = false;
    partner.S_Auto_CHK.enabled = false;
    m_dirty = true;
    selectFunction(p, kFourWire);
    selectRange(p, channel(k).Combo2.index);
    setOn(p, false);
    setAuto(p, channel(k).S_Auto_CHK.checked);
}

} // namespace scan
