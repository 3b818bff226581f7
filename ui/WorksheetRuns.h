#pragma once

#include "PageWriter.h"

class QPushButton;
class QWidget;
struct StartupData;

// The save and print runs of a copybook tab, for every kind of sheet: the
// tab reads its controls into settings and hands them here.
//
// A run asks its questions (folder, file name, print dialog) first, then
// goes on while the window stays live: the pages are made on a worker
// thread with fonts of its own, a progress window offers 停止, and the tab's
// printButton and saveGroup are disabled until the run has ended. The run
// belongs to tab: destroying the tab (closing the program) stops it and
// waits for the page under way.

// Saves every page: pictures into a folder the user picks (1.jpg … n.jpg),
// or one PDF file the user names. Ends with "保存完毕！" only when every page
// was written; a stopped run says what it wrote ("已停止：已保存 12 页，共
// 210 页", or that no PDF was saved); otherwise says how many were not and
// why the first failed. "暂时不能读取笔画数据！" shows at most once per run.
void runWorksheetSave(QWidget *tab, const StartupData &data, const WorksheetSettings &s,
                      PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                      QWidget *saveGroup);

// Prints: the print dialog first, then only the chosen pages, copies and
// order. The pages are made on the worker (a stop there prints nothing);
// then the sheets go to the printer on the GUI thread, one per turn of the
// event loop, and can no longer be stopped. Failures are reported.
void runWorksheetPrint(QWidget *tab, const StartupData &data, const WorksheetSettings &s,
                       PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                       QWidget *saveGroup);

// Whether a run of tab is under way.
bool worksheetRunActive(const QWidget *tab);
