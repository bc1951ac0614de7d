#include "windows/fast_notice_window.h"

#include "platform/twips.h"
#include "runs/fast_notice.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace runs {

namespace {

// A caption and its value label, one row each, in twips.
struct LabelRow
{
    const char16_t *caption;
    QLabel *Form1::*value;
};
constexpr LabelRow kLabelRows[] = {
    {u"File Path & Name:",     &Form1::Label2},
    {u"Start Time:",           &Form1::Label4},
    {u"Expected Spend Time:",  &Form1::Label6},
    {u"Number of Samples:",    &Form1::Label9},
    {u"Samples Completed:",    &Form1::Label10},
    {u"Interval Time:",        &Form1::Label12},
    {u"Samples Lost:",         &Form1::LostLabel},
};
constexpr int kRowsTop = 2760;
constexpr int kRowPitch = 330;
constexpr int kWidth = 8200;

} // namespace

Form1::Form1(const FastNotice &notice, std::function<void()> stop, QWidget *parent)
    : QWidget(parent), m_notice(notice)
{
    setWindowTitle(u"File save only Mode"_s);
    Frame1 = new QGroupBox(u"Note!"_s, this);
    Frame1->setGeometry(rt::twipsRect(120, 60, kWidth - 240, 2580));
    int top = 300;
    for (QPlainTextEdit **box : {&Text1, &Text2, &Text3}) {
        *box = new QPlainTextEdit(Frame1);
        (*box)->setReadOnly(true);
        (*box)->setFrameShape(QFrame::NoFrame);
        (*box)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        (*box)->setGeometry(rt::twipsRect(120, top, kWidth - 480, 700));
        top += 740;
    }
    top = kRowsTop;
    for (const LabelRow &row : kLabelRows) {
        auto *caption = new QLabel(QString::fromUtf16(row.caption), this);
        caption->setGeometry(rt::twipsRect(120, top, 2200, 300));
        auto *value = new QLabel(u"None"_s, this);
        value->setGeometry(rt::twipsRect(2360, top, kWidth - 2480, 300));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        this->*(row.value) = value;
        top += kRowPitch;
    }
    Command1 = new QPushButton(u"Stop"_s, this);
    Command1->setGeometry(rt::twipsRect(2950, top + 120, 1200, 400));
    connect(Command1, &QPushButton::clicked, this, [stop = std::move(stop)] {
        if (stop)
            stop();
    });
    setFixedSize(rt::twipsSize(kWidth, top + 700));
    Form_Load();
    refresh();
}

void Form1::Form_Load()
{
    Text1->setPlainText(u"When any one of these two sample rates (16.667ms/ 33.333ms) is selected, "
                        u"the following setting and condition also come into effect:"_s);
    Text2->setPlainText(u"1. The VFD display on DMM will be temporarily shut off when the test is "
                        u"proceeding and then turned on after the test is finished."_s);
    Text3->setPlainText(u"2. The measured data will be directly written into the record file in the "
                        u"designated subdirectory instead of being displayed in the display window "
                        u"and the data table."_s);
}

void Form1::refresh()
{
    // A long path gives way in its middle; the whole of it is the tip.
    Label2->setText(Label2->fontMetrics().elidedText(m_notice.Label2, Qt::ElideMiddle, Label2->width()));
    Label2->setToolTip(m_notice.Label2);
    Label4->setText(m_notice.Label4);
    Label6->setText(m_notice.Label6);
    Label9->setText(m_notice.Label9);
    Label10->setText(m_notice.Label10);
    Label12->setText(m_notice.Label12);
    LostLabel->setText(m_notice.lostSamples);
}

} // namespace runs
