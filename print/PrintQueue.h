#pragma once

#include <QString>
#include <QStringList>

// A CUPS queue, asked directly: Qt hands a finished job to CUPS without
// looking at the answer, so a refused job would pass as printed.

// Why the queue cannot take a job now (gone, not accepting jobs, stopped,
// the print service not answering), with CUPS's own reason; empty when it can.
QString printQueueProblem(const QString &queue);

struct QueueSubmission
{
    int jobId = 0; // 0: refused
    QString error; // CUPS's reason when refused
    bool ok() const { return jobId > 0; }
};

// Sends a finished print file (PDF) to queue as one job titled title, with
// options (name and value in turn).
QueueSubmission submitPrintFile(const QString &queue, const QString &file, const QString &title,
                                const QStringList &options);
