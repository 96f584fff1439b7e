#include "app/DocumentRunner.h"

#include <exception>
#include <new>
#include <utility>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "core/memory_limits.h"
#include "core/Messages.h"
#include "core/Progress.h"

DocumentRunner::DocumentRunner(MeshDocument& document_, QObject* parent) : QObject(parent), document(document_)
{
    document.messages.attach(*this);
    watch.setInterval(30);
    connect(&watch, &QTimer::timeout, this, &DocumentRunner::look);
}

DocumentRunner::~DocumentRunner()
{
    if (running) {
        cancel();
        if (worker.joinable()) worker.join();
        document.messages.clear_cancel();
    }
    document.messages.detach(*this);
}

bool DocumentRunner::run(const QString& operation, DocumentParts parts, Work work, Then after)
{
    if (running) {
        refuse();
        return false;
    }
    try {
        copy = document.copy(parts);
    } catch (const std::bad_alloc&) {
        document.messages.error("ERROR: not enough memory to copy the mesh for " + operation.toStdString() + " (" +
                                std::to_string(document.mesh.nf) + " faces); the mesh is as it was\n");
        return false;
    }
    name = operation;
    then = std::move(after);
    outcome = Outcome::Failed;
    failure.clear();
    ended = false;
    {
        const std::lock_guard<std::mutex> held(latest_lock);
        fresh = false;
    }
    document.messages.clear_cancel();
    set_busy(true);
    show_progress(QString(), 0, 0);

    auto body = [this, work = std::move(work)] {
        try {
            work(*copy);
            // The document's operations stop at a cancel and return.
            outcome = copy->cancelled ? Outcome::Cancelled : Outcome::Done;
        } catch (const Cancelled&) {
            outcome = Outcome::Cancelled;
        } catch (const std::bad_alloc&) {
            failure = "not enough memory";
        } catch (const std::exception& e) {
            failure = e.what();
        }
        ended = true;
    };
    if (!threaded) {
        body();
        finish();
        return true;
    }
    try {
        worker = std::thread(body);
        watch.start();
    } catch (const std::system_error&) {
        // No thread to be had: the operation runs here.
        body();
        finish();
    }
    return true;
}

void DocumentRunner::refuse()
{
    emit refused(QStringLiteral("%1 is still running: wait for it or cancel it").arg(name));
}

void DocumentRunner::cancel()
{
    if (running) document.messages.request_cancel();
}

void DocumentRunner::wait_for_idle()
{
    if (!running) return;
    if (worker.joinable()) worker.join();
    finish();
}

void DocumentRunner::look()
{
    show_latest();
    if (ended) finish();
}

void DocumentRunner::show_latest()
{
    Progress shown;
    {
        const std::lock_guard<std::mutex> held(latest_lock);
        if (fresh) shown = latest;
        fresh = false;
    }
    if (!shown.stage.empty() || shown.total > 0)
        show_progress(QString::fromStdString(shown.stage), shown.done, shown.total);
}

void DocumentRunner::finish()
{
    if (!running || !ended) return;
    if (worker.joinable()) worker.join();
    watch.stop();
    show_latest();
    document.messages.clear_cancel();
    const bool adopted = outcome == Outcome::Done;
    if (adopted) {
        document.adopt(std::move(*copy), name.toStdString());
    } else if (outcome == Outcome::Cancelled) {
        document.messages.warning("Cancelled: " + name.toStdString() + "; the mesh is as it was\n");
    } else {
        document.messages.error("ERROR: " + name.toStdString() + " failed: " + failure + "; the mesh is as it was\n");
    }
    copy.reset();
    return_free_memory();
    Then after = std::move(then);
    then = nullptr;
    set_busy(false);
    if (adopted && after) after();
    emit operation_finished(name, adopted);
}

void DocumentRunner::set_busy(bool now)
{
    running = now;
    if (bar) {
        bar->setVisible(now);
        stage_label->setVisible(now);
        cancel_button->setVisible(now);
        cancel_button->setEnabled(now);
    }
    emit busy_changed(now);
}

void DocumentRunner::progress(const Progress& p)
{
    if (!running) return;
    const std::lock_guard<std::mutex> held(latest_lock);
    // The text is the console's; the stage's name and counts are enough here.
    latest.stage = p.stage;
    latest.done = p.done;
    latest.total = p.total;
    fresh = true;
}

void DocumentRunner::show_progress(const QString& stage, qint64 done, qint64 total)
{
    if (!running) return;
    if (bar) {
        stage_label->setText(stage.isEmpty() ? name : name + ": " + stage);
        // A stage without a count shows a busy bar.
        if (total > 0) {
            bar->setRange(0, 1000);
            bar->setValue(int(done * 1000 / total));
        } else {
            bar->setRange(0, 0);
        }
    }
    emit progressed(stage, done, total);
}

void DocumentRunner::show_in(QStatusBar* status)
{
    stage_label = new QLabel(status);
    stage_label->setObjectName("progress_stage");
    bar = new QProgressBar(status);
    bar->setObjectName("progress_bar");
    bar->setMaximumWidth(200);
    bar->setTextVisible(false);
    cancel_button = new QPushButton(QStringLiteral("Cancel"), status);
    cancel_button->setObjectName("progress_cancel");
    connect(cancel_button, &QPushButton::clicked, this, [this] {
        cancel();
        cancel_button->setEnabled(false);
    });
    // No taller than a line of the status bar, so that showing them never
    // changes its height and with it the view's size.
    const int line = stage_label->sizeHint().height();
    // Room for the longest name and stage, so the bar does not jump about.
    stage_label->setMinimumWidth(stage_label->fontMetrics().horizontalAdvance("Simplifying: Collapsing edges"));
    bar->setFixedHeight(line);
    cancel_button->setFixedHeight(line);
    // Permanent, so that status messages (a refused request) never hide them.
    status->addPermanentWidget(stage_label);
    status->addPermanentWidget(bar);
    status->addPermanentWidget(cancel_button);
    set_busy(running);
}
