#pragma once
// The scanner window's channel table without its widgets: per channel the
// on box, the auto box, the function list and the range list, each with its
// enabled flag, and the rules that keep them consistent.
//
// Channels 101 to 118 are indices 0 to 17: 0..7 bank A, 8..15 bank B, 16
// and 17 the two current channels. A four-wire measurement on a bank channel
// also takes the channel eight places away, its partner.
//
// The rules chain: a change made from code runs the same rule as the user's
// change would. A check box runs its rule only when its value really
// changes; a list selection runs its rule every time. The chaining is done
// here, by plain calls, so it does not hang on which signals a widget sends
// for a change made from code. Views forward the user's actions to
// setOn(), setAuto(), selectFunction() and selectRange() and repaint on
// changed().

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace scan {

inline constexpr int kChannelCount = 18;
inline constexpr int kFirstChannel = 101;
inline constexpr int kFourWire = 3;  // "4W" in a bank channel's function list
inline constexpr int kDcVolts = 1;   // "DCV"

struct ScanCheck
{
    bool checked = false;
    bool enabled = true;
};

struct ScanList
{
    QStringList items;
    int index = -1;  // -1: nothing selected
    bool enabled = true;

    QString text() const { return index >= 0 && index < items.size() ? items.at(index) : QString(); }
};

struct ChannelRow
{
    ScanCheck CHN_CHK;     // "ON:": part of the scan
    ScanList MODE_Comb;    // function
    ScanCheck S_Auto_CHK;  // "Auto:": auto range
    ScanList Combo2;       // range
};

// The partner of a bank channel (index 3 -> 11, 11 -> 3); -1 for 16 and 17.
int partnerOf(int channel);

// The function list of a channel, and the range list of a function position
// of it (empty for no function).
QStringList functionItems(int channel);
QStringList rangeItems(int channel, int function);

class ChannelTable : public QObject
{
    Q_OBJECT
public:
    explicit ChannelTable(QObject *parent = nullptr);

    const ChannelRow &channel(int i) const { return m_rows.at(std::size_t(i)); }

    // The user's changes, and the same changes from code. A selection that
    // the list does not have (below -1, or past its end) is refused: false,
    // and nothing runs. -1 clears the selection.
    void setOn(int i, bool on);
    void setAuto(int i, bool autoRange);
    bool selectFunction(int i, int position);
    bool selectRange(int i, int position);

    // What the read-back does beside the rules: it enables or disables a
    // list directly.
    void setFunctionEnabled(int i, bool enabled);
    void setRangeEnabled(int i, bool enabled);
    // A run's lock and unlock: the four controls of channel i enabled or
    // not, no rule run, one changed().
    void setRowEnabled(int i, bool on, bool autoBox, bool function, bool range);

    // Fills every function list; no entry is selected, so the range lists
    // stay empty.
    void fillFunctionLists();

    // The bulk buttons; each change runs the changed control's rule.
    void On_All_Open_Butt_Click();
    void On_All_Clear_Butt_Click();
    void Auto_All_Open_Butt_Click();
    void Auto_All_Clear_Butt_Click();

    // The rules, by their handlers. Public for the view's tests; the
    // setters above run them.
    void CHN_CHK_Click(int i);
    void S_Auto_CHK_Click(int i);
    void MODE_Comb_Click(int i);
    void Combo2_Click(int i);
    void FILL_RANGE_LIST(int i);
    void SCAN_4W_PARTNER_SYNC(int k);

signals:
    // After a change from outside, once, however long the chain it ran.
    void changed();

private:
    ChannelRow &row(int i) { return m_rows.at(std::size_t(i)); }
    bool showsEnabledFourWire(int i) const;
    bool showsLockedFourWire(int i) const;
    void releasePartner(int i, bool enableListOnlyIfTicked);

    // Counts the calls in progress, so one change signals once.
    class Change;
    void beginChange() { ++m_depth; }
    void endChange();

    std::array<ChannelRow, kChannelCount> m_rows;
    int m_depth = 0;
    bool m_dirty = false;
};

} // namespace scan
