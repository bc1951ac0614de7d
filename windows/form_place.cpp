#include "windows/form_place.h"

#include "platform/twips.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace shell {
namespace {

QMdiSubWindow *subWindowOf(QWidget *form)
{
    return form ? qobject_cast<QMdiSubWindow *>(form->parentWidget()) : nullptr;
}

} // namespace

QMdiArea *mdiAreaOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub->mdiArea();
        if (auto *main = qobject_cast<QMainWindow *>(w))
            return qobject_cast<QMdiArea *>(main->centralWidget());
    }
    return nullptr;
}

void openFormWindow(QWidget *owner, QWidget *form, QPoint topLeftTwips)
{
    form->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint place = rt::twipsPoint(topLeftTwips.x(), topLeftTwips.y());
    if (QMdiArea *area = mdiAreaOf(owner)) {
        QMdiSubWindow *sub = area->addSubWindow(form, Qt::SubWindow | Qt::WindowTitleHint
                                                          | Qt::WindowSystemMenuHint
                                                          | Qt::WindowCloseButtonHint
                                                          | Qt::CustomizeWindowHint);
        sub->adjustSize();
        sub->move(place);
        sub->show();
    } else {
        form->setParent(owner, Qt::Window);
        form->move(place);
        form->show();
    }
    bringForward(form);
}

void bringForward(QWidget *form)
{
    if (QMdiSubWindow *sub = subWindowOf(form)) {
        sub->showNormal();
        sub->raise();
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        return;
    }
    form->show();
    form->raise();
    form->activateWindow();
}

void unloadForm(QWidget *form)
{
    if (QMdiSubWindow *sub = subWindowOf(form))
        sub->close();
    else
        form->close();
}

} // namespace shell
