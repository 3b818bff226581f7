#pragma once

#include "StrokePicture.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct StartupData;

// One batch of stroke-order pictures: the characters in order (repeats are
// written again), the folder, the naming and the picture settings.
struct ExportJob
{
    QString characters;
    QString folder;          // pictures go to folder + "/" + name + extension
    bool namesByCode = false; // 4F60.jpg instead of 你.jpg
    PictureSettings settings;
    int jobs = 0;            // pictures made at once; 0 or less: one per core
};

struct ExportFailure
{
    int index = -1; // in the character list; -1: none failed
    QString path;
    QString reason;
};

struct ExportSummary
{
    int total = 0;
    int started = 0;
    int written = 0;
    int failed = 0;
    bool cancelled = false;
    ExportFailure first; // the failure earliest in the list
    int jobs = 0;        // workers that ran
    double seconds = 0;
};

// Writes stroke-order pictures on worker threads, one picture per worker at
// a time, so the memory in flight stays within jobs pictures (the number of
// workers is lowered where the largest picture of the settings would not fit
// the memory budget). The fonts of the workers are loaded and released on
// the thread that owns the engine, never in a worker; each worker draws with
// a collection of its own. Progress and the end are signalled from the
// workers (queued to receivers on other threads).
class ExportEngine : public QObject
{
    Q_OBJECT
public:
    explicit ExportEngine(QObject *parent = nullptr);
    ~ExportEngine() override; // cancels and waits

    // Why a job cannot start, for settings that could make no picture at
    // all (an em size below 1 point, no cells per row, too large);
    // Written when it can.
    static PictureStatus refusal(const PictureSettings &settings);
    // The workers a job gets: jobs (or the cores), at most one per
    // character and as many as the memory budget allows.
    static int workersFor(const ExportJob &job);

    // Starts the job and returns at once; false (nothing started) while a
    // job runs, when its settings are refused or there is nothing to do.
    bool start(const ExportJob &job);
    // No further picture starts; those in flight are finished and written.
    void cancel();
    bool isRunning() const { return m_running; }
    int started() const { return m_started.load(); }
    int finished() const { return m_finished.load(); }
    // Waits for the workers to end (msecs < 0: as long as it takes); true
    // when they have. Releases their fonts.
    bool wait(int msecs = -1);
    // The outcome of the last job, complete once it has finished.
    ExportSummary summary() const;

    // Pictures in flight are bounded by this many bytes of picture memory.
    static constexpr qint64 MemoryBudget = qint64(1) << 30;

signals:
    void progressed(int started); // a picture was started
    void done();                   // the last worker has ended

private:
    void work(int worker);
    void release();

    ExportJob m_job;
    QString m_extension;
    std::vector<std::unique_ptr<StartupData>> m_fonts; // one per worker
    std::vector<std::thread> m_threads;
    std::atomic<int> m_next{0}, m_started{0}, m_finished{0}, m_written{0}, m_live{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_running{false};
    mutable std::mutex m_lock; // guards m_summary
    std::condition_variable m_ended;
    ExportSummary m_summary;
    qint64 m_startNs = 0;
};
