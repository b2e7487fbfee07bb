#include "io/dxf/DXFReadAhead.h"

#include <system_error>
#include <utility>

TDXFRead::TAhead::TAhead(std::unique_ptr<TDXFRead> lexer) : m_Lexer(std::move(lexer))
{
    try {
        m_Thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to spare: Next reads in place.
    }
}

TDXFRead::TAhead::~TAhead()
{
    {
        const std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Freed.notify_all();
    if (m_Thread.joinable())
        m_Thread.join();
}

void TDXFRead::TAhead::ReadInto(TPair& pair)
{
    TDXFRead& lexer = *m_Lexer;
    try {
        pair.Read = lexer.ReadPair(pair.Value);
    } catch (...) {
        pair.Error = std::current_exception();
    }
    pair.Code = lexer.m_Code;
    pair.Eof = lexer.m_Eof;
    pair.EndMarker = lexer.m_EndMarker;
    pair.Line = lexer.m_Line;
    pair.Done = lexer.m_ChunkStart + static_cast<int64_t>(lexer.m_Pos);
}

bool TDXFRead::TAhead::Replay(TPair& pair, TDXFRead& reader)
{
    reader.m_Line = pair.Line;
    reader.m_Done = pair.Done;
    // A pair that raised changed nothing else.
    if (pair.Error)
        std::rethrow_exception(pair.Error);
    reader.m_Code = pair.Code;
    reader.m_Eof = pair.Eof;
    reader.m_EndMarker = pair.EndMarker;
    if (pair.Read)
        reader.m_Value = std::move(pair.Value);
    return pair.Read;
}

void TDXFRead::TAhead::Run()
{
    try {
        TBatch batch;
        batch.reserve(BatchSize);
        while (true) {
            ReadInto(batch.emplace_back());
            const bool last = batch.back().Eof;
            if ((batch.size() == BatchSize || last) && (!Hand(batch, last) || last))
                return;
        }
    } catch (...) {
        // No memory left for the records: the pairs handed over so far
        // still come, then this error.
        const std::lock_guard lock(m_Mutex);
        m_Failure = std::current_exception();
        m_Finished = true;
    }
    m_Filled.notify_one();
}

bool TDXFRead::TAhead::Hand(TBatch& batch, bool last)
{
    std::unique_lock lock(m_Mutex);
    m_Freed.wait(lock, [this] { return m_Stopping || m_Full.size() < MaxBatches; });
    if (m_Stopping)
        return false;
    m_Full.push_back(std::move(batch));
    m_Finished = last;
    batch = TBatch();
    if (!m_Free.empty()) {
        batch = std::move(m_Free.back());
        m_Free.pop_back();
    }
    lock.unlock();
    m_Filled.notify_one();
    if (batch.capacity() == 0)
        batch.reserve(BatchSize);
    return true;
}

bool TDXFRead::TAhead::Next(TDXFRead& reader)
{
    if (!m_Thread.joinable()) {
        TPair pair;
        ReadInto(pair);
        return Replay(pair, reader);
    }
    if (m_Next == m_Current.size()) {
        std::unique_lock lock(m_Mutex);
        if (m_Current.capacity() > 0) {
            m_Current.clear();
            m_Free.push_back(std::move(m_Current));
            m_Current = TBatch();
        }
        m_Filled.wait(lock, [this] { return !m_Full.empty() || m_Finished; });
        if (m_Full.empty()) {
            if (m_Failure)
                std::rethrow_exception(m_Failure);
            // Past the end of the input: what every further read in place
            // gives (the reader's end-of-input state came with the last pair).
            reader.m_Code = 0;
            return false;
        }
        m_Current = std::move(m_Full.front());
        m_Full.pop_front();
        m_Next = 0;
        lock.unlock();
        m_Freed.notify_one();
    }
    return Replay(m_Current[m_Next++], reader);
}
