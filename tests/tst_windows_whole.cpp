// Every window whole: each window built at its designed size, in the main
// window where it lives, shows every control whole (inside the window's
// visible area, its caption and text not cut) and no control drawn over
// another. Also the file dialog's columns, and that closing a window never
// brings the trend graph up over the front panel.
//
// What counts as a control: a widget the user reads or works on its own (a
// button, a check box, an option, a label, a text box, a list, a table, a
// graph) and the frames that hold others (a frame, a group box, a tab set).
// A list, a table, a tab set or a text box is one control: its own parts
// (a list's text box, a table's headers and scroll bars) are its own to
// arrange. A control inside a frame lies on that frame by design, which is
// no overlap; it must lie within the frame's inside, clear of its border
// and its title. The front panel's pictures, lamps and key legends are
// painted by the panel itself and are no controls: its lists and labels
// lie on that painting as designed.

#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "runs/fast_notice.h"
#include "support/sim_link.h"
#include "windows/dialogs_window.h"
#include "windows/fast_notice_window.h"
#include "windows/readings_table_window.h"
#include "runs/run_control.h"
#include "windows/form_place.h"
#include "windows/front_panel_window.h"
#include "windows/loader_window.h"
#include "windows/main_window.h"
#include "windows/raw_command_window.h"
#include "windows/scan_window.h"
#include "windows/status_window.h"
#include "windows/trend_graph_window.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <qcustomplot.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString nameOf(const QWidget *w)
{
    QString text;
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    else if (auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (auto *box = qobject_cast<const QGroupBox *>(w))
        text = box->title();
    return u"%1 %2 \"%3\""_s.arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

QString rectText(const QRect &r)
{
    return u"(%1,%2 %3x%4)"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QCustomPlot *>(w)
           || qobject_cast<const QTabWidget *>(w) || qobject_cast<const QFrame *>(w);
}

// A control that holds others, and the part of it they may take.
bool holdsControls(const QWidget *w)
{
    if (qobject_cast<const QTabWidget *>(w) || qobject_cast<const QGroupBox *>(w))
        return true;
    // A plain frame (a panel of buttons), not a label or a scrolling view.
    return qobject_cast<const QFrame *>(w) && !qobject_cast<const QLabel *>(w)
           && !qobject_cast<const QAbstractScrollArea *>(w);
}

QRect titleOf(const QGroupBox *box)
{
    if (box->title().isEmpty())
        return {};
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
}

// What one window shows wrongly; empty when it is whole.
class Inspection
{
public:
    QStringList faults;

    // `form` within `room` (in the form's own coordinates: its visible area).
    void inspect(QWidget *form, const QRect &room)
    {
        if (!room.contains(form->rect()))
            faults << u"the window %1 is larger than its room %2"_s.arg(rectText(form->rect()), rectText(room));
        inspectInside(form, form->rect().intersected(room), {});
    }

private:
    // The visible controls held by `holder` (through plain widgets, such as
    // a tab page, that are no controls).
    static void controlsUnder(QWidget *holder, QList<QWidget *> &out)
    {
        for (QWidget *child : holder->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isVisible() || child->isWindow())
                continue;
            if (isControl(child))
                out << child;
            else
                controlsUnder(child, out);
        }
    }

    void inspectInside(QWidget *holder, const QRect &inside, const QRect &title)
    {
        QList<QWidget *> controls;
        if (auto *tabs = qobject_cast<QTabWidget *>(holder)) {
            if (QWidget *page = tabs->currentWidget())
                controlsUnder(page, controls);
        } else {
            controlsUnder(holder, controls);
        }
        QList<QRect> places;
        for (QWidget *control : controls) {
            const QRect place(control->mapTo(holder, QPoint(0, 0)), control->size());
            places << place;
            if (!inside.contains(place))
                faults << u"%1 %2 is not inside %3 %4"_s.arg(nameOf(control), rectText(place), nameOf(holder),
                                                              rectText(inside));
            if (title.intersects(place))
                faults << u"%1 is drawn over the title of %2"_s.arg(nameOf(control), nameOf(holder));
            inspectContent(control, controls);
        }
        for (qsizetype i = 0; i < controls.size(); ++i) {
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                if (places[i].intersects(places[j]))
                    faults << u"%1 %2 and %3 %4 overlap"_s.arg(nameOf(controls[i]), rectText(places[i]),
                                                                nameOf(controls[j]), rectText(places[j]));
            }
        }
        for (QWidget *control : controls) {
            if (!holdsControls(control))
                continue;
            QRect within = control->contentsRect();
            QRect itsTitle;
            if (auto *box = qobject_cast<QGroupBox *>(control)) {
                itsTitle = titleOf(box);
                if (!control->rect().contains(itsTitle))
                    faults << u"the title of %1 is cut"_s.arg(nameOf(control));
                // A frame's border is one pixel inside its edge.
                within = control->rect().adjusted(1, 1, -1, -1);
            } else if (auto *tabs = qobject_cast<QTabWidget *>(control)) {
                if (QWidget *page = tabs->currentWidget())
                    within = QRect(page->mapTo(tabs, QPoint(0, 0)), page->size());
            }
            if (auto *tabs = qobject_cast<QTabWidget *>(control); tabs && tabs->currentWidget()) {
                // The page's controls, in the page's coordinates.
                QWidget *page = tabs->currentWidget();
                inspectInside(page, page->rect(), {});
            } else {
                inspectInside(control, within, itsTitle);
            }
        }
    }

    // The control shows all it holds: a caption, a text, a list's entries.
    void inspectContent(QWidget *control, const QList<QWidget *> &siblings)
    {
        const QSize need = control->sizeHint();
        const QSize least = control->minimumSizeHint();
        auto cut = [&](const QString &what) {
            faults << u"%1 %2: %3 (needs %4x%5)"_s.arg(nameOf(control), rectText(control->geometry()), what)
                          .arg(need.width())
                          .arg(need.height());
        };
        if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            // A push button's own hint keeps a style's least width; its
            // caption needs the text, the margins and the frame.
            const QStyle *style = control->style();
            const int captionWidth =
                qobject_cast<QPushButton *>(control)
                    ? control->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width()
                          + style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control)
                          + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control)
                    : need.width();
            if (control->width() < captionWidth)
                cut(u"its caption is cut"_s);
            if (control->height() < least.height())
                cut(u"it is too low for its caption"_s);
            // An option or check box without a caption of its own is named
            // by the label right beside it.
            if (button->text().isEmpty() && !qobject_cast<QPushButton *>(control)) {
                const QRect place = control->geometry();
                bool named = false;
                for (QWidget *other : siblings) {
                    auto *label = qobject_cast<QLabel *>(other);
                    if (!label || label->text().isEmpty())
                        continue;
                    const QRect at = label->geometry();
                    const int gap = at.left() - place.right();
                    named = named
                            || (gap > 0 && gap <= 8 && at.top() < place.center().y()
                                && at.bottom() > place.center().y());
                }
                if (!named)
                    cut(u"it has no caption and no label beside it"_s);
            }
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            const bool cutShort = label->wordWrap() ? control->height() < label->heightForWidth(control->width())
                                                    : control->width() < need.width()
                                                          || control->height() < need.height();
            if (!label->text().isEmpty() && cutShort)
                cut(u"its text is cut"_s);
        } else if (qobject_cast<QComboBox *>(control)) {
            if (control->width() < need.width())
                cut(u"its entries are cut"_s);
            if (control->height() < least.height())
                cut(u"it is too low for its text"_s);
        } else if (qobject_cast<QLineEdit *>(control)) {
            if (control->height() < least.height())
                cut(u"it is too low for its text"_s);
        } else if (auto *box = qobject_cast<QGroupBox *>(control)) {
            if (control->width() < titleOf(box).width())
                cut(u"its title is cut"_s);
        } else if (auto *plot = qobject_cast<QCustomPlot *>(control)) {
            // The time or point numbers under the graph stand apart.
            plot->replot();
            const QCPAxis *axis = plot->xAxis;
            const QVector<double> ticks = axis->tickVector();
            const QVector<QString> labels = axis->tickVectorLabels();
            const QFontMetrics metrics(axis->tickLabelFont());
            for (qsizetype i = 0; i + 1 < ticks.size() && i + 1 < labels.size(); ++i) {
                const double apart = axis->coordToPixel(ticks[i + 1]) - axis->coordToPixel(ticks[i]);
                const int wide = (metrics.horizontalAdvance(labels[i]) + metrics.horizontalAdvance(labels[i + 1])) / 2;
                if (apart < wide + metrics.horizontalAdvance(u' '))
                    cut(u"its axis labels %1 and %2 run into each other"_s.arg(labels[i], labels[i + 1]));
            }
        }
    }
};

// The main window on the simulated instrument, shown, with the scanner
// fitted; message boxes recorded and no file dialog shown.
struct Program
{
    Program()
    {
        rt::setProgramFolder(folder.path());
        rt::setOpenFileHandler([](const QString &, const QString &, const QString &) { return QString(); });
        window = std::make_unique<shell::MDImain>(sim.link, folder.path());
        window->panel().timers.Timer1.setEnabled(false);
        sim.open();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the main window was not shown");
    }
    ~Program()
    {
        window.reset();
        rt::setProgramFolder({});
        rt::setOpenFileHandler({});
    }

    QMdiArea *area() const { return qobject_cast<QMdiArea *>(window->centralWidget()); }

    QTemporaryDir folder;
    SimLink sim;
    rt::MessageRecorder messages;
    std::unique_ptr<shell::MDImain> window;
};

QMdiSubWindow *subWindowOf(QWidget *form) { return qobject_cast<QMdiSubWindow *>(form->parentWidget()); }

// The part of `form` that shows in the main window's work area, in the
// form's coordinates; and the work area's room for its window.
QString whereShown(QMdiArea *area, QWidget *form, QRect *visible)
{
    QMdiSubWindow *sub = subWindowOf(form);
    if (!sub)
        return u"not a window of the work area"_s;
    const QRect room = area->viewport()->rect();
    QString fault;
    if (!room.contains(sub->geometry()))
        fault = u"its window %1 runs out of the work area %2"_s.arg(rectText(sub->geometry()), rectText(room));
    const QRect roomInForm(form->mapFrom(area->viewport(), room.topLeft()), room.size());
    *visible = roomInForm.intersected(sub->contentsRect().translated(-form->pos()));
    return fault;
}

using Opener = std::function<QWidget *(Program &)>;

QWidget *openLoader(Program &p)
{
    QTest::mouseClick(p.window->quitForm()->LOAD_BUTT, Qt::LeftButton);
    return p.window->quitForm()->loaderForm();
}

scan::Scan_Form *openScanner(Program &p) { return p.window->openScanForm(); }

QWidget *openFromMenu(Program &p, const char *name)
{
    auto *action = p.window->menuBar()->findChild<QAction *>(QLatin1StringView(name));
    if (!action)
        return nullptr;
    action->trigger();
    QMdiSubWindow *active = p.area()->activeSubWindow();
    return active ? active->widget() : nullptr;
}

} // namespace

class TestWindowsWhole : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyControlWhole_data();
    void everyControlWhole();
    void fileDialogColumnsWhole();
    void closingLeavesThePanelInFront_data();
    void closingLeavesThePanelInFront();
};

void TestWindowsWhole::everyControlWhole_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("front panel") << Opener([](Program &p) -> QWidget * { return p.window->showForm(); });
    QTest::newRow("front panel, record name box open") << Opener([](Program &p) -> QWidget * {
        p.window->panel().controls.INPU_NAME_Frame_front = true;
        p.window->panel().controls.touch();
        return p.window->showForm();
    });
    QTest::newRow("trend graph") << Opener([](Program &p) -> QWidget * {
        shell::bringForward(p.window->graphForm());
        return p.window->graphForm();
    });
    // "Zoo Out" on runs of a few seconds, an hour and a day.
    for (const int seconds : {7, 3725, 86399}) {
        QTest::addRow("trend graph, zoomed out at %d s", seconds) << Opener([seconds](Program &p) -> QWidget * {
            runs::Graph_Form *graph = p.window->graphForm();
            shell::bringForward(graph);
            p.window->panel().state.ELAPSED_SECS = seconds;
            const QTime shown = QTime(0, 0).addSecs(seconds);
            graph->addPoint(seconds, 1.5, shown.toString(u"hh:mm:ss"_s));
            graph->CW_BUTT->setChecked(true);
            return graph;
        });
    }
    QTest::newRow("readings table") << Opener([](Program &p) -> QWidget * { return p.window->dataForm(); });
    QTest::newRow("status window") << Opener([](Program &p) -> QWidget * { return p.window->quitForm(); });
    QTest::newRow("loader") << Opener(openLoader);
    for (int view = 1; view < 3; ++view) {
        QTest::addRow("loader, view %d", view) << Opener([view](Program &p) -> QWidget * {
            auto *form = qobject_cast<loader::Form_LD *>(openLoader(p));
            if (form)
                QTest::mouseClick(form->DIS_SHOW_OPT[std::size_t(view)], Qt::LeftButton, {}, QPoint(5, 5));
            return form;
        });
    }
    QTest::newRow("loader, while a file loads") << Opener([](Program &p) -> QWidget * {
        auto *form = qobject_cast<loader::Form_LD *>(openLoader(p));
        if (form)
            Q_EMIT form->state().loadingChanged(true);
        return form;
    });
    QTest::newRow("scanner, channel table") << Opener([](Program &p) -> QWidget * { return openScanner(p); });
    QTest::newRow("scanner, result grids") << Opener([](Program &p) -> QWidget * {
        scan::Scan_Form *form = openScanner(p);
        if (form)
            form->tabs->setCurrentIndex(1);
        return form;
    });
    QTest::newRow("scanner, data name box open") << Opener([](Program &p) -> QWidget * {
        scan::Scan_Form *form = openScanner(p);
        if (form)
            QTest::mouseClick(form->Save_DATA_CHK, Qt::LeftButton, {}, QPoint(5, 5));
        return form;
    });
    QTest::newRow("scanner, set-up name box open") << Opener([](Program &p) -> QWidget * {
        scan::Scan_Form *form = openScanner(p);
        if (form)
            form->SSBS_SS_Click();
        return form;
    });
    QTest::newRow("scanner, both name boxes and the status line") << Opener([](Program &p) -> QWidget * {
        scan::Scan_Form *form = openScanner(p);
        if (form) {
            QTest::mouseClick(form->Save_DATA_CHK, Qt::LeftButton, {}, QPoint(5, 5));
            form->SSBS_SS_Click();
            form->controls().showStatus(u"Reading which channels are on"_s, Qt::blue);
        }
        return form;
    });
    QTest::newRow("settings") << Opener([](Program &p) { return openFromMenu(p, "C_B"); });
    QTest::newRow("about") << Opener([](Program &p) { return openFromMenu(p, "A_H"); });
    QTest::newRow("raw command window") << Opener([](Program &p) -> QWidget * {
        auto *form = new shell::Command_TEST(p.window->panel());
        shell::openFormWindow(p.window.get(), form, {0, 0});
        return form;
    });
    QTest::newRow("fast run notice") << Opener([](Program &p) -> QWidget * {
        auto *form = new runs::Form1(p.window->run().notice, [] {});
        shell::openFormWindow(p.window.get(), form, {2400, 600});
        return form;
    });
}

void TestWindowsWhole::everyControlWhole()
{
    QFETCH(Opener, open);
    Program p;
    QWidget *form = open(p);
    QVERIFY(form);
    QCoreApplication::processEvents();
    QRect visible;
    Inspection inspection;
    if (const QString fault = whereShown(p.area(), form, &visible); !fault.isEmpty())
        inspection.faults << fault;
    inspection.inspect(form, visible);
    QVERIFY2(inspection.faults.isEmpty(), qPrintable(inspection.faults.join(u"\n"_s)));
}

void TestWindowsWhole::fileDialogColumnsWhole()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"Set Data.ini"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(172, 'x')) == 172);
    file.close();
    std::unique_ptr<QFileDialog> dialog(
        windows::openFileDialog(nullptr, u"Load ScanBox Status"_s, dir.path(), u"Ini (*.ini)"_s));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *view = dialog->findChild<QTreeView *>();
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
    QCoreApplication::processEvents();
    // The margins the style puts round an item's text, on either side.
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    for (int column = 1; column < view->header()->count(); ++column) {
        if (view->isColumnHidden(column))
            continue;
        const QString text = view->model()->index(0, column, view->rootIndex()).data().toString();
        const int need = std::max(view->fontMetrics().horizontalAdvance(text) + margins,
                                  view->header()->sectionSizeHint(column));
        QVERIFY2(view->columnWidth(column) >= need,
                 qPrintable(u"column %1 (\"%2\") is %3 wide and needs %4"_s.arg(column)
                                .arg(text)
                                .arg(view->columnWidth(column))
                                .arg(need)));
    }
    const int columnsWidth = view->header()->length();
    QVERIFY2(columnsWidth <= view->viewport()->width(),
             qPrintable(u"the columns take %1 of %2"_s.arg(columnsWidth).arg(view->viewport()->width())));
}

using Closer = std::function<void(QWidget *)>;

void TestWindowsWhole::closingLeavesThePanelInFront_data()
{
    QTest::addColumn<Opener>("open");
    QTest::addColumn<Closer>("close");
    QTest::addColumn<bool>("panelActive");  // the window's close is a "return to the panel"
    QTest::newRow("loader, Return to Main")
        << Opener(openLoader)
        << Closer([](QWidget *form) {
               QTest::mouseClick(qobject_cast<loader::Form_LD *>(form)->Quit_BUTT, Qt::LeftButton);
           })
        << true;
    QTest::newRow("about, OK") << Opener([](Program &p) { return openFromMenu(p, "A_H"); })
                               << Closer([](QWidget *form) {
                                      QTest::mouseClick(form->findChild<QPushButton *>(), Qt::LeftButton);
                                  })
                               << false;
    QTest::newRow("settings, close box") << Opener([](Program &p) { return openFromMenu(p, "C_B"); })
                                         << Closer([](QWidget *form) { subWindowOf(form)->close(); }) << false;
}

void TestWindowsWhole::closingLeavesThePanelInFront()
{
    QFETCH(Opener, open);
    QFETCH(Closer, close);
    QFETCH(bool, panelActive);
    Program p;
    QPointer<QWidget> form = open(p);
    QVERIFY(form);
    close(form);
    QTRY_VERIFY(form.isNull());
    QCoreApplication::processEvents();
    const QList<QMdiSubWindow *> stack = p.area()->subWindowList(QMdiArea::StackingOrder);
    const auto at = [&](QWidget *shown) { return stack.indexOf(subWindowOf(shown)); };
    QVERIFY(at(p.window->showForm()) >= 0);
    QVERIFY2(at(p.window->showForm()) > at(p.window->graphForm()), "the trend graph is in front of the panel");
    QVERIFY(p.area()->activeSubWindow() != subWindowOf(p.window->graphForm()));
    if (panelActive)
        QCOMPARE(p.area()->activeSubWindow(), subWindowOf(p.window->showForm()));
}

QTEST_MAIN(TestWindowsWhole)
#include "tst_windows_whole.moc"
