#pragma once
// The fast-mode notice window "File save only Mode": where the samples go,
// when the run began and should end, how many samples are expected and how
// many came, and the Stop button. It shows a FastNotice that the run fills.

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace runs {

class FastNotice;

class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(const FastNotice &notice, std::function<void()> stop, QWidget *parent = nullptr);

    // Shows the notice's texts again.
    void refresh();

    QGroupBox *Frame1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *LostLabel = nullptr;  // samples that did not come or held no value
    QPushButton *Command1 = nullptr;

private:
    void Form_Load();

    const FastNotice &m_notice;
};

} // namespace runs
