#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {

// Runs work(index, state) for every index below count on `threads` threads,
// each with a State of its own, and hands the results to emit on the calling
// thread strictly in index order, each as soon as it and all before it are
// done. A thread does not run more than `threads` indices ahead of the
// oldest result not yet emitted, so waiting results stay few. work must not
// throw.
template <typename State, typename Work, typename Emit>
void runInOrder(std::size_t count, std::size_t threads, Work work, Emit emit) {
    using Result = decltype(work(std::size_t{}, std::declval<State&>()));
    threads = std::max<std::size_t>(1, std::min(threads, count));
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::size_t, Result> done;
    std::size_t nextToStart = 0;
    std::size_t nextToEmit = 0;

    auto worker = [&] {
        State state;
        for (;;) {
            std::size_t index;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] {
                    return nextToStart >= count || nextToStart < nextToEmit + 2 * threads;
                });
                if (nextToStart >= count)
                    return;
                index = nextToStart++;
            }
            Result result = work(index, state);
            {
                std::lock_guard lock(mutex);
                done.emplace(index, std::move(result));
            }
            changed.notify_all();
        }
    };
    std::vector<std::jthread> pool;
    pool.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i)
        pool.emplace_back(worker);

    while (nextToEmit < count) {
        Result result;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return done.count(nextToEmit) > 0; });
            auto it = done.find(nextToEmit);
            result = std::move(it->second);
            done.erase(it);
        }
        emit(nextToEmit, std::move(result));
        {
            std::lock_guard lock(mutex);
            ++nextToEmit;
        }
        changed.notify_all();
    }
}

} // namespace morvane
