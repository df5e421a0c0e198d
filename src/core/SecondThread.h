#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace morvane {

// Runs beside() on a second thread while here() runs on this one, and
// returns when both are done; an exception from either comes out here
// (here()'s first). Where no thread can be started (a build without threads,
// none left), beside() runs on this thread first. The two must not touch the
// same data but to read it.
template <class Beside, class Here> void runBeside(Beside&& beside, Here&& here) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    beside();
    here();
#else
    std::exception_ptr besideFailure;
    std::thread thread;
    try {
        thread = std::thread([&] {
            try {
                beside();
            } catch (...) {
                besideFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        beside();
        here();
        return;
    }
    try {
        here();
    } catch (...) {
        thread.join();
        throw;
    }
    thread.join();
    if (besideFailure)
        std::rethrow_exception(besideFailure);
#endif
}

} // namespace morvane
