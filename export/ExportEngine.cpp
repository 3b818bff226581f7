#include "ExportEngine.h"

#include "Bitmap.h"
#include "PrivateFontCollection.h"
#include "StartupData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>

namespace {

// More strokes than any supported character has: the largest picture.
constexpr int MostStrokes = 36;

qint64 nowNs()
{
    static QElapsedTimer clock;
    static std::once_flag started;
    std::call_once(started, [] { clock.start(); });
    return clock.nsecsElapsed();
}

QString reasonOf(const PictureResult &r)
{
    switch (r.status) {
    case PictureStatus::NoStrokeData:
        return QStringLiteral("暂时不能读取笔画数据！");
    case PictureStatus::TooSmall:
        return QStringLiteral("字号太小，图片中没有笔画");
    default:
        return r.error;
    }
}

} // namespace

ExportEngine::ExportEngine(QObject *parent) : QObject(parent) {}

ExportEngine::~ExportEngine()
{
    cancel();
    wait();
}

PictureStatus ExportEngine::refusal(const PictureSettings &settings)
{
    return pictureSettingsStatus(settings);
}

int ExportEngine::workersFor(const ExportJob &job)
{
    int jobs = job.jobs > 0 ? job.jobs : QThread::idealThreadCount();
    jobs = qBound(1, jobs, qMax(1, int(job.characters.size())));
    const SheetMetrics &m = job.settings.metrics;
    // A vector sheet holds paths, not pixels: no picture memory to budget.
    if (m.perRow > 0 && m.fsize > 0 && !isVectorPicture(job.settings.type)) {
        const PictureGeometry g = pictureGeometry(MostStrokes, job.settings);
        const qint64 bytes = qMax<qint64>(1, g.width * g.height * 4);
        jobs = int(qBound(qint64(1), MemoryBudget / bytes, qint64(jobs)));
    }
    return jobs;
}

bool ExportEngine::start(const ExportJob &job)
{
    if (m_running || job.characters.isEmpty() || refusal(job.settings) != PictureStatus::Written)
        return false;
    wait(); // the previous job's threads and fonts
    m_job = job;
    m_extension = pictureExtension(job.settings.type);
    const int workers = workersFor(job);
    // Fonts are made here, on the owner's thread, one collection per worker.
    m_fonts.clear();
    for (int w = 0; w < workers; ++w) {
        auto fonts = std::make_unique<StartupData>();
        loadStartupData(*fonts, 96, StartupCharFont); // the only font a picture needs
        m_fonts.push_back(std::move(fonts));
    }
    m_next = 0;
    m_started = 0;
    m_finished = 0;
    m_written = 0;
    m_cancel = false;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_summary = ExportSummary();
        m_summary.total = int(job.characters.size());
        m_summary.jobs = workers;
    }
    m_startNs = nowNs();
    m_running = true;
    m_live = workers;
    for (int w = 0; w < workers; ++w)
        m_threads.emplace_back(&ExportEngine::work, this, w);
    return true;
}

void ExportEngine::cancel()
{
    m_cancel = true;
}

void ExportEngine::work(int worker)
{
    const PrivateFontCollection &fonts = m_fonts[worker]->PrivateFonts;
    const QString family = m_fonts[worker]->CharFontFamily;
    const QDir dir(m_job.folder);
    const int total = int(m_job.characters.size());
    PictureCanvas canvas;
    while (!m_cancel) {
        const int i = m_next++;
        if (i >= total)
            break;
        emit progressed(++m_started);
        const QString c = m_job.characters.mid(i, 1);
        const QString path = dir.filePath((m_job.namesByCode ? HexCodeName(c) : c) + m_extension);
        const PictureResult r = saveStrokePicture(fonts, family, c, m_job.settings, path, &canvas);
        if (r.status == PictureStatus::Written) {
            ++m_written;
        } else {
            const std::lock_guard<std::mutex> lock(m_lock);
            ++m_summary.failed;
            if (m_summary.first.index < 0 || i < m_summary.first.index)
                m_summary.first = {i, path, reasonOf(r)};
        }
        ++m_finished;
    }
    bool last = false;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        last = --m_live == 0;
        if (last) {
            m_summary.started = m_started;
            m_summary.written = m_written;
            m_summary.cancelled = m_cancel && m_started < total;
            m_summary.seconds = (nowNs() - m_startNs) / 1e9;
            m_running = false;
        }
    }
    if (last) {
        m_ended.notify_all();
        emit done();
    }
}

bool ExportEngine::wait(int msecs)
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        auto ended = [this] { return m_live == 0; };
        if (msecs < 0)
            m_ended.wait(lock, ended);
        else if (!m_ended.wait_for(lock, std::chrono::milliseconds(msecs), ended))
            return false;
    }
    release();
    return true;
}

void ExportEngine::release()
{
    for (std::thread &t : m_threads)
        t.join();
    m_threads.clear();
    m_fonts.clear(); // on the owner's thread, as they were made
}

ExportSummary ExportEngine::summary() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_summary;
}
