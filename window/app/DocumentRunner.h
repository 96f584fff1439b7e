#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <QObject>
#include <QString>
#include <QTimer>

#include "core/MessageSink.h"
#include "core/Progress.h"
#include "document/MeshDocument.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

// Runs the document's long operations (open, save, smoothing, the distance
// table and classification, subdivision, simplification, the terrain, the
// segmented export) one at a time, each on a copy of the document, and
// adopts the copy into the document on the GUI thread once the operation
// has run to its end. Meanwhile the view keeps drawing the document as it
// was and the menus answer; the status bar shows the operation's progress
// with a Cancel button. A cancelled operation leaves the document, and every
// file, as it was: its copy is dropped.
//
// Threaded, the operation runs on a worker thread; otherwise (the default,
// which the tests of single requests rely on) it runs at once on the calling
// thread, through the same copy and adoption.
class DocumentRunner : public QObject, public MessageSink {
    Q_OBJECT
public:
    using Work = std::function<void(MeshDocument&)>;
    using Then = std::function<void()>;

    explicit DocumentRunner(MeshDocument& document, QObject* parent = nullptr);
    ~DocumentRunner() override;

    MeshDocument& document;
    bool threaded = false;

    // Runs `work` on a copy of the document holding `parts`; `then` runs on
    // the GUI thread after the adoption. False when another operation is
    // running (the request is refused with a status message) or the copy
    // could not be made (said on the channel).
    bool run(const QString& name, DocumentParts parts, Work work, Then then = {});
    bool busy() const { return running.load(); }
    // Says in the status bar that a request waits for the running operation.
    void refuse();
    // Asks the running operation to stop at its next progress report.
    void cancel();
    // Waits for the running operation to end and adopts it (or drops it).
    void wait_for_idle();
    // Puts the progress bar, the operation's name and Cancel in `status`.
    void show_in(QStatusBar* status);

    QLabel* stage_label = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* cancel_button = nullptr;

    void report(const Message&) override {}
    // Called on the reporting thread: keeps the latest report, which the
    // GUI thread shows at its next look.
    void progress(const Progress& progress) override;

signals:
    void busy_changed(bool busy);
    void progressed(QString stage, qint64 done, qint64 total);
    // After the adoption (adopted) or when the copy was dropped (cancelled
    // or failed).
    void operation_finished(QString name, bool adopted);
    // A request refused while another operation runs.
    void refused(QString text);

private:
    enum class Outcome { Done, Cancelled, Failed };
    // The GUI thread looks at the worker every few milliseconds: shows the
    // latest progress and, once the worker has ended, finishes. The two
    // threads share only the atomic `ended` and the report under `latest_lock`,
    // and the worker is joined before its results are read.
    void look();
    void show_latest();
    void finish();
    void set_busy(bool now);
    void show_progress(const QString& stage, qint64 done, qint64 total);

    std::atomic<bool> running{false};
    QString name;
    std::unique_ptr<MeshDocument> copy;
    Then then;
    std::thread worker;
    std::atomic<bool> ended{false};
    Outcome outcome = Outcome::Done;
    std::string failure;
    QTimer watch;
    std::mutex latest_lock;
    Progress latest;
    bool fresh = false;  // latest not shown yet
};
