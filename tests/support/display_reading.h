#pragma once
// Reading the headless displays the way an eye reads the panel, so a test
// compares one short text instead of forty flags.
//
// A display reads left to right: a lit position shows its glyph (a glyph of
// more than one character in brackets: "[SUB]", "[M2]"), a dark one "_";
// a lit point follows its position as "."; a lit mid-height dot as "*"
// (DROP_IMG(6) after position 2, DROP_IMG2(5) after position 0).
// "01.23456", "[SUB].500000", "_.__OL__", "_100[M2]V".

#include "core/display_model.h"

#include <QSet>
#include <QString>
#include <QStringList>

QString shown1(const display::DisplayModel &model);
QString shown2(const display::DisplayModel &model);

// The names of the lit labels ("T_V_LAB1", "AUTO_LAB1"), as a set.
QSet<QString> litLamps(const display::DisplayModel &model);
QSet<QString> lampSet(const QStringList &names);

// The lamp of that name; the test stops when there is none.
display::Lamp lampNamed(const QString &name);

// A panel with everything dark, as the tests start from.
void darken(display::DisplayModel &model);
