#include "PrintQueue.h"

#include <QFile>

#include <cups/cups.h>

#include <vector>

namespace {

QString lastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// "queue" or "queue/instance", as Qt names a printer.
struct QueueName
{
    QByteArray name, instance;
    explicit QueueName(const QString &queue)
    {
        name = queue.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
        instance = queue.section(QLatin1Char('/'), 1).toLocal8Bit();
    }
    const char *instanceOrNull() const { return instance.isEmpty() ? nullptr : instance.constData(); }
};

} // namespace

QString printQueueProblem(const QString &queue)
{
    const QueueName q(queue);
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, q.name.constData(), q.instanceOrNull());
    if (!dest)
        return QStringLiteral("找不到打印机“%1”（%2）").arg(queue, lastCupsError());
    const auto option = [dest](const char *name) {
        return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
    };
    const QString message = option("printer-state-message");
    const QString reasons = option("printer-state-reasons");
    const QString why = !message.isEmpty() ? message : reasons;
    QString problem;
    if (option("printer-is-accepting-jobs") == QLatin1String("false"))
        problem = QStringLiteral("打印机“%1”不接受打印任务").arg(queue);
    else if (option("printer-state") == QLatin1String("5"))
        problem = QStringLiteral("打印机“%1”已停止").arg(queue);
    if (!problem.isEmpty() && !why.isEmpty() && why != QLatin1String("none"))
        problem += QStringLiteral("（%1）").arg(why);
    cupsFreeDests(1, dest);
    return problem;
}

QueueSubmission submitPrintFile(const QString &queue, const QString &file, const QString &title,
                                const QStringList &options)
{
    const QueueName q(queue);
    std::vector<QByteArray> texts;
    texts.reserve(size_t(options.size()));
    for (const QString &o : options)
        texts.push_back(o.toUtf8());
    cups_option_t *opts = nullptr;
    int count = 0;
    for (size_t i = 0; i + 1 < texts.size(); i += 2)
        count = cupsAddOption(texts[i].constData(), texts[i + 1].constData(), count, &opts);
    QueueSubmission result;
    result.jobId = cupsPrintFile(q.name.constData(), QFile::encodeName(file).constData(),
                                 title.toUtf8().constData(), count, opts);
    if (result.jobId <= 0)
        result.error = lastCupsError();
    cupsFreeOptions(count, opts);
    return result;
}
