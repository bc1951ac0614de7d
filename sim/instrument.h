#pragma once
// The simulated instrument: the state of a bench dual-display multimeter and
// its answers to the command language. Knows nothing of the program; the
// forms of its replies are kept in one table (reply_forms.cpp).

#include <QByteArray>
#include <QByteArrayView>
#include <QByteArrayList>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace sim {

// A command as the instrument reads it: lower case, blanks trimmed at both
// ends and single inside ("READ?  BUF " is "read? buf").
QByteArray normalised(const QByteArray &command);

class Instrument
{
public:
    Instrument();

    // One command as it arrived, without its line end. A query the model
    // knows gets its reply body (no terminator); a command without "?" gets
    // nothing; an unknown query gets nothing and an error-queue entry, since
    // an extra reply would shift every later answer.
    //
    // With the trigger source external, "read?" waits for "*TRG": it gets no
    // reply now, and each waiting read? gets one reply when "*TRG" comes,
    // collected by takeTriggered().
    std::optional<QByteArray> handle(const QByteArray &command);

    // One piece of a reply and when it leaves the instrument, in ms after
    // the instrument is free to answer the query.
    struct TimedReply
    {
        QByteArray body;
        qint64 afterMs = 0;
    };
    // handle() with the instrument's timing: a reading query answers after
    // one reading time (readingTimeMs); "val1?" after "sample:count N"
    // streams N values, one each reading time, so the values of a block
    // arrive paced at the sample interval. Other replies leave at once.
    std::vector<TimedReply> answer(const QByteArray &command);

    // How long one reading takes now: the display-1 function's conversion
    // time at the reading rate (or at the integration time an NPLC command
    // set for a DC function), times the filter count while the filter is on,
    // times the time scale (state key "timescale"). The in-process
    // instrument answers at once (scale 0) unless a test sets a scale;
    // ravelo-sim takes the instrument's own time (scale 1).
    double readingTimeMs() const;

    // The replies the last "*TRG" released, oldest first; removed. The line
    // sends the first at once and each later one triggerGapMs() after the
    // one before (the instrument takes one reading after the other).
    std::vector<QByteArray> takeTriggered();
    int triggerGapMs() const { return m_triggerGapMs; }

    // The identification reply, four comma-separated fields.
    void setIdentity(const QByteArray &idn);
    QByteArray identity() const { return m_idn; }

    // State settable from tests and from "ravelo-sim --state key=value,...".
    // Unknown keys or values fail with a reason. "reply:QUERY=TEXT" answers
    // QUERY (any letter case) with TEXT as it stands, for tests of replies
    // the instrument should never give; "reply:QUERY=auto" undoes it.
    bool setState(QStringView key, QStringView value, QString *why = nullptr);
    bool setStates(QStringView list, QString *why = nullptr);

    // Readings in the instrument's signed exponent form ("+1.234567E+00"),
    // or its overload form "+9.90000000E+37". Unless a test fixes it, each
    // display reads a value typical of its function (DC volts drift near
    // 1.2 V), or half the full scale of a fixed range; display 2 reads 0
    // while it is off.
    QByteArray display1Reading();
    QByteArray display2Reading();

    // The error queue holds kErrorQueueSize entries; when it is full the
    // newest entry becomes '-350,"Queue overflow"' and later ones are lost,
    // as the instrument does.
    static constexpr std::size_t kErrorQueueSize = 20;
    const std::deque<QByteArray> &errorQueue() const { return m_errors; }
    void pushError(const QByteArray &entry);
    QByteArray popError();  // '+0,"No error"' when empty

    // A value of the model by its name in a reply form ("idn", "error",
    // "display1", "display2"); nothing for a name the model does not have.
    // Asking may change the model: "error" pops the queue, "display1"
    // advances the reading.
    std::optional<QByteArray> field(QByteArrayView name);

    // What one display measures: the function by the panel's code ("DCV",
    // "ACV", "DCI", "ACI", "2W", "4W", "Hz", "P", "DIODE", "CONTINU", "TEMP";
    // display 2 also "OFF" or an unnamed function number "9" to "17"),
    // automatic ranging, and the range by its label ("10V", "1K", ...).
    struct Measure
    {
        QByteArray function;
        bool autoRange = true;
        QByteArray range;
    };
    const Measure &measure(int display) const { return this->display(display).measure; }

    // One channel of the scanner option: in the scan or not, its function
    // by the keyword "rout:chan?" answers with ("VOLT", "FRES", ...), its
    // range as the set-up sent it ("10000") and automatic ranging.
    struct ScanChannel
    {
        bool on = false;
        QByteArray function;
        QByteArray range = "10";
        bool autoRange = true;
        std::optional<double> fixed;  // a test's reading, else one typical of the function
        bool overload = false;        // reads the overload form
    };
    static constexpr int kFirstScanChannel = 101;
    static constexpr int kScanChannels = 18;
    // By channel number, 101 to 118.
    const ScanChannel &scanChannel(int number) const
    {
        return m_scanChannels.at(std::size_t(number - kFirstScanChannel));
    }

private:
    // The tables, each with the small handlers its rows point to: state
    // keys (state_keys.cpp), commands that change the state (commands.cpp),
    // reply fields (reply_fields.cpp). Members, so that the handlers reach
    // the state below.
    struct StateKeys;
    struct Commands;
    struct Fields;

    // What a display measures, and the reading a test fixed for it.
    struct Display
    {
        Measure measure;
        std::optional<double> fixed;  // else a value typical of the function
        bool overload = false;        // reads the overload form
    };
    // By channel: display 1 or 2.
    Display &display(int channel) { return m_displays[channel == 2 ? 1 : 0]; }
    const Display &display(int channel) const { return m_displays[channel == 2 ? 1 : 0]; }

    QByteArray render(const char *form);
    std::optional<QByteArray> replyTo(const QByteArray &query);
    double typicalReading(const Measure &m) const;
    QByteArray scanReading(const ScanChannel &c) const;
    QByteArray scanFetch() const;
    void noteReading(double value);
    double display1Value() const;
    void act(const QByteArray &command);

    std::array<Display, 2> m_displays{{{{"DCV", true, "10V"}, std::nullopt, false},
                                       {{"OFF", true, "10V"}, std::nullopt, false}}};
    char m_rate = 'M';              // reading rate S, M or F
    bool m_filter = false;          // averaging filter on
    bool m_externalTrigger = false; // trigger source external, else immediate
    bool m_scanner = false;         // the scanner option is fitted
    char m_unit = 'C';              // temperature unit C or F
    char m_thermocouple = 'K';      // thermocouple type B, E, J, K, N, R, S or T
    QByteArray m_calcFunction = "off";  // math function on: "off", "hold", "rel", ...
    QByteArray m_holdReference = "0.1"; // hold reference in percent, as it is answered
    std::map<QByteArray, QByteArray> m_replyOverrides;  // normalised query -> reply
    int m_filterCount = 10;         // readings averaged while the filter is on
    bool m_filterMoving = true;     // moving average, else repeating
    int m_junctionHundredths = 2300;  // reference-junction simulation, 1/100 degree
    int m_dbmReference = 600;       // dBm reference impedance in ohms
    int m_mathChannel = 0;          // the display the math results go to ("syst:math:chan")
    // The numbers set by command and read back in the reading form (limits,
    // RTD coefficients, math parameters, REL reference), by setting name.
    std::map<QByteArray, double> m_numbers;
    std::map<QByteArray, double> m_nplc;  // DC function -> integration time in power-line cycles
    int m_sampleCount = 1;          // values one "val1?" answers with
    bool m_zeroAuto = true;         // automatic zero
    bool m_gainAuto = true;         // automatic gain
    bool m_displayOn = true;        // the instrument's own display
    QByteArray m_triggerDelay = "0";  // as last sent
    std::array<ScanChannel, kScanChannels> m_scanChannels;  // 101..118
    int m_scanCount = 1;            // scans a run makes ("rout:coun")
    int m_scanDelay = 0;            // between channels ("rout:del")
    QByteArray m_scanMode = "off";  // "rout:func": "off", "scan" or "step"
    int m_stepsTaken = 0;           // readings of a step pass so far
    std::optional<qint64> m_passEnd;  // "SCAN OK" is due this many ms after the command
    QByteArray m_scanDone = "SCAN OK";  // the line that ends a pass (state key "scandone")
    double m_timeScale = 0;         // scales every modelled reading time
    std::optional<double> m_max;    // extremes of display 1 for CALC:MAX? / CALC:MIN?
    std::optional<double> m_min;

    QByteArray m_idn;
    std::deque<QByteArray> m_errors;
    quint64 m_readCount = 0;
    bool m_numbered = false;        // display 1 reads 1, 2, 3, ... (state key "numbered")
    quint64 m_numberedCount = 0;
    std::deque<QByteArray> m_waitingReads;  // read? queries waiting for *TRG
    std::vector<QByteArray> m_triggered;    // their replies, once *TRG came
    int m_triggerGapMs = 0;                 // between the replies of one *TRG
};

// The instrument's overload reading, as it sends it.
inline constexpr char kOverloadReading[] = "+9.90000000E+37";

// "+1.234567E+00": sign, one digit, ".", `decimals` digits, "E", sign, two
// or more exponent digits, as the instrument prints a reading.
QByteArray exponentForm(double value, int decimals = 6);

} // namespace sim
