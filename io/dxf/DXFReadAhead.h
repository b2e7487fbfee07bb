#pragma once
// TDXFRead::TAhead: the part of TDXFRead that splits and types the pairs of
// its input on a thread of its own, ahead of the reader that takes them. A
// private piece of the reader (only io/dxf/DXFReader.cpp includes it).
//
// The thread runs a second TDXFRead, the lexer, which owns the input, and
// records after each of its ReadPair calls what the reader's state became:
// code, value, line, bytes done, end-of-input and end-marker flags, or the
// exception the call raised. The reader replays the records in order, so it
// ends up in the very state reading in place would have left, error for
// error. The lexer goes on after an error as reading in place would on the
// next call, and stops at the end of the input. At most MaxBatches batches
// of records wait; the thread sleeps until the reader frees one.
//
// When no thread can be started, the reader asks the lexer itself, pair by
// pair.

#include "io/dxf/DXFReader.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TDXFRead::TAhead {
public:
    // Starts reading the lexer's input (its start already passed).
    explicit TAhead(std::unique_ptr<TDXFRead> lexer);
    // Stops the thread, wherever it is.
    ~TAhead();
    TAhead(const TAhead&) = delete;
    TAhead& operator=(const TAhead&) = delete;

    // The next pair into reader as TDXFRead::NextPair promises; raises what
    // reading that pair in place raised.
    bool Next(TDXFRead& reader);

private:
    struct TPair {
        TDXFValue Value; // only when Read
        std::exception_ptr Error;
        int64_t Line = 0;
        int64_t Done = 0;
        uint16_t Code = 0;
        bool Read = false;
        bool Eof = false;
        bool EndMarker = false;
    };
    using TBatch = std::vector<TPair>;
    static constexpr size_t BatchSize = 2048;
    static constexpr size_t MaxBatches = 8;

    void Run();
    // One ReadPair of the lexer, recorded into pair.
    void ReadInto(TPair& pair);
    // The lexer's state after a pair into the reader; rethrows its error.
    static bool Replay(TPair& pair, TDXFRead& reader);
    // Hands a filled batch over; false when the reader is going away.
    bool Hand(TBatch& batch, bool last);

    std::unique_ptr<TDXFRead> m_Lexer;
    std::mutex m_Mutex;
    std::condition_variable m_Filled; // a batch was handed over, or the last
    std::condition_variable m_Freed;  // a batch came back, or the reader is going away
    std::deque<TBatch> m_Full;
    std::vector<TBatch> m_Free;
    bool m_Finished = false; // the lexer met the end of its input, or m_Failure
    // What stopped the thread other than the end of the input (no memory).
    std::exception_ptr m_Failure;
    bool m_Stopping = false;
    // The batch the reader is taking pairs from.
    TBatch m_Current;
    size_t m_Next = 0;
    std::thread m_Thread;
};
