#pragma once
// What the fast-mode notice window "File save only Mode" shows: where the
// samples go, when the run began and should end, how many samples are
// expected and how many came. The fast run fills it; the window paints it
// and forwards its Stop button (Form1_Command1_Click).

#include <QObject>
#include <QString>

namespace runs {

class FastNotice : public QObject
{
    Q_OBJECT
public:
    QString Label2;   // the recorded-data file
    QString Label4;   // start time
    QString Label6;   // expected end, or "Until you press the Stop button"
    QString Label9;   // number of samples, or "Continuous"
    QString Label10;  // samples completed
    QString Label12;  // the interval, "16.667 ms"
    QString lostSamples = QStringLiteral("0");  // samples that did not come or held no value
    bool shown = false;

    // After the run has changed some of the fields: one changed() for all.
    void touch() { emit changed(); }

signals:
    void changed();
};

} // namespace runs
