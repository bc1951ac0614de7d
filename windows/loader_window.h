#pragma once
// The recorded-data loader window: opens a recorded file, lists and plots it.

#include <QWidget>

namespace loader {

class Form_LD : public QWidget
{
    Q_OBJECT
public:
    explicit Form_LD(QWidget *parent = nullptr);
};

} // namespace loader
