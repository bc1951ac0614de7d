#pragma once
// The scanner window: channel table, scans and their files.

#include <QWidget>

namespace scan {

class Scan_Form : public QWidget
{
    Q_OBJECT
public:
    explicit Scan_Form(QWidget *parent = nullptr);
};

} // namespace scan
