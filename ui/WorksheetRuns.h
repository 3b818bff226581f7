#pragma once

#include "PageWriter.h"

class QPushButton;
class QWidget;
struct StartupData;

// The save and print runs of a copybook tab, for every kind of sheet: the
// tab reads its controls into settings and hands them here.

// Saves every page: pictures into a folder the user picks (1.jpg … n.jpg),
// or one PDF file the user names. Ends with "保存完毕！" only when every page
// was written; otherwise says how many were not and why the first failed.
// "暂时不能读取笔画数据！" shows at most once per run.
void runWorksheetSave(QWidget *owner, const StartupData &data, const WorksheetSettings &s,
                      PageFormat format, int dpi, const QString &title);

// Prints: the print dialog first, then only the chosen pages, copies and
// order. printButton and saveGroup are disabled while the run lasts and
// enabled again however it ends; failures are reported.
void runWorksheetPrint(QWidget *owner, const StartupData &data, const WorksheetSettings &s,
                       PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                       QWidget *saveGroup);
