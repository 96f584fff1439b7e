#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/Messages.h"
#include "core/MessageSink.h"

// Holds the worker thread of a long operation at its first progress report
// until open(), so that a test can act on the window while the operation
// runs. Reports from the thread that made the gate pass. The waits are
// bounded only so that a broken test fails instead of hanging.
class WorkerGate : public MessageSink {
public:
    explicit WorkerGate(Messages& channel_) : channel(channel_) { channel.attach(*this); }
    ~WorkerGate() override
    {
        open();
        channel.detach(*this);
    }

    void report(const Message&) override {}
    void progress(const Progress&) override
    {
        if (std::this_thread::get_id() == owner) return;
        std::unique_lock<std::mutex> lock(mutex);
        held = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::minutes(2), [this] { return opened; });
    }

    // True once the worker waits at the gate.
    bool wait_until_held()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::minutes(2), [this] { return held; });
    }
    void open()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        opened = true;
        changed.notify_all();
    }

private:
    Messages& channel;
    const std::thread::id owner = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    bool opened = false;
};
